// What a node and an item of a compared tree share: their name, their place
// in the tree, their counterpart in the other tree, where the comparison
// left them and their line in a tree control. An entry lies in its tree's
// storage and is never destroyed one by one (CompareTree.h).
#pragma once

#include "compare/CompareName.h"
#include "compare/CompareState.h"

#include <cstdint>
#include <utility>

class CCompareNode;

template <class Self>
class CTreeEntry {
public:
    // Does not add itself to parent (null for a root); the loader appends it.
    CTreeEntry(CCompareName name, CCompareNode* parent) : m_strName(std::move(name)), m_pParent(parent) {}
    CTreeEntry(const CTreeEntry&) = delete;
    CTreeEntry& operator=(const CTreeEntry&) = delete;

    // Links this entry and other to each other, unlinking either from a
    // former partner first, so links stay symmetric; returns other.
    Self* LinkOpposite(Self* other)
    {
        if (m_pOpposite && m_pOpposite != other)
            m_pOpposite->m_pOpposite = nullptr;
        if (other->m_pOpposite && other->m_pOpposite != this)
            other->m_pOpposite->m_pOpposite = nullptr;
        m_pOpposite = other;
        other->m_pOpposite = static_cast<Self*>(this);
        return other;
    }
    // Clears the link between this entry and its opposite.
    void Unlink()
    {
        if (m_pOpposite)
            m_pOpposite->m_pOpposite = nullptr;
        m_pOpposite = nullptr;
    }

    const CCompareName& GetStoredName() const { return m_strName; }
    // Gives the entry the same name with its exact form, which the loader
    // learns from the snapshot's appendix after the records; or, in a
    // comparison of exact names, the form read from the file's code page.
    void SetStoredName(CCompareName name) { m_strName = std::move(name); }
    CCompareNode* GetParent() const { return m_pParent; }
    Self* GetOpposite() const { return m_pOpposite; }
    CompareState GetState() const { return static_cast<CompareState>(m_nState); }
    void SetState(CompareState state) { m_nState = static_cast<int8_t>(state); }
    // Whether a sibling of the same kind has a matching name (MarkTwins in
    // TreePairing.h).
    bool HasTwin() const { return m_bTwin; }
    void SetTwin() { m_bTwin = true; }
    TreeItemHandle GetTreeItem() const { return m_hTreeItem; }
    void SetTreeItem(TreeItemHandle handle) { m_hTreeItem = handle; }

protected:
    // Only an entry made on its own, outside any tree, is ever destroyed.
    ~CTreeEntry() = default;
    // Takes the state, twin mark, opposite and tree entry of the entry this
    // one copies into new storage.
    void CopyPairing(const CTreeEntry& original)
    {
        m_nState = original.m_nState;
        m_bTwin = original.m_bTwin;
        m_pOpposite = original.m_pOpposite;
        m_hTreeItem = original.m_hTreeItem;
    }

private:
    TreeItemHandle m_hTreeItem = nullptr;
    CCompareName m_strName;
    CCompareNode* m_pParent;
    Self* m_pOpposite = nullptr;
    // One byte each: the kinds' own members fill the room after them.
    int8_t m_nState = csUncompared;
    bool m_bTwin = false;
};
