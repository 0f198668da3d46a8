#include "views/FSView.h"

#include "compare/CompareItem.h"
#include "res/resource.h"

const char* const kFolderHasNoProperties = "Item is a folder and does not have properties associated with it.";

// The left list picture by picture; the right one a copy of it whose
// one-sided pictures are cyan instead of red.
bool CFSView::CreateImageLists(CImageList& left, CImageList& right)
{
    return BuildImageLists(left, right,
                           {IDI_FOLDER_CLOSED, IDI_FOLDER_CLOSED_LEFT, IDI_FOLDER_OPEN, IDI_FOLDER_OPEN_LEFT,
                            IDI_DOCUMENT, IDI_DOCUMENT_LEFT},
                           {IDI_FOLDER_CLOSED_RIGHT, IDI_FOLDER_OPEN_RIGHT, IDI_DOCUMENT_RIGHT});
}

int CFSView::LeafImage(const CCompareItem& item, bool uniqueBranch) const
{
    return uniqueBranch || item.GetState() == csUnique ? kUniqueDocumentImage : kDocumentImage;
}

void CFSView::OnViewFileProperties()
{
    ViewSelectedLeaf(kFolderHasNoProperties);
}

void CFSView::ViewSelectedItem()
{
    OnViewFileProperties();
}

void CFSView::ShowContextMenu()
{
    TrackResultsMenu(IDR_FILESYSTEM_RESULTS);
}

bool CFSView::OnCommand(UINT id, UINT code, HWND control)
{
    switch (id) {
    case ID_FS_VIEW_PROPERTIES:
        OnViewFileProperties();
        return true;
    case ID_FS_VIEW_OPPOSITE:
        ViewOpposite();
        return true;
    default:
        return CCompareView::OnCommand(id, code, control);
    }
}
