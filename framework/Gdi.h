// Owned GDI objects and icons, and guards of device contexts and selected
// objects; none can be copied.
#pragma once

#include "framework/Handle.h"

#include <windows.h>

// A brush, font or bitmap, deleted with its object.
template <typename H>
using CGdiObject = COwnedHandle<CClosedBy<H, ::DeleteObject>>;

class CBrush : public CGdiObject<HBRUSH> {
public:
    using COwnedHandle::COwnedHandle;
    bool CreateSolidBrush(COLORREF colour) { return Attach(::CreateSolidBrush(colour)); }
};

class CFont : public CGdiObject<HFONT> {
public:
    using COwnedHandle::COwnedHandle;
    bool CreateFontIndirect(const LOGFONTA& lf) { return Attach(::CreateFontIndirectA(&lf)); }
};

// The description of a font of a face and a height in logical units (the
// cell's height when positive), of normal weight and the default precisions;
// the character set, the quality and the pitch and family as given.
inline LOGFONTA FontDescription(const char* face, LONG height, BYTE charSet = DEFAULT_CHARSET,
                                BYTE quality = DEFAULT_QUALITY, BYTE pitchAndFamily = DEFAULT_PITCH | FF_DONTCARE)
{
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = charSet;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = quality;
    lf.lfPitchAndFamily = pitchAndFamily;
    ::lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    return lf;
}

class CBitmap : public CGdiObject<HBITMAP> {
public:
    using COwnedHandle::COwnedHandle;
    bool CreateCompatibleBitmap(HDC dc, int w, int h) { return Attach(::CreateCompatibleBitmap(dc, w, h)); }
};

// An icon made for its object, destroyed with it. Icons that the system
// shares (LoadIcon's, and LoadImage's with LR_SHARED) are never held here:
// they must not be destroyed.
class CIcon : public COwnedHandle<CClosedBy<HICON, ::DestroyIcon>> {
public:
    using COwnedHandle::COwnedHandle;
    // Icon resource `id` of the program at `size` pixels square.
    bool Load(UINT id, int size)
    {
        return Attach(static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                                      IMAGE_ICON, size, size, 0)));
    }
};

// Icon resource `id` of the program at a standard size (that of SM_CXICON or
// SM_CXSMICON), shared: the system keeps one copy for the program, which
// nothing destroys. Window classes take these.
inline HICON LoadSharedIcon(UINT id, int size)
{
    return static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON,
                                           size, size, LR_SHARED));
}

// A memory device context compatible with another one.
class CMemoryDC {
public:
    explicit CMemoryDC(HDC compatible) : m_hDC(::CreateCompatibleDC(compatible)) {}
    ~CMemoryDC() { if (m_hDC) ::DeleteDC(m_hDC); }
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;
    operator HDC() const { return m_hDC; }

private:
    HDC m_hDC;
};

// An object selected into a device context until the end of the scope.
class CSelectObject {
public:
    CSelectObject(HDC dc, HGDIOBJ object) : m_hDC(dc), m_hOld(::SelectObject(dc, object)) {}
    ~CSelectObject() { ::SelectObject(m_hDC, m_hOld); }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

// The device context of a window's client area; with flags, the one GetDCEx
// gives (DCX_WINDOW | DCX_CACHE: the whole window, its children not clipped).
class CClientDC {
public:
    explicit CClientDC(HWND h) : m_hWnd(h), m_hDC(::GetDC(h)) {}
    CClientDC(HWND h, DWORD flags) : m_hWnd(h), m_hDC(::GetDCEx(h, nullptr, flags)) {}
    ~CClientDC() { if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC); }
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;
    operator HDC() const { return m_hDC; }

private:
    HWND m_hWnd;
    HDC m_hDC;
};

// BeginPaint / EndPaint around a WM_PAINT handler.
class CPaintDC {
public:
    explicit CPaintDC(HWND h) : m_hWnd(h) { m_hDC = ::BeginPaint(h, &m_ps); }
    ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    operator HDC() const { return m_hDC; }

private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps{};
    HDC m_hDC;
};
