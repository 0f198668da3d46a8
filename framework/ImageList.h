// An owning image list.
#pragma once

#include <windows.h>
#include <commctrl.h>

class CImageList {
public:
    CImageList() = default;
    ~CImageList() { Destroy(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    // An empty list of pictures of one size (ILC_COLOR4 | ILC_MASK for the
    // trees' 16-colour icons), with room for `initial` and growing by `grow`.
    bool Create(int width, int height, UINT flags, int initial, int grow)
    {
        return Attach(::ImageList_Create(width, height, flags, initial, grow));
    }
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
        return Attach(h);
    }
    // A copy of this list in `copy`, whose pictures then change apart from these.
    bool Duplicate(CImageList& copy) const { return copy.Attach(::ImageList_Duplicate(m_h)); }

    // The index of the added picture, -1 when it failed.
    int AddIcon(HICON icon) const { return ::ImageList_AddIcon(m_h, icon); }
    // Replaces picture `index` (adds one for -1); its index, -1 when it failed.
    int ReplaceIcon(int index, HICON icon) const { return ::ImageList_ReplaceIcon(m_h, index, icon); }
    int GetImageCount() const { return ::ImageList_GetImageCount(m_h); }
    HIMAGELIST Get() const { return m_h; }

    // Takes ownership of `h` in place of the list held; false for null.
    bool Attach(HIMAGELIST h)
    {
        Destroy();
        m_h = h;
        return h != nullptr;
    }
    void Destroy()
    {
        if (m_h)
            ::ImageList_Destroy(m_h);
        m_h = nullptr;
    }

private:
    HIMAGELIST m_h = nullptr;
};
