// A place in a compared tree that moves entry by entry in the order the
// results views show the tree: a folder or key, then its child folders or
// keys with everything below each, then its files or values. Next
// Difference, Previous Difference and Find move one from the selection; the
// views look nothing up in their tree controls, which under Wine search all
// their entries for each entry they are asked about.
#pragma once

#include "compare/CompareNode.h"

#include <vector>

class CTreeCursor {
public:
    // At the root of its tree.
    explicit CTreeCursor(CCompareNode& root) : m_pRoot(&root) {}

    // Moves to a node or item of the tree (one of them given); false, and
    // left at the root, when it is not in the tree.
    bool Seek(const CCompareNode* node, const CCompareItem* item);
    // The next or previous entry in the views' order; false, and left where
    // it was, at the end or at the root.
    bool Next();
    bool Prev();
    // Moves to the last entry of the tree in that order.
    void SeekLast();

    // The entry the cursor is at: a node (item null) or an item.
    CCompareNode* Node() const;
    CCompareItem* Item() const;

private:
    // Below `node`, at position `at` of its child nodes or of its items.
    struct CLevel {
        CCompareNode* node;
        ListPosition at;
        bool inItems;
    };
    // From the node the cursor is at, down to the last entry of its subtree.
    void DescendToLast();

    CCompareNode* m_pRoot;
    std::vector<CLevel> m_levels;  // empty: at the root
};
