// A leaf of a compared snapshot: a file or a registry value. The kinds add
// their content, its equality, the name shown for it and its viewer.
#pragma once

#include "compare/CompareList.h"
#include "compare/CompareName.h"
#include "compare/CompareState.h"
#include "seams/Viewer.h"

#include <memory>
#include <string>

class CCompareNode;
class CTreeStorage;

class CCompareItem {
public:
    // Does not add itself to parent; the loader appends it with AddItem.
    CCompareItem(CCompareName name, CCompareNode* parent);
    // Clears the opposite's link and destroys an open viewer.
    virtual ~CCompareItem();
    CCompareItem(const CCompareItem&) = delete;
    CCompareItem& operator=(const CCompareItem&) = delete;

    // Brings an open viewer to the front, or forgets one the user closed.
    // The kinds then open a new viewer if none is left.
    virtual void ShowViewer(IViewerFactory& factory);
    // Content equality with the item paired with this one in the other tree.
    virtual bool IsEqual(const CCompareItem& other) const = 0;
    // The name as the views show it.
    virtual void GetName(std::string& out) const = 0;
    // A copy placed in storage below parent, with the same name, content,
    // state, opposite and tree entry, and no viewer; for moving what a
    // comparison left into storage of its own (CCompareNode::MoveBelowInto).
    virtual CCompareItem* PlaceCopy(CTreeStorage& storage, CCompareNode* parent) const = 0;

    // Links this item and other to each other, unlinking either from a former
    // partner first; returns other.
    CCompareItem* LinkOpposite(CCompareItem* other);
    // Settles the state from the counterpart of the parent in the other tree,
    // looking it up in opposite's items through lookup.
    void CompareWith(CCompareNode* opposite, CCompareList<CCompareItem>::CLookup& lookup);

    const CCompareName& GetStoredName() const { return m_strName; }
    CCompareNode* GetParent() const { return m_pParent; }
    CCompareItem* GetOpposite() const { return m_pOpposite; }
    CompareState GetState() const { return static_cast<CompareState>(m_nState); }
    void SetState(CompareState state) { m_nState = static_cast<int8_t>(state); }
    // Whether the entry lies in its tree's storage rather than on the heap.
    bool IsPlaced() const { return m_bPlaced; }
    // Whether CCompareNode::MarkTwins found a sibling item of a matching name.
    bool HasTwin() const { return m_bTwin; }
    IViewerWindow* GetViewer() const { return m_pViewer.get(); }
    TreeItemHandle GetTreeItem() const { return m_hTreeItem; }
    void SetTreeItem(TreeItemHandle handle) { m_hTreeItem = handle; }

protected:
    // Also tells the parent that this item must be destroyed, not just dropped.
    void SetViewer(std::unique_ptr<IViewerWindow> viewer);
    // Takes the state, opposite and tree entry of the item this one copies.
    void CopyPairing(const CCompareItem& original);

private:
    friend class CTreeStorage;
    friend class CCompareNode;

    TreeItemHandle m_hTreeItem = nullptr;
    CCompareName m_strName;
    CCompareNode* m_pParent;
    CCompareItem* m_pOpposite = nullptr;
    std::unique_ptr<IViewerWindow> m_pViewer;
    // One byte each, so that they fill no more room than the state alone did.
    int8_t m_nState = csUncompared;
    bool m_bPlaced = false;
    bool m_bTwin = false;
};
