#include "operation/ProgressBar.h"

#include "operation/ProgressMessages.h"

#include <cmath>
#include <cstdio>

namespace {
const char kBarClass[] = "CorvaneProgressBar";
}

BOOL CProgressBar::Create(DWORD exStyle, DWORD style, const RECT& rect, CWnd* parent, COLORREF crBar,
                          COLORREF crBack, COLORREF crTextOnBar, COLORREF crTextOnBack, BOOL bShowText,
                          HFONT font)
{
    // The class keeps the background brush of its first registration for the
    // life of the program: the system deletes a class's brush with the class.
    WNDCLASSEXA registered{};
    registered.cbSize = sizeof registered;
    if (!::GetClassInfoExA(::GetModuleHandleA(nullptr), kBarClass, &registered)) {
        CBrush classBrush;
        classBrush.CreateSolidBrush(crBack);
        if (!RegisterWndClass(kBarClass, CS_VREDRAW | CS_HREDRAW | CS_OWNDC, ::LoadCursorA(nullptr, IDC_ARROW),
                              classBrush))
            return FALSE;
        classBrush.Detach();
    }
    if (!m_brBar.CreateSolidBrush(crBar) || !m_brBack.CreateSolidBrush(crBack))
        return FALSE;
    m_crBar = crBar;
    m_crBack = crBack;
    m_crTextOnBar = crTextOnBar;
    m_crTextOnBack = crTextOnBack;
    m_bShowText = bShowText;

    LOGFONTA lf{};
    if (!font || ::GetObjectA(font, sizeof lf, &lf) != sizeof lf)
        lf = FontDescription("MS Sans Serif", 14, ANSI_CHARSET, PROOF_QUALITY, VARIABLE_PITCH | FF_SWISS);
    m_font.CreateFontIndirect(lf);
    return CreateEx(exStyle, kBarClass, nullptr, style, rect, parent ? parent->GetSafeHwnd() : nullptr, 0);
}

float CProgressBar::Clamp(float pos, UINT lower, UINT upper)
{
    float low = static_cast<float>(lower);
    float high = static_cast<float>(upper);
    if (std::isnan(pos) || pos < low)
        return low;
    if (pos > high)
        return high;
    return pos;
}

int CProgressBar::FillEdge(float pos, int width, UINT lower, UINT upper)
{
    if (pos == static_cast<float>(upper))
        return width;
    return static_cast<int>(static_cast<float>(width) / static_cast<float>(upper - lower) * pos);
}

std::string CProgressBar::PercentText(float pos)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.f%%", static_cast<double>(pos));
    return text;
}

CBarPicture CProgressBar::PictureOf(float pos, int width)
{
    return CBarPicture{FillEdge(pos, width, 0, 100), PercentText(pos)};
}

