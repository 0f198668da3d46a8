// One tree of a comparison and the memory of it. The rule: everything of a
// loaded tree (its root, every node and item, their names, the lists' cells
// and the values' data) lies in the tree's storage and goes with it, all at
// once; nothing of a tree is destroyed or freed one by one. An entry taken
// out of a tree is only unlinked, and its room goes with the rest.
//
// The two trees of a comparison link into each other, so they go together.
#pragma once

#include "compare/CompareNode.h"
#include "compare/TreeStorage.h"

#include <cstdint>

class CCompareTree {
public:
    CCompareTree() = default;
    CCompareTree(const CCompareTree&) = delete;
    CCompareTree& operator=(const CCompareTree&) = delete;

    CCompareNode* Root() const { return m_pRoot; }
    CTreeStorage& Storage() { return m_storage; }
    // Bytes of the blocks that hold the tree now.
    uint64_t StorageBytes() const { return m_storage.BlockBytes(); }

    // Starts the tree at root, placed in Storage() once it was released.
    void SetRoot(CCompareNode* root) { m_pRoot = root; }
    // Moves what the pruning left into storage of its own size, when that is
    // small beside the loaded tree's; otherwise it stays where it is.
    void Compact();
    // Drops the whole tree with its storage.
    void Release()
    {
        m_pRoot = nullptr;
        m_storage.Release();
    }

private:
    CTreeStorage m_storage;
    CCompareNode* m_pRoot = nullptr;
};
