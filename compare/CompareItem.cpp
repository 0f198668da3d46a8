#include "compare/CompareItem.h"
#include "compare/OppositeLink.h"

void CCompareItem::CopyPairing(const CCompareItem& original)
{
    m_nState = original.m_nState;
    m_bTwin = original.m_bTwin;
    m_pOpposite = original.m_pOpposite;
    m_hTreeItem = original.m_hTreeItem;
}

CCompareItem* CCompareItem::LinkOpposite(CCompareItem* other)
{
    return LinkOpposites(this, other, &CCompareItem::m_pOpposite);
}

void CCompareItem::Unlink()
{
    if (m_pOpposite)
        m_pOpposite->m_pOpposite = nullptr;
    m_pOpposite = nullptr;
}
