// A container of a compared snapshot: a folder or a registry key. It owns its
// child nodes and its items, in the order of the snapshot file, and carries
// the comparison's algorithms: matching by name, the directional pass that
// links counterparts and settles states, and the pruning of what is
// identical. Every walk over a subtree is iterative, so nesting depth never
// costs stack.
//
// Siblings whose names match each other (a folder with case-sensitive names)
// are paired in order: the k-th of them in one tree with the k-th in the
// other; the rest are unique. Links stay symmetric and are cleared when
// either side is deleted.
#pragma once

#include "compare/CompareItem.h"
#include "compare/CompareList.h"
#include "compare/CompareName.h"
#include "compare/CompareState.h"

#include <cstdint>
#include <memory>
#include <string>

class IProgress;
class CTreeStorage;

class CCompareNode {
public:
    using NodeList = CCompareList<CCompareNode>;
    using ItemList = CCompareList<CCompareItem>;

    // Deletes the whole subtree, then clears the opposite's link.
    virtual ~CCompareNode();
    CCompareNode(const CCompareNode&) = delete;
    CCompareNode& operator=(const CCompareNode&) = delete;

    // Position of the first child node or item whose name matches name, or 0.
    virtual ListPosition FindNode(const CCompareName& name) const;
    virtual ListPosition FindItem(const CCompareName& name) const;
    virtual void GetName(std::string& out) const;
    // A copy placed in storage below parent, with the same name, state,
    // notes, opposite and tree entry, and empty lists (MoveBelowInto fills them).
    virtual CCompareNode* PlaceCopy(CTreeStorage& storage, CCompareNode* parent) const = 0;

    // Appends at the tail; the node takes ownership. Returns the element.
    CCompareNode* AddNode(std::unique_ptr<CCompareNode> node);
    CCompareItem* AddItem(std::unique_ptr<CCompareItem> item);
    // Takes over count loaded child nodes or items whose cells, in order,
    // lie in the tree's storage (CCompareList::Adopt).
    void AdoptNodes(CCompareNode** cells, uint32_t count);
    void AdoptItems(CCompareItem** cells, uint32_t count);
    // Notes that item, one of this node's, owns something beyond its place
    // in the tree's storage (it is on the heap, has a name there, or has had
    // a viewer), so that it is destroyed rather than dropped with the storage.
    void NoteItemToDestroy(const CCompareItem& item);
    void RemoveNodeAt(ListPosition pos);
    void RemoveItemAt(ListPosition pos);

    // Links this node and other to each other, unlinking either from a former
    // partner first; returns other.
    CCompareNode* LinkOpposite(CCompareNode* other);
    // One directional pass of this subtree against opposite's. Each pair of
    // nodes compared advances the progress bar by one step; progress may be null.
    void Compare(CCompareNode* opposite, IProgress* progress);
    // Deletes the identical parts of this subtree.
    void RemoveIdenticals();
    // Marks every node and item of this subtree that has a sibling of a
    // matching name (HasTwin): the pairing tells such siblings apart only by
    // their order, which nothing outside the comparison knows.
    void MarkTwins();
    // Deletes everything below this node when the other tree of the
    // comparison goes with it, before the storage of both: no link into the
    // other tree is cleared, and the entries that own nothing beyond their
    // place in the storage are dropped with it instead of being destroyed
    // one by one. Only the subtrees that hold something else are walked, so
    // freeing a loaded drive costs next to nothing beyond its blocks.
    void DeleteBelowWithCounterpart();
    // Moves what lies in the tree's storage below this node into storage, as
    // copies linked in place of the originals, which are then only dropped
    // with the old storage: what is left of a pruned tree takes the room it
    // needs instead of the loaded tree's. Nothing changes, and it returns
    // false, when the copies would need more than limit bytes,
    // when an item below has a viewer, when an entry on the heap has its
    // name in the old storage, or when memory runs out; storage
    // must then be released.
    bool MoveBelowInto(CTreeStorage& storage, uint64_t limit);

    // The counterparts that a pass pairs with a child node or an item of the
    // other tree, or null; lookup serves this node's list for the whole pass
    // over it.
    CCompareNode* FindNodePartner(const CCompareNode& node, NodeList::CLookup& lookup) const;
    CCompareItem* FindItemPartner(const CCompareItem& item, ItemList::CLookup& lookup) const;

    CCompareNode* GetRoot();
    const CCompareNode* GetRoot() const;
    // Number of nodes below this one, itself not counted.
    uint64_t CountNodes() const;

    const NodeList& Nodes() const { return m_nodes; }
    const ItemList& Items() const { return m_items; }
    bool IsEmpty() const { return m_nodes.IsEmpty() && m_items.IsEmpty(); }
    // Returns the unused room of both lists after loading.
    void CompactLists();

    const CCompareName& GetStoredName() const { return m_strName; }
    CCompareNode* GetParent() const { return m_pParent; }
    CCompareNode* GetOpposite() const { return m_pOpposite; }
    CompareState GetState() const { return static_cast<CompareState>(m_nState); }
    void SetState(CompareState state) { m_nState = static_cast<int8_t>(state); }
    // Whether the entry lies in its tree's storage rather than on the heap.
    bool IsPlaced() const { return m_bPlaced; }
    // Whether MarkTwins found a sibling node of a matching name.
    bool HasTwin() const { return m_bTwin; }
    TreeItemHandle GetTreeItem() const { return m_hTreeItem; }
    void SetTreeItem(TreeItemHandle handle) { m_hTreeItem = handle; }

protected:
    // Does not add itself to parent (null for a root); the loader appends it.
    CCompareNode(CCompareName name, CCompareNode* parent);
    // Takes the state, notes, opposite and tree entry of the node this one copies.
    void CopyPairing(const CCompareNode& original);

private:
    friend class CTreeStorage;

    NodeList m_nodes;
    ItemList m_items;
    TreeItemHandle m_hTreeItem = nullptr;
    CCompareName m_strName;
    // No more room than the state alone took: a byte each, then single bits.
    int8_t m_nState = csUncompared;
    bool m_bPlaced = false;
    bool m_bItemsToDestroy : 1;  // NoteItemToDestroy was called
    // Something in this subtree must be destroyed or freed: an item, a node
    // on the heap or with a name there, or a list's cells on the heap.
    bool m_bSomethingToFree : 1;
    bool m_bTwin : 1;

    void NoteSomethingToFree();
    CCompareNode* m_pOpposite = nullptr;
    CCompareNode* m_pParent;
};
