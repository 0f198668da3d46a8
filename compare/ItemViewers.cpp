#include "compare/ItemViewers.h"

void CItemViewers::Show(const CCompareItem& item, IViewerFactory& factory)
{
    auto found = m_viewers.find(&item);
    if (found != m_viewers.end()) {
        if (found->second->IsOpen()) {
            found->second->BringToFront();
            return;
        }
        m_viewers.erase(found);
    }
    if (std::unique_ptr<IViewerWindow> viewer = item.OpenViewer(factory))
        m_viewers.emplace(&item, std::move(viewer));
}

IViewerWindow* CItemViewers::Find(const CCompareItem& item) const
{
    auto found = m_viewers.find(&item);
    return found == m_viewers.end() ? nullptr : found->second.get();
}

void CItemViewers::CloseAll()
{
    // Taken out first: closing a window may call back into the view.
    auto viewers = std::move(m_viewers);
    m_viewers.clear();
    for (auto& [item, viewer] : viewers)
        viewer->Destroy();
}
