// The viewers that a results view has opened, one for each item it showed
// one for. The view keeps them and closes them with its window; the items
// know nothing of them, so a tree can be pruned, moved or freed while a
// viewer is open, and a viewer never reads its item after it was opened.
// It serves the entries of one result: the view closes it before the result
// goes, so no entry is ever taken for another that came to its address.
#pragma once

#include "compare/CompareItem.h"
#include "seams/Viewer.h"

#include <memory>
#include <unordered_map>

class CItemViewers {
public:
    CItemViewers() = default;
    ~CItemViewers() { CloseAll(); }
    CItemViewers(const CItemViewers&) = delete;
    CItemViewers& operator=(const CItemViewers&) = delete;

    // Brings the item's open viewer to the front; otherwise forgets the one
    // the user closed and has the item open a new one through factory.
    void Show(const CCompareItem& item, IViewerFactory& factory);
    // The item's viewer, open or closed by the user; null when it has none.
    IViewerWindow* Find(const CCompareItem& item) const;
    // Destroys every viewer still open.
    void CloseAll();

private:
    std::unordered_map<const CCompareItem*, std::unique_ptr<IViewerWindow>> m_viewers;
};
