// An owning image list.
#pragma once

#include <windows.h>
#include <commctrl.h>

class CImageList {
public:
    CImageList() = default;
    ~CImageList() { if (m_h) ::ImageList_Destroy(m_h); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    // A strip of pictures of the given width from a bitmap resource; pixels of
    // the mask colour are transparent.
    bool LoadStrip(UINT bitmapId, int width, int height, COLORREF mask)
    {
        HBITMAP strip = static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr),
                                                          MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP,
                                                          0, 0, LR_CREATEDIBSECTION));
        if (!strip)
            return false;
        HIMAGELIST h = ::ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 8, 0);
        bool ok = h && ::ImageList_AddMasked(h, strip, mask) >= 0;
        ::DeleteObject(strip);
        if (!ok) {
            if (h)
                ::ImageList_Destroy(h);
            return false;
        }
        if (m_h)
            ::ImageList_Destroy(m_h);
        m_h = h;
        return true;
    }
    HIMAGELIST Get() const { return m_h; }

private:
    HIMAGELIST m_h = nullptr;
};
