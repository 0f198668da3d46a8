// The results of a file-system comparison: folders and files with yellow,
// red and cyan pictures, View File Properties, View Opposite and the
// "&Results" popup of menu 153 as context menu.
#pragma once

#include "views/CompareView.h"

// The file-system view's pictures, after the containers' four.
enum : int { kDocumentImage = kLeafImages, kUniqueDocumentImage = kLeafImages + 1 };

class CFSView : public CCompareView {
protected:
    bool OnCommand(UINT id, UINT code, HWND control) override;
    int LeafImage(const CCompareItem& item, bool uniqueBranch) const override;
    bool CreateImageLists(CImageList& left, CImageList& right) override;
    void ViewSelectedItem() override;
    void ShowContextMenu() override;

    void OnViewFileProperties();
};

extern const char* const kFolderHasNoProperties;
