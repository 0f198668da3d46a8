// A leaf of a compared snapshot: a file or a registry value. The kinds add
// their content, its equality, the name shown for it and which viewer shows
// it. Like every entry of a tree it lies in its tree's storage and is never
// destroyed one by one (CompareTree.h).
#pragma once

#include "compare/CompareName.h"
#include "compare/CompareState.h"
#include "seams/Viewer.h"

#include <memory>
#include <string>

class CCompareNode;
class CTreeStorage;

class CCompareItem {
public:
    // Does not add itself to parent; the loader appends it.
    CCompareItem(CCompareName name, CCompareNode* parent) : m_strName(std::move(name)), m_pParent(parent) {}
    CCompareItem(const CCompareItem&) = delete;
    CCompareItem& operator=(const CCompareItem&) = delete;

    // Opens the viewer that shows this item through the results view that
    // asks, or tells the user through it why there is none; null then. The
    // view keeps the viewer (ItemViewers.h).
    virtual std::unique_ptr<IViewerWindow> OpenViewer(IViewerFactory& factory) const = 0;
    // Content equality with the item paired with this one in the other tree.
    virtual bool IsEqual(const CCompareItem& other) const = 0;
    // The name as the views show it.
    virtual void GetName(std::string& out) const = 0;
    // A copy placed in storage below parent, with the same name, content,
    // state, opposite and tree entry; for moving what a comparison left into
    // storage of its own (TreeMove.h).
    virtual CCompareItem* PlaceCopy(CTreeStorage& storage, CCompareNode* parent) const = 0;

    // Links this item and other to each other, unlinking either from a former
    // partner first; returns other.
    CCompareItem* LinkOpposite(CCompareItem* other);
    // Clears the link between this item and its opposite.
    void Unlink();

    const CCompareName& GetStoredName() const { return m_strName; }
    CCompareNode* GetParent() const { return m_pParent; }
    CCompareItem* GetOpposite() const { return m_pOpposite; }
    CompareState GetState() const { return static_cast<CompareState>(m_nState); }
    void SetState(CompareState state) { m_nState = static_cast<int8_t>(state); }
    // Whether a sibling item has a matching name (MarkTwins in TreePairing.h).
    bool HasTwin() const { return m_bTwin; }
    void SetTwin() { m_bTwin = true; }
    TreeItemHandle GetTreeItem() const { return m_hTreeItem; }
    void SetTreeItem(TreeItemHandle handle) { m_hTreeItem = handle; }

protected:
    // Only an item made on its own, outside any tree, is ever destroyed.
    ~CCompareItem() = default;
    // Takes the state, twin mark, opposite and tree entry of the item this one copies.
    void CopyPairing(const CCompareItem& original);

private:
    TreeItemHandle m_hTreeItem = nullptr;
    CCompareName m_strName;
    CCompareNode* m_pParent;
    CCompareItem* m_pOpposite = nullptr;
    // One byte each, so that they fill no more room than the state alone did.
    int8_t m_nState = csUncompared;
    bool m_bTwin = false;
};
