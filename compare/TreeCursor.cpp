#include "compare/TreeCursor.h"

CCompareNode* CTreeCursor::Node() const
{
    if (m_levels.empty())
        return m_pRoot;
    const CLevel& level = m_levels.back();
    return level.inItems ? nullptr : level.node->Nodes().GetAt(level.at);
}

CCompareItem* CTreeCursor::Item() const
{
    if (m_levels.empty() || !m_levels.back().inItems)
        return nullptr;
    return m_levels.back().node->Items().GetAt(m_levels.back().at);
}

bool CTreeCursor::Seek(const CCompareNode* node, const CCompareItem* item)
{
    m_levels.clear();
    std::vector<CLevel> path;
    const CCompareNode* child = node;
    CCompareNode* parent = item ? item->GetParent() : node ? node->GetParent() : nullptr;
    if (item) {
        ListPosition at = parent ? parent->Items().PositionOf(item) : 0;
        if (!at)
            return false;
        path.push_back(CLevel{parent, at, true});
        child = parent;
        parent = parent->GetParent();
    }
    for (; parent; child = parent, parent = parent->GetParent()) {
        ListPosition at = parent->Nodes().PositionOf(child);
        if (!at)
            return false;
        path.push_back(CLevel{parent, at, false});
    }
    if (child != m_pRoot)
        return false;
    m_levels.assign(path.rbegin(), path.rend());
    return true;
}

bool CTreeCursor::Next()
{
    if (CCompareNode* node = Node()) {
        if (ListPosition first = node->Nodes().GetHeadPosition()) {
            m_levels.push_back(CLevel{node, first, false});
            return true;
        }
        if (ListPosition first = node->Items().GetHeadPosition()) {
            m_levels.push_back(CLevel{node, first, true});
            return true;
        }
    }
    // The entry's subtree is done: on to what follows it, climbing as far
    // as needed.
    std::vector<CLevel> was = m_levels;
    while (!m_levels.empty()) {
        CLevel& level = m_levels.back();
        if (!level.inItems) {
            if ((level.at = level.node->Nodes().GetNextPosition(level.at)))
                return true;
            if ((level.at = level.node->Items().GetHeadPosition())) {
                level.inItems = true;
                return true;
            }
        } else if ((level.at = level.node->Items().GetNextPosition(level.at))) {
            return true;
        }
        m_levels.pop_back();
    }
    m_levels = std::move(was);
    return false;
}

bool CTreeCursor::Prev()
{
    if (m_levels.empty())
        return false;
    CLevel& level = m_levels.back();
    if (level.inItems) {
        if (ListPosition before = level.node->Items().GetPrevPosition(level.at)) {
            level.at = before;
            return true;
        }
        if (ListPosition last = level.node->Nodes().GetTailPosition()) {
            level = CLevel{level.node, last, false};
            DescendToLast();
            return true;
        }
    } else if (ListPosition before = level.node->Nodes().GetPrevPosition(level.at)) {
        level.at = before;
        DescendToLast();
        return true;
    }
    m_levels.pop_back();
    return true;
}

void CTreeCursor::SeekLast()
{
    m_levels.clear();
    DescendToLast();
}

void CTreeCursor::DescendToLast()
{
    while (CCompareNode* node = Node()) {
        if (ListPosition last = node->Items().GetTailPosition()) {
            m_levels.push_back(CLevel{node, last, true});
            return;
        }
        ListPosition last = node->Nodes().GetTailPosition();
        if (!last)
            return;
        m_levels.push_back(CLevel{node, last, false});
    }
}
