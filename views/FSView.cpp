#include "views/FSView.h"

#include "compare/CompareItem.h"
#include "res/resource.h"

const char* const kFolderHasNoProperties = "Item is a folder and does not have properties associated with it.";

namespace {

HICON ProgramIcon(UINT id)
{
    return static_cast<HICON>(
        ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
}

// Adds the icon; false when it could not be had. The list keeps its own copy.
bool AddIcon(const CImageList& list, UINT id, int at = -1)
{
    HICON icon = ProgramIcon(id);
    if (!icon)
        return false;
    int index = at < 0 ? list.AddIcon(icon) : list.ReplaceIcon(at, icon);
    ::DestroyIcon(icon);
    return index >= 0;
}

}  // namespace

// The left list picture by picture; the right one a copy of it whose
// one-sided pictures are cyan instead of red.
bool CFSView::CreateImageLists(CImageList& left, CImageList& right)
{
    if (!left.Create(16, 16, ILC_COLOR4, 0, 6))
        return false;
    for (UINT id : {IDI_FOLDER_CLOSED, IDI_FOLDER_CLOSED_LEFT, IDI_FOLDER_OPEN, IDI_FOLDER_OPEN_LEFT, IDI_DOCUMENT,
                    IDI_DOCUMENT_LEFT})
        if (!AddIcon(left, id))
            return false;
    return left.Duplicate(right) && AddIcon(right, IDI_FOLDER_CLOSED_RIGHT, kUniqueContainerImage) &&
           AddIcon(right, IDI_FOLDER_OPEN_RIGHT, kUniqueOpenContainerImage) &&
           AddIcon(right, IDI_DOCUMENT_RIGHT, kUniqueDocumentImage);
}

int CFSView::LeafImage(const CCompareItem& item, bool uniqueBranch) const
{
    return uniqueBranch || item.GetState() == csUnique ? kUniqueDocumentImage : kDocumentImage;
}

void CFSView::OnViewFileProperties()
{
    CTreeCtrl* tree = FocusedTree();
    if (!tree)
        return;
    HTREEITEM selected = tree->GetSelectedItem();
    if (!selected)
        return;
    Entry entry = EntryOf(*tree, selected);
    if (entry.item)
        entry.item->ShowViewer(*this);
    else if (entry.node)
        Note(kFolderHasNoProperties);
}

void CFSView::ViewSelectedItem()
{
    OnViewFileProperties();
}

void CFSView::ShowContextMenu()
{
    TrackResultsMenu(IDR_FILESYSTEM_RESULTS);
}

bool CFSView::OnCmdMsg(UINT id)
{
    switch (id) {
    case ID_FS_VIEW_PROPERTIES:
        OnViewFileProperties();
        return true;
    case ID_FS_VIEW_OPPOSITE:
        ViewOpposite();
        return true;
    default:
        return CCompareView::OnCmdMsg(id);
    }
}
