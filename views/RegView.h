// The results of a registry comparison: keys with the folder pictures, values
// with the picture of their kind of data (text, binary, number), each red or
// cyan when one-sided; View Value, View Opposite and the "&Results" popup of
// menu 152 as context menu. Values open their viewers owned by this view.
#pragma once

#include "views/CompareView.h"

#include <cstdint>

// The registry view's pictures, after the containers' four; each one-sided
// variant follows its plain picture.
enum : int {
    kTextValueImage = kLeafImages,
    kUniqueTextValueImage,
    kBinaryValueImage,
    kUniqueBinaryValueImage,
    kNumberValueImage,
    kUniqueNumberValueImage,
};

// The plain picture of a value of the registry type (RegTypes.h).
int RegValueImage(uint32_t type);

class CRegView : public CCompareView {
public:
    std::unique_ptr<IViewerWindow> OpenRegValueViewer(RegViewerKind kind, const std::string& caption,
                                                      const CRegVal& value) override;

protected:
    bool OnCommand(UINT id, UINT code, HWND control) override;
    int LeafImage(const CCompareItem& item, bool uniqueBranch) const override;
    bool CreateImageLists(CImageList& left, CImageList& right) override;
    void ViewSelectedItem() override;
    void ShowContextMenu() override;

    void OnViewValue();
};

extern const char* const kKeyHasNoValue;
