// An owning image list.
#pragma once

#include "framework/Gdi.h"
#include "framework/Handle.h"

#include <windows.h>
#include <commctrl.h>

#include <utility>

class CImageList : public COwnedHandle<CClosedBy<HIMAGELIST, ::ImageList_Destroy>> {
public:
    using COwnedHandle::COwnedHandle;

    // An empty list of pictures of one size (ILC_COLOR4 | ILC_MASK for the
    // trees' 16-colour icons), with room for `initial` and growing by `grow`.
    bool Create(int width, int height, UINT flags, int initial, int grow)
    {
        return Attach(::ImageList_Create(width, height, flags, initial, grow));
    }
    // A strip of pictures of the given width from a bitmap resource; pixels of
    // the mask colour are transparent. The list held stays when it fails.
    bool LoadStrip(UINT bitmapId, int width, int height, COLORREF mask)
    {
        CBitmap strip(static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmapId),
                                                         IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        CImageList list;
        if (!strip.IsOpen() || !list.Create(width, height, ILC_COLOR24 | ILC_MASK, 8, 0) ||
            ::ImageList_AddMasked(list, strip, mask) < 0)
            return false;
        *this = std::move(list);
        return true;
    }
    // A copy of this list in `copy`, whose pictures then change apart from these.
    bool Duplicate(CImageList& copy) const { return copy.Attach(::ImageList_Duplicate(Get())); }

    // The index of the added picture, -1 when it failed.
    int AddIcon(HICON icon) const { return ::ImageList_AddIcon(Get(), icon); }
    // Replaces picture `index` (adds one for -1); its index, -1 when it failed.
    int ReplaceIcon(int index, HICON icon) const { return ::ImageList_ReplaceIcon(Get(), index, icon); }
    int GetImageCount() const { return ::ImageList_GetImageCount(Get()); }
};
