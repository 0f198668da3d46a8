#include "compare/CompareItem.h"

#include "compare/CompareNode.h"

CCompareItem::CCompareItem(CCompareName name, CCompareNode* parent)
    : m_strName(std::move(name)), m_pParent(parent)
{
}

CCompareItem::~CCompareItem()
{
    if (m_pOpposite)
        m_pOpposite->m_pOpposite = nullptr;
    if (m_pViewer)
        m_pViewer->Destroy();
}

void CCompareItem::ShowViewer(IViewerFactory&)
{
    if (!m_pViewer)
        return;
    if (m_pViewer->IsOpen())
        m_pViewer->BringToFront();
    else
        m_pViewer.reset();
}

CCompareItem* CCompareItem::LinkOpposite(CCompareItem* other)
{
    if (m_pOpposite && m_pOpposite != other)
        m_pOpposite->m_pOpposite = nullptr;
    if (other->m_pOpposite && other->m_pOpposite != this)
        other->m_pOpposite->m_pOpposite = nullptr;
    m_pOpposite = other;
    other->m_pOpposite = this;
    return other;
}

void CCompareItem::CompareWith(CCompareNode* opposite)
{
    if (m_nState != csUncompared)
        return;
    CCompareItem* counterpart = opposite->FindItemPartner(*this);
    if (!counterpart) {
        m_nState = csUnique;
        return;
    }
    LinkOpposite(counterpart);
    CompareState state = IsEqual(*counterpart) ? csIdentical : csChanged;
    m_nState = state;
    counterpart->m_nState = state;
}
