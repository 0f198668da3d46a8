// Owning GDI objects and device contexts that cannot be copied.
#pragma once

#include <windows.h>

// A brush, font or bitmap handle, deleted with the object.
template <typename H>
class CGdiObject {
public:
    CGdiObject() = default;
    explicit CGdiObject(H h) : m_h(h) {}
    ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    H Get() const { return m_h; }
    operator H() const { return m_h; }
    bool Attach(H h) { DeleteObject(); m_h = h; return h != nullptr; }
    void DeleteObject()
    {
        if (m_h)
            ::DeleteObject(m_h);
        m_h = nullptr;
    }

private:
    H m_h = nullptr;
};

class CBrush : public CGdiObject<HBRUSH> {
public:
    bool CreateSolidBrush(COLORREF colour) { return Attach(::CreateSolidBrush(colour)); }
};

class CFont : public CGdiObject<HFONT> {
public:
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
    bool CreateCompatibleBitmap(HDC dc, int w, int h) { return Attach(::CreateCompatibleBitmap(dc, w, h)); }
};

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

// The device context of a window's client area.
class CClientDC {
public:
    explicit CClientDC(HWND h) : m_hWnd(h), m_hDC(::GetDC(h)) {}
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
