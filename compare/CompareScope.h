// What a comparison compares: what both snapshots recorded. A snapshot of a
// whole drive or registry, or one whose file does not tell (written before
// files told what they hold), recorded everything; a snapshot of chosen
// folders or keys recorded those places only. Outside the places that both
// recorded, an entry found in one snapshot only says nothing of the machine,
// so it is neither added nor removed: the comparison takes it out of both
// trees before it pairs them.
//
// The scope is a tree of steps from the comparison's root: each place
// compared is a chosen step, recorded with everything below it; the steps on
// the way to it keep only the next steps, none of their files or values.
#pragma once

#include "compare/CompareName.h"
#include "compare/CompareNode.h"
#include "snapshot/SnapAppendix.h"

#include <string>
#include <vector>

class CCompareScope {
public:
    struct Step {
        CCompareName name;
        bool chosen = false;   // compared with everything below it
        std::vector<Step> next;
    };

    // Two whole snapshots: everything is compared.
    CCompareScope() = default;
    // What both snapshots that the appendices describe recorded.
    static CCompareScope Between(const CSnapAppendix& first, const CSnapAppendix& second);

    bool Whole() const { return m_bWhole; }
    // Not whole, and no place that both recorded.
    bool Empty() const { return !m_bWhole && m_root.next.empty(); }
    // The places compared, names joined by backslashes, e.g.
    // "HKEY_LOCAL_MACHINE\Software\Vendor"; none when whole.
    const std::vector<std::string>& Paths() const { return m_paths; }

    // The step of the comparison's root, whose next steps are its top-level
    // folders or keys; and the step below from whose name matches name, or
    // null. A chosen step holds no next steps.
    const Step& Root() const { return m_root; }
    static const Step* Find(const Step& from, const CCompareName& name);

    // Takes out of the tree every entry outside the scope, and every file or
    // value of a folder or key on the way to a place.
    void Trim(CCompareNode& root) const;

private:
    void Add(const SnapPlacePath& place);
    void CollectPaths(const Step& step, SnapPlacePath path);

    bool m_bWhole = true;
    Step m_root;
    std::vector<std::string> m_paths;
};
