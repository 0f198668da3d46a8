// A comparison engine: owns the two trees of a comparison and runs it in a
// fixed order: load snapshot 1, load snapshot 2, pass 1 against 2, pass 2
// against 1, prune tree 1, prune tree 2, with a status text for each step.
// The kinds supply the roots, the loading of one file and the counts' texts.
// It reports only through the progress and message interfaces it is given.
#pragma once

#include "compare/CompareNode.h"
#include "compare/TreeStorage.h"
#include "seams/Progress.h"
#include "seams/SnapFile.h"
#include "seams/UserMessages.h"

#include <cstdint>
#include <memory>
#include <string>

class CCompareMine {
public:
    explicit CCompareMine(IUserMessages& messages) : m_messages(messages) {}
    // Deletes both trees and their storage.
    virtual ~CCompareMine();
    CCompareMine(const CCompareMine&) = delete;
    CCompareMine& operator=(const CCompareMine&) = delete;

    // The whole run on two open snapshot files. A file that cannot be read
    // is reported ("ERROR: Error while reading file 1." or 2) and makes it
    // return false; the trees loaded so far stay until the engine is deleted.
    // progress may be null.
    virtual bool Compare(IProgress* progress, IInputFile& file1, IInputFile& file2);
    // Reads one snapshot file, positioned at its start, into root. What it
    // reads lies in the storage of tree 2 when root is root 2, else of tree 1.
    virtual bool Load(IInputFile& file, CCompareNode* root) = 0;
    virtual void CreateRoots() = 0;
    virtual void FormatNodeCount(std::string& out, unsigned long count) const = 0;
    virtual void FormatItemCount(std::string& out, unsigned long count) const = 0;

    // Whether the next comparisons mark the entries that have a sibling of a
    // matching name (CCompareNode::MarkTwins), for whoever must not take one
    // such entry for another.
    void SetMarkTwins(bool mark) { m_bMarkTwins = mark; }

    CCompareNode* GetRoot1() const { return m_pRoot1.get(); }
    CCompareNode* GetRoot2() const { return m_pRoot2.get(); }
    // Bytes of the blocks that hold both trees now.
    uint64_t StorageBytes() const { return m_storage1.BlockBytes() + m_storage2.BlockBytes(); }

protected:
    // Runs after both passes, before the pruning: a kind may count more of
    // the paired entries as changed there.
    virtual void SettlePairs() {}
    void SetStatus(const char* text);
    void DeleteTrees();
    // Moves what the pruning left of each tree into storage of its own size,
    // when that is small beside the loaded tree's.
    void CompactStorage();
    CTreeStorage& StorageFor(const CCompareNode* root)
    {
        return root == m_pRoot2.get() ? m_storage2 : m_storage1;
    }

    // Declared before the roots, so that the trees go before their storage.
    CTreeStorage m_storage1;
    CTreeStorage m_storage2;
    std::unique_ptr<CCompareNode> m_pRoot1;
    std::unique_ptr<CCompareNode> m_pRoot2;
    IProgress* m_pProgress = nullptr;
    IUserMessages& m_messages;
    bool m_bMarkTwins = false;
};

// Texts of the comparison run.
extern const char* const kReadErrorFile1;
extern const char* const kReadErrorFile2;
// Shown by whoever started the run when it returned false.
extern const char* const kComparisonFailed;
// Shown when the trees of the two snapshots do not fit into memory.
extern const char* const kCompareOutOfMemory;
