// What corvane-diff leaves out of its output: entries whose full path, as the
// report prints it, matches an exclusion pattern. A pattern is matched name by
// name against the whole path: "*" stands for any run of characters within one
// name, a name that is just "**" for any number of names (none included), and
// letters match regardless of case exactly as the comparison matches names.
// An excluded folder or key takes everything below it along. A pattern that
// holds characters the code page cannot hold is matched against the names
// as the system holds them (the exact names the snapshots kept, the others
// read in the code page), letters folded as Windows folds them.
//
// The patterns run as one automaton over the names of a path, so a path costs
// at most its names times the patterns' names, however many "**" they hold,
// and a walk of a tree carries the automaton's state down from each folder to
// what it holds instead of matching every path from its root.
#pragma once

#include "compare/CompareMine.h"
#include "seams/SystemText.h"
#include "report/DiffRecords.h"

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

class CPathFilter {
public:
    // A pattern as the user wrote it; a closing backslash is ignored.
    void Add(const std::string& pattern);
    // A pattern that holds characters the code page cannot hold, in UTF-16.
    void AddExact(const std::u16string& pattern);
    // One pattern per line; blank lines and lines that start with '#' are
    // skipped, as are spaces and tabs around a pattern, a line's CR and a
    // UTF-8 byte-order mark in front of the first line. A line of UTF-8 that
    // is not ASCII is read as UTF-8, any other in the ANSI code page. The file is opened
    // by its name as the system gives it (wide on Windows), exactly as
    // named. False with a message when the file cannot be read or a line is
    // refused (AddLines).
    bool AddFromFile(const SystemString& path, std::string& error);
    // The lines of such a file. A line whose pattern can match nothing
    // (Fault) adds nothing at all and is named in error: "line 3: ...".
    bool AddLines(const std::string& text, std::string& error);
    // The built-in patterns of what changes by itself on every running system.
    void AddNoise(SnapKind kind);

    bool IsEmpty() const { return m_patterns.empty(); }
    bool Excludes(const std::string& path) const;

    // Takes every excluded entry out of both trees of a finished comparison
    // for good, and then each folder or key that was kept only for what it
    // held and now holds nothing. Every folder or key that an entry was
    // taken from, at any depth below it, goes into trimmed when it is given.
    void Apply(CCompareMine& mine, std::unordered_set<const CCompareNode*>* trimmed = nullptr) const;

    // Why a pattern can match nothing (a name left empty by two backslashes
    // in a row or one in front), or "" for a good one.
    static std::string Fault(const std::string& pattern);

private:
    friend class CTreeFilter;
    friend class CHiddenEntries;
    using FoldedName = std::vector<uint32_t>;
    // A pattern split into its names, each folded character by character,
    // "*" kept apart from the characters; its automaton's states are the
    // positions 0 to names.size() and take bits from `firstBit` on.
    struct CPattern {
        std::vector<FoldedName> names;
        size_t firstBit;
        bool exact = false;  // matched against the names the system holds
    };
    // A name of a path in both forms: as recorded, folded as the comparison
    // folds names, and as the system holds it, folded as Windows folds them
    // (null while no pattern needs it).
    struct NameForms {
        const FoldedName& recorded;
        const FoldedName* exact;
    };
    // Where the automaton stands: one bit per state of every pattern.
    using State = std::vector<uint64_t>;

    State Start() const;
    // The state after one more name of a path; false when no pattern can
    // match that path or any path below it.
    bool Step(const State& from, const NameForms& name, State& to) const;
    bool HasExactPatterns() const { return m_bExact; }
    void AddPattern(std::vector<FoldedName> names, bool exact);
    bool Accepts(const State& state) const;

    std::vector<CPattern> m_patterns;
    size_t m_bits = 0;
    bool m_bExact = false;
};

// What a filter took out of both trees of a finished comparison, kept so
// that all of it can be put back: the window hides entries and shows them
// again without comparing again, while corvane-diff never puts them back.
// Each entry taken out, and everything below it, is unlinked from its
// counterpart as if it had been deleted, so that whatever reads the trees
// meanwhile (the views, the reports, the patches) sees exactly what
// corvane-diff sees with the same patterns.
class CHiddenEntries {
public:
    CHiddenEntries() = default;
    CHiddenEntries(const CHiddenEntries&) = delete;
    CHiddenEntries& operator=(const CHiddenEntries&) = delete;

    // Puts back what is hidden, then takes out what filter excludes.
    void Hide(CCompareMine& mine, const CPathFilter& filter);
    // Puts every hidden entry back in its place, its links included.
    void ShowAll();
    // Forgets what is hidden without putting it back: the trees are going.
    void Forget();

    // The entries hidden in both trees, everything below a hidden folder or
    // key counted.
    uint64_t Count() const { return m_count; }
    // Every folder or key that an entry was taken from, at any depth below it.
    const std::unordered_set<const CCompareNode*>& Trimmed() const { return m_trimmed; }
    std::unordered_set<const CCompareNode*> TakeTrimmed() { return std::move(m_trimmed); }

private:
    friend class CTreeFilter;
    void TakeOutNode(CCompareNode& parent, ListPosition at);
    void TakeOutItem(CCompareNode& parent, ListPosition at);
    void Unlink(CCompareNode& node);
    void Unlink(CCompareItem& item);

    struct CTaken {
        CCompareNode* parent;
        ListPosition at;
        CCompareNode* node;  // one of node and item is set
        CCompareItem* item;
    };
    std::vector<CTaken> m_taken;
    std::vector<std::pair<CCompareNode*, CCompareNode*>> m_nodeLinks;
    std::vector<std::pair<CCompareItem*, CCompareItem*>> m_itemLinks;
    std::unordered_set<const CCompareNode*> m_trimmed;
    uint64_t m_count = 0;
};

// The patterns AddNoise adds, in the order docs/command-line.md lists them.
const std::vector<std::string>& NoisePatterns(SnapKind kind);
