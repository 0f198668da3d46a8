// A container of a compared snapshot: a folder or a registry key, with its
// child nodes and its items in the order of the snapshot file. Like every
// entry of a tree it lies in its tree's storage and is never destroyed one by
// one (CompareTree.h). The comparison's work on trees lives beside it: the
// pairing in TreePairing.h, the pruning in TreePruning.h, the moving in
// TreeMove.h.
#pragma once

#include "compare/CompareItem.h"
#include "compare/CompareList.h"
#include "compare/TreeEntry.h"
#include "compare/TreeStorage.h"

#include <cstdint>
#include <string>

class CCompareNode : public CTreeEntry<CCompareNode> {
public:
    using NodeList = CCompareList<CCompareNode>;
    using ItemList = CCompareList<CCompareItem>;

    using CTreeEntry::CTreeEntry;

    // Position of the first child node or item whose name matches name, or 0.
    ListPosition FindNode(const CCompareName& name) const { return m_nodes.Find(name); }
    ListPosition FindItem(const CCompareName& name) const { return m_items.Find(name); }
    void GetName(std::string& out) const { out = GetStoredName().str(); }
    // A copy placed in storage below parent, with the same name, state,
    // notes, opposite and tree entry, and empty lists.
    virtual CCompareNode* PlaceCopy(CTreeStorage& storage, CCompareNode* parent) const = 0;

    // Appends an entry placed in storage, this node's tree's. Returns it.
    CCompareNode* AddNode(CTreeStorage& storage, CCompareNode* node) { return m_nodes.AddTail(storage, node); }
    CCompareItem* AddItem(CTreeStorage& storage, CCompareItem* item) { return m_items.AddTail(storage, item); }
    // Takes over the count child nodes or items of an empty list, whose
    // cells, in order, lie in the tree's storage (CCompareList::Adopt).
    void AdoptNodes(CCompareNode** cells, uint32_t count) { m_nodes.Adopt(cells, count); }
    void AdoptItems(CCompareItem** cells, uint32_t count) { m_items.Adopt(cells, count); }
    // Takes an entry out of the tree, with everything below it, and unlinks
    // each from its opposite; their memory goes with the storage.
    void RemoveNodeAt(ListPosition pos);
    void RemoveItemAt(ListPosition pos);

    // Takes an entry out of its list for a while, leaving everything below
    // it and every link as they are; Put...Back returns it to its place.
    CCompareNode* TakeOutNodeAt(ListPosition pos) { return m_nodes.TakeOutAt(pos); }
    CCompareItem* TakeOutItemAt(ListPosition pos) { return m_items.TakeOutAt(pos); }
    void PutNodeBack(ListPosition pos, CCompareNode* node) { m_nodes.PutBack(pos, node); }
    // Puts item in the place of the one at pos, a copy of it with more.
    void ReplaceItemAt(ListPosition pos, CCompareItem* item) { m_items.ReplaceAt(pos, item); }
    void PutItemBack(ListPosition pos, CCompareItem* item) { m_items.PutBack(pos, item); }

    CCompareNode* GetRoot();
    const CCompareNode* GetRoot() const;
    // Number of nodes below this one, itself not counted.
    uint64_t CountNodes() const;

    const NodeList& Nodes() const { return m_nodes; }
    const ItemList& Items() const { return m_items; }
    bool IsEmpty() const { return m_nodes.IsEmpty() && m_items.IsEmpty(); }
    // Closes the gaps that removals left in both lists.
    void CompactLists()
    {
        m_nodes.Compact();
        m_items.Compact();
    }

protected:
    ~CCompareNode() = default;

private:
    NodeList m_nodes;
    ItemList m_items;
};
