#include "views/RegView.h"

#include "compare/RegTypes.h"
#include "compare/RegVal.h"
#include "res/resource.h"
#include "views/RegValueDlg.h"

const char* const kKeyHasNoValue = "Item is a key and does not have a value associated with it.";

int RegValueImage(uint32_t type)
{
    switch (RegTypeOf(type).picture) {
    case RegValuePicture::Text: return kTextValueImage;
    case RegValuePicture::Number: return kNumberValueImage;
    default: return kBinaryValueImage;
    }
}

bool CRegView::CreateImageLists(CImageList& left, CImageList& right)
{
    return BuildImageLists(left, right,
                           {IDI_FOLDER_CLOSED, IDI_FOLDER_CLOSED_LEFT, IDI_FOLDER_OPEN, IDI_FOLDER_OPEN_LEFT,
                            IDI_VALUE_TEXT, IDI_VALUE_TEXT_LEFT, IDI_VALUE_BINARY, IDI_VALUE_BINARY_LEFT,
                            IDI_VALUE_NUMBER, IDI_VALUE_NUMBER_LEFT},
                           {IDI_FOLDER_CLOSED_RIGHT, IDI_FOLDER_OPEN_RIGHT, IDI_VALUE_TEXT_RIGHT,
                            IDI_VALUE_BINARY_RIGHT, IDI_VALUE_NUMBER_RIGHT});
}

// Only values are leaves of a registry view's trees.
int CRegView::LeafImage(const CCompareItem& item, bool uniqueBranch) const
{
    int image = RegValueImage(static_cast<const CRegVal&>(item).GetType());
    return uniqueBranch || item.GetState() == csUnique ? image + 1 : image;
}

void CRegView::OnViewValue()
{
    ViewSelectedLeaf(kKeyHasNoValue);
}

void CRegView::ViewSelectedItem()
{
    OnViewValue();
}

void CRegView::ShowContextMenu()
{
    TrackResultsMenu(IDR_REGISTRY_RESULTS);
}

std::unique_ptr<IViewerWindow> CRegView::OpenRegValueViewer(RegViewerKind kind, const std::string& caption,
                                                            const CRegVal& value)
{
    return OpenRegValueWindow(kind, caption, value, this);
}

bool CRegView::OnCommand(UINT id, UINT code, HWND control)
{
    switch (id) {
    case ID_REG_VIEW_VALUE:
        OnViewValue();
        return true;
    case ID_REG_VIEW_OPPOSITE:
        ViewOpposite();
        return true;
    default:
        return CCompareView::OnCommand(id, code, control);
    }
}
