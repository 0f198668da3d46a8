#include "compare/CompareItem.h"
#include "compare/OppositeLink.h"

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

void CCompareItem::SetViewer(std::unique_ptr<IViewerWindow> viewer)
{
    if (viewer && m_pParent)
        m_pParent->NoteItemToDestroy(*this);
    m_pViewer = std::move(viewer);
}

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

void CCompareItem::CompareWith(CCompareNode* opposite, CCompareList<CCompareItem>::CLookup& lookup)
{
    if (m_nState != csUncompared)
        return;
    CCompareItem* counterpart = opposite->FindItemPartner(*this, lookup);
    if (!counterpart) {
        m_nState = csUnique;
        return;
    }
    LinkOpposite(counterpart);
    CompareState state = IsEqual(*counterpart) ? csIdentical : csChanged;
    m_nState = state;
    counterpart->m_nState = state;
}