// The picture is drawn when the window is painted next: a worker's burst of
// changes between two paints costs one picture, not one each.
void CProgressBar::Changed()
{
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CProgressBar::SetRange(UINT lower, UINT upper)
{
    m_nLower = lower;
    m_nUpper = upper;
    m_fPos = static_cast<float>(lower);
    Changed();
}

void CProgressBar::SetPos(float pos)
{
    m_fPos = Clamped(pos);
    Changed();
}

void CProgressBar::StepIt(unsigned count)
{
    // Rounded to a float after every step, as single steps stored one by one
    // would be: the x87 unit would otherwise carry the sum in more precision.
    volatile float pos = m_fPos;
    for (unsigned i = 0; i < count; ++i)
        pos = Clamped(pos + m_fStep);
    m_fPos = pos;
    Changed();
}

void CProgressBar::DrawBar(HDC target)
{
    RECT client;
    GetClientRect(&client);
    const int W = client.right, H = client.bottom;

    CMemoryDC off(target);
    const std::string shown = m_bShowText ? PercentText(m_fPos) : std::string();
    const char* text = shown.c_str();
    const int length = static_cast<int>(shown.size());

    CSelectObject font(off, m_font.Get());
    ::SetBkColor(off, m_crBar);
    ::SetTextColor(off, m_crTextOnBar);
    SIZE extent{0, 0};
    ::GetTextExtentPoint32A(off, text, length, &extent);
    const int tw = extent.cx, th = extent.cy;
    const int tx = W / 2 - tw / 2, ty = H / 2 - th / 2;

    // Rows 0 to H-1 take the bar; below them lie the text in the bar's
    // colours (row H+1) and in the back's colours (row H+th+1).
    CBitmap canvas;
    canvas.CreateCompatibleBitmap(target, W + 2 * tw + 1, H + 2 * th + 1);
    CSelectObject canvasSelected(off, canvas.Get());

    int edge = FillEdge(m_fPos, W, m_nLower, m_nUpper);
    RECT back{edge, 0, W, H};
    ::FillRect(off, &back, m_brBack);
    RECT bar{0, 0, edge, H};
    ::FillRect(off, &bar, m_brBar);

    if (m_bShowText)
        ::ExtTextOutA(off, 0, H + 1, ETO_OPAQUE, nullptr, text, static_cast<UINT>(length), nullptr);
    ::SetBkColor(off, m_crBack);
    ::SetTextColor(off, m_crTextOnBack);
    if (m_bShowText)
        ::ExtTextOutA(off, 0, H + th + 1, ETO_OPAQUE, nullptr, text, static_cast<UINT>(length), nullptr);

    if (tw > 0 && th > 0) {
        CMemoryDC textDC(target);
        CBitmap textImage;
        textImage.CreateCompatibleBitmap(target, tw, th);
        CSelectObject textSelected(textDC, textImage.Get());
        ::BitBlt(textDC, 0, 0, tw, th, off, 0, H + 1, SRCCOPY);
        int s = edge - tx;
        if (s < 0)
            s = 0;
        if (s < tw)
            ::BitBlt(textDC, s, 0, tw - s, th, off, s, H + th + 1, SRCCOPY);
        ::BitBlt(off, tx, ty, tw, th, textDC, 0, 0, SRCCOPY);
    }
    ::BitBlt(target, 0, 0, W, H, off, 0, 0, SRCCOPY);
}

void CProgressBar::OnPaint()
{
    CPaintDC dc(m_hWnd);
    DrawBar(dc);
}

LRESULT CProgressBar::OnStepIt(WPARAM w, LPARAM)
{
    StepIt(w ? static_cast<unsigned>(w) : 1u);
    return 1;
}

LRESULT CProgressBar::OnSetRange(WPARAM w, LPARAM l)
{
    SetRange(static_cast<UINT>(w), static_cast<UINT>(l));
    return 1;
}

LRESULT CProgressBar::OnGetPos(WPARAM, LPARAM)
{
    return static_cast<LRESULT>(std::trunc(GetPos()));
}

LRESULT CProgressBar::OnSetPos(WPARAM w, LPARAM)
{
    if (w)
        SetPos(*reinterpret_cast<const float*>(w));
    return 1;
}

LRESULT CProgressBar::OnSetStep(WPARAM w, LPARAM)
{
    if (w)
        SetStep(*reinterpret_cast<const float*>(w));
    return 1;
}

LRESULT CProgressBar::WindowProc(UINT msg, WPARAM w, LPARAM l)
{
    switch (msg) {
    case WM_BAR_STEPIT: return OnStepIt(w, l);
    case WM_BAR_SETRANGE: return OnSetRange(w, l);
    case WM_BAR_GETPOS: return OnGetPos(w, l);
    case WM_BAR_SETPOS: return OnSetPos(w, l);
    case WM_BAR_SETSTEP: return OnSetStep(w, l);
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        // The whole bar is drawn at once by WM_PAINT.
        return 1;
    default:
        return CWnd::WindowProc(msg, w, l);
    }
}
