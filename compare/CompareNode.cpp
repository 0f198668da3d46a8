#include "compare/CompareNode.h"

#include <vector>

// A loaded tree holds millions of entries, so their layout is counted in
// bytes: a name is one pointer, a list one pointer and two counts, and the
// state and twin mark of an entry take two bytes of the room its pointers
// leave (the kinds' own members take the rest, FSFile.cpp and RegVal.cpp).
static_assert(sizeof(CCompareName) == sizeof(void*), "a name is one pointer to its stored form");
static_assert(sizeof(CCompareNode::ItemList) == sizeof(void*) + 8, "a list is its cells and two counts");
static_assert(sizeof(CCompareNode) == (sizeof(void*) == 8 ? 80 : 48), "a node grew");
static_assert(sizeof(CCompareItem) == (sizeof(void*) == 8 ? 48 : 24), "an item grew");

void CCompareNode::RemoveNodeAt(ListPosition pos)
{
    CCompareNode* removed = m_nodes.RemoveAt(pos);
    if (!removed)
        return;
    // Nothing in the other tree may go on naming what has left this one,
    // and nothing may read it any more. The pruning takes out empty nodes
    // only, so the list of those still to visit is mostly never made.
    std::vector<CCompareNode*> pending;
    for (CCompareNode* node = removed; node;) {
        node->Unlink();
        for (CCompareItem* item : node->m_items) {
            item->Unlink();
            CTreeStorage::Poison(item, sizeof(CCompareItem));
        }
        for (CCompareNode* child : node->m_nodes)
            pending.push_back(child);
        CTreeStorage::Poison(node, sizeof(CCompareNode));
        node = nullptr;
        if (!pending.empty()) {
            node = pending.back();
            pending.pop_back();
        }
    }
}

void CCompareNode::RemoveItemAt(ListPosition pos)
{
    if (CCompareItem* removed = m_items.RemoveAt(pos)) {
        removed->Unlink();
        CTreeStorage::Poison(removed, sizeof(CCompareItem));
    }
}

CCompareNode* CCompareNode::GetRoot()
{
    CCompareNode* node = this;
    while (node->GetParent())
        node = node->GetParent();
    return node;
}

const CCompareNode* CCompareNode::GetRoot() const
{
    return const_cast<CCompareNode*>(this)->GetRoot();
}

uint64_t CCompareNode::CountNodes() const
{
    uint64_t count = 0;
    std::vector<const CCompareNode*> pending{this};
    while (!pending.empty()) {
        const CCompareNode* node = pending.back();
        pending.pop_back();
        count += node->m_nodes.GetCount();
        for (const CCompareNode* child : node->m_nodes)
            pending.push_back(child);
    }
    return count;
}
