// A container of a compared snapshot: a folder or a registry key, with its
// child nodes and its items in the order of the snapshot file. Like every
// entry of a tree it lies in its tree's storage and is never destroyed one by
// one (CompareTree.h). The comparison's work on trees lives beside it: the
// pairing in TreePairing.h, the pruning in TreePruning.h, the moving in
// TreeMove.h.
#pragma once

#include "compare/CompareItem.h"
#include "compare/CompareList.h"
#include "compare/CompareName.h"
#include "compare/CompareState.h"
#include "compare/TreeStorage.h"

#include <cstdint>
#include <string>

class CCompareNode {
public:
    using NodeList = CCompareList<CCompareNode>;
    using ItemList = CCompareList<CCompareItem>;

    // Does not add itself to parent (null for a root); the loader appends it.
    CCompareNode(CCompareName name, CCompareNode* parent) : m_strName(std::move(name)), m_pParent(parent) {}
    CCompareNode(const CCompareNode&) = delete;
    CCompareNode& operator=(const CCompareNode&) = delete;

    // Position of the first child node or item whose name matches name, or 0.
    ListPosition FindNode(const CCompareName& name) const { return m_nodes.Find(name); }
    ListPosition FindItem(const CCompareName& name) const { return m_items.Find(name); }
    void GetName(std::string& out) const { out = m_strName.str(); }
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

    // Links this node and other to each other, unlinking either from a former
    // partner first; returns other.
    CCompareNode* LinkOpposite(CCompareNode* other);

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

    const CCompareName& GetStoredName() const { return m_strName; }
    CCompareNode* GetParent() const { return m_pParent; }
    CCompareNode* GetOpposite() const { return m_pOpposite; }
    CompareState GetState() const { return static_cast<CompareState>(m_nState); }
    void SetState(CompareState state) { m_nState = static_cast<int8_t>(state); }
    // Whether a sibling node has a matching name (MarkTwins in TreePairing.h).
    bool HasTwin() const { return m_bTwin; }
    void SetTwin() { m_bTwin = true; }
    TreeItemHandle GetTreeItem() const { return m_hTreeItem; }
    void SetTreeItem(TreeItemHandle handle) { m_hTreeItem = handle; }

protected:
    // Only a root made on its own, outside any storage, is ever destroyed.
    ~CCompareNode() = default;
    // Takes the state, twin mark, opposite and tree entry of the node this one copies.
    void CopyPairing(const CCompareNode& original);

private:
    NodeList m_nodes;
    ItemList m_items;
    TreeItemHandle m_hTreeItem = nullptr;
    CCompareName m_strName;
    // No more room than the state alone took: a byte each.
    int8_t m_nState = csUncompared;
    bool m_bTwin = false;
    CCompareNode* m_pOpposite = nullptr;
    CCompareNode* m_pParent;
};
