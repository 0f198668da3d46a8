#include "framework/DockBar.h"

#include "framework/FrameWnd.h"
#include "framework/Gdi.h"

#include <windowsx.h>

#include <cstdlib>

namespace {

const char kStripClass[] = "CorvaneDockStrip";
const char kFloatingClass[] = "CorvaneFloatingBar";
// The floating window's room around its toolbar.
const int kFloatingMargin = 2;
// How far outside the frame's client area a released bar still docks.
const int kDockReach = 16;

POINT ScreenPoint(HWND window, LPARAM l)
{
    POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    ::ClientToScreen(window, &p);
    return p;
}

bool CtrlDown()
{
    return (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
}

}  // namespace

bool CDockStrip::Create(HWND frame, UINT id)
{
    if (!RegisterWndClass(kStripClass, CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW),
                          ::GetSysColorBrush(COLOR_BTNFACE)))
        return false;
    RECT empty{0, 0, 0, 0};
    return CreateEx(0, kStripClass, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, empty, frame, id);
}

RECT CDockStrip::GripperRect() const
{
    RECT client;
    GetClientRect(&client);
    RECT grip = client;
    if (m_docking.Side() == DockSide::Left || m_docking.Side() == DockSide::Right)
        grip.bottom = grip.top + CToolBarDocking::kGripperSize;
    else
        grip.right = grip.left + CToolBarDocking::kGripperSize;
    return grip;
}

void CDockStrip::OnPaint()
{
    CPaintDC dc(m_hWnd);
    RECT client;
    GetClientRect(&client);
    RECT grip = GripperRect();
    // Two raised ridges along the bar, and an etched line on the edge that
    // faces the frame's client area.
    bool vertical = m_docking.Side() == DockSide::Left || m_docking.Side() == DockSide::Right;
    for (int i = 0; i < 2; ++i) {
        RECT ridge;
        if (vertical)
            ridge = RECT{grip.left + 3, grip.top + 2 + 4 * i, grip.right - 3, grip.top + 5 + 4 * i};
        else
            ridge = RECT{grip.left + 2 + 4 * i, grip.top + 3, grip.left + 5 + 4 * i, grip.bottom - 3};
        ::DrawEdge(dc, &ridge, BDR_RAISEDINNER, BF_RECT);
    }
    UINT edge = BF_BOTTOM;
    switch (m_docking.Side()) {
    case DockSide::Bottom: edge = BF_TOP; break;
    case DockSide::Left: edge = BF_RIGHT; break;
    case DockSide::Right: edge = BF_LEFT; break;
    default: break;
    }
    ::DrawEdge(dc, &client, EDGE_ETCHED, edge);
}

LRESULT CDockStrip::WindowProc(UINT msg, WPARAM w, LPARAM l)
{
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_SIZE:
        InvalidateRect();
        return 0;
    case WM_SETCURSOR: {
        POINT p;
        ::GetCursorPos(&p);
        ::ScreenToClient(m_hWnd, &p);
        RECT grip = GripperRect();
        if (LOWORD(l) == HTCLIENT && ::PtInRect(&grip, p)) {
            ::SetCursor(::LoadCursorA(nullptr, IDC_SIZEALL));
            return TRUE;
        }
        break;
    }
    case WM_LBUTTONDOWN: {
        POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
        RECT grip = GripperRect();
        if (::PtInRect(&grip, p))
            m_docking.Drag(m_hWnd, ScreenPoint(m_hWnd, l));
        return 0;
    }
    case WM_LBUTTONDBLCLK: {
        POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
        RECT grip = GripperRect();
        if (::PtInRect(&grip, p))
            m_docking.FloatAgain();
        return 0;
    }
    default:
        break;
    }
    return CWnd::WindowProc(msg, w, l);
}

bool CFloatingBarWnd::Create(HWND frame, const char* caption)
{
    if (!RegisterWndClass(kFloatingClass, CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW),
                          ::GetSysColorBrush(COLOR_BTNFACE)))
        return false;
    RECT empty{0, 0, 0, 0};
    return CreateEx(WS_EX_TOOLWINDOW, kFloatingClass, caption,
                    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, empty, frame, 0);
}

LRESULT CFloatingBarWnd::WindowProc(UINT msg, WPARAM w, LPARAM l)
{
    switch (msg) {
    case WM_MOUSEACTIVATE:
        // Clicking the bar leaves the frame the active window.
        return MA_NOACTIVATE;
    case WM_NCLBUTTONDOWN:
        if (w == HTCAPTION) {
            m_docking.Drag(m_hWnd, POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)});
            return 0;
        }
        break;
    case WM_NCLBUTTONDBLCLK:
        if (w == HTCAPTION) {
            m_docking.Dock(DockSide::Floating);
            return 0;
        }
        break;
    case WM_NCACTIVATE:
        // The caption looks as active as the frame's, the bar being part of it.
        return ::DefWindowProcA(m_hWnd, msg, ::GetActiveWindow() == m_docking.Frame(), l);
    case WM_CLOSE:
        m_docking.Show(false);
        return 0;
    default:
        break;
    }
    return CWnd::WindowProc(msg, w, l);
}

CToolBarDocking::CToolBarDocking(CToolBar& toolBar, HWND frame, UINT stripId)
    : m_toolBar(toolBar), m_hFrame(frame), m_nStripId(stripId), m_strip(*this), m_floating(*this)
{
}

CToolBarDocking::~CToolBarDocking() = default;

bool CToolBarDocking::Create(const char* floatingCaption)
{
    if (!m_strip.Create(m_hFrame, m_nStripId) || !m_floating.Create(m_hFrame, floatingCaption))
        return false;
    // The bar lays itself out; the strip or the floating window places it.
    LONG style = ::GetWindowLongA(m_toolBar, GWL_STYLE);
    style &= ~static_cast<LONG>(CCS_TOP | CCS_BOTTOM);
    style |= CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER;
    ::SetWindowLongA(m_toolBar, GWL_STYLE, style);
    // Commands and notifications go to the frame from either home.
    m_toolBar.SendMessage(TB_SETPARENT, reinterpret_cast<WPARAM>(m_hFrame));
    m_toolBar.SetVertical(true);
    m_sizeColumn = m_toolBar.GetLayoutSize();
    m_toolBar.SetVertical(false);
    m_sizeRow = m_toolBar.GetLayoutSize();
    PutToolBar(DockSide::Top);
    return true;
}

SIZE CToolBarDocking::BarSize(DockSide side) const
{
    return IsVertical(side) ? m_sizeColumn : m_sizeRow;
}

int CToolBarDocking::Thickness(DockSide side) const
{
    SIZE size = BarSize(side);
    return (IsVertical(side) ? size.cx : size.cy) + 2 * kBorder;
}

void CToolBarDocking::PutToolBar(DockSide side)
{
    m_side = side;
    if (side != DockSide::Floating)
        m_lastDocked = side;
    bool floating = side == DockSide::Floating;
    m_toolBar.SetVertical(IsVertical(side));
    SIZE size = BarSize(side);
    HWND home = floating ? m_floating.GetSafeHwnd() : m_strip.GetSafeHwnd();
    if (::GetParent(m_toolBar) != home)
        ::SetParent(m_toolBar, home);
    int x = kBorder, y = kBorder;
    if (floating)
        x = y = kFloatingMargin;
    else if (IsVertical(side))
        y = kGripperSize;
    else
        x = kGripperSize;
    m_toolBar.SetWindowPos(nullptr, x, y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (floating) {
        RECT r = FloatingRectAt(m_floatTopLeft);
        m_floating.SetWindowPos(nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowHome();
}

void CToolBarDocking::ShowFrameActive(bool active) const
{
    if (m_floating.GetSafeHwnd())
        ::DefWindowProcA(m_floating.GetSafeHwnd(), WM_NCACTIVATE, active, 0);
}

void CToolBarDocking::Show(bool show)
{
    m_bVisible = show;
    ShowHome();
}

void CToolBarDocking::ShowHome()
{
    bool floating = m_side == DockSide::Floating;
    m_strip.ShowWindow(m_bVisible && !floating ? SW_SHOWNA : SW_HIDE);
    m_floating.ShowWindow(m_bVisible && floating ? SW_SHOWNA : SW_HIDE);
    RelayoutFrame();
}

RECT CToolBarDocking::BandAlong(RECT area, DockSide side) const
{
    int t = Thickness(side);
    switch (side) {
    case DockSide::Top: area.bottom = area.top + t; break;
    case DockSide::Bottom: area.top = area.bottom - t; break;
    case DockSide::Left: area.right = area.left + t; break;
    case DockSide::Right: area.left = area.right - t; break;
    case DockSide::Floating: break;
    }
    return area;
}

void CToolBarDocking::Dock(DockSide side)
{
    PutToolBar(side == DockSide::Floating ? m_lastDocked : side);
}

void CToolBarDocking::Float(POINT topLeft)
{
    m_floatTopLeft = topLeft;
    m_bFloatedBefore = true;
    PutToolBar(DockSide::Floating);
}

void CToolBarDocking::FloatAgain()
{
    if (!m_bFloatedBefore) {
        POINT corner{40, 40};
        ::ClientToScreen(m_hFrame, &corner);
        m_floatTopLeft = corner;
    }
    Float(m_floatTopLeft);
}

void CToolBarDocking::RelayoutFrame() const
{
    ::SendMessageA(m_hFrame, WM_SIZE, 0, 0);
    // The bar and the pane trade places: paint all of it again.
    ::RedrawWindow(m_hFrame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool CToolBarDocking::Layout(RECT& room, RECT& strip) const
{
    if (!m_bVisible || m_side == DockSide::Floating)
        return false;
    strip = BandAlong(room, m_side);
    switch (m_side) {
    case DockSide::Top: room.top = strip.bottom; break;
    case DockSide::Bottom: room.bottom = strip.top; break;
    case DockSide::Left: room.left = strip.right; break;
    default: room.right = strip.left; break;
    }
    if (room.bottom < room.top)
        room.bottom = room.top;
    if (room.right < room.left)
        room.right = room.left;
    return true;
}

RECT CToolBarDocking::DockArea() const
{
    RECT area;
    ::GetClientRect(m_hFrame, &area);
    if (HWND status = ::GetDlgItem(m_hFrame, kIdStatusBar); status && ::IsWindowVisible(status)) {
        RECT s;
        ::GetWindowRect(status, &s);
        area.bottom -= s.bottom - s.top;
    }
    ::MapWindowPoints(m_hFrame, nullptr, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

DockSide CToolBarDocking::TargetAt(POINT p, bool floatOnly) const
{
    if (floatOnly)
        return DockSide::Floating;
    RECT area = DockArea();
    RECT reach{area.left - kDockReach, area.top - kDockReach, area.right + kDockReach, area.bottom + kDockReach};
    if (!::PtInRect(&reach, p))
        return DockSide::Floating;
    // The nearest edge whose band, as deep as the bar docked there, holds the point.
    struct Edge {
        DockSide side;
        int distance;
    } edges[] = {{DockSide::Top, p.y - area.top},
                 {DockSide::Bottom, area.bottom - p.y},
                 {DockSide::Left, p.x - area.left},
                 {DockSide::Right, area.right - p.x}};
    DockSide best = DockSide::Floating;
    int bestDistance = 0;
    for (const Edge& e : edges) {
        if (e.distance <= Thickness(e.side) && (best == DockSide::Floating || e.distance < bestDistance)) {
            best = e.side;
            bestDistance = e.distance;
        }
    }
    return best;
}

RECT CToolBarDocking::FloatingRectAt(POINT topLeft) const
{
    SIZE size = BarSize(DockSide::Floating);
    RECT r{0, 0, size.cx + 2 * kFloatingMargin, size.cy + 2 * kFloatingMargin};
    ::AdjustWindowRectEx(&r, static_cast<DWORD>(::GetWindowLongA(m_floating, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongA(m_floating, GWL_EXSTYLE)));
    ::OffsetRect(&r, topLeft.x - r.left, topLeft.y - r.top);
    return r;
}

RECT CToolBarDocking::FeedbackRect(DockSide side, POINT p) const
{
    if (side == DockSide::Floating)
        return FloatingRectAt(POINT{p.x - m_grabOffset.x, p.y - m_grabOffset.y});
    return BandAlong(DockArea(), side);
}

void CToolBarDocking::InvertFrame(const RECT& r, int thickness)
{
    // Over every window on the screen: the desktop's whole window, its
    // children not clipped.
    CClientDC dc(::GetDesktopWindow(), DCX_WINDOW | DCX_CACHE);
    if (!dc)
        return;
    CSelectObject gray(dc, ::GetStockObject(GRAY_BRUSH));
    int w = r.right - r.left, h = r.bottom - r.top;
    ::PatBlt(dc, r.left, r.top, w, thickness, PATINVERT);
    ::PatBlt(dc, r.left, r.bottom - thickness, w, thickness, PATINVERT);
    ::PatBlt(dc, r.left, r.top + thickness, thickness, h - 2 * thickness, PATINVERT);
    ::PatBlt(dc, r.right - thickness, r.top + thickness, thickness, h - 2 * thickness, PATINVERT);
}

void CToolBarDocking::Drag(HWND capture, POINT start)
{
    // The floating window keeps the pointer where it took hold of the bar,
    // within the row the bar becomes.
    RECT now;
    ::GetWindowRect(m_side == DockSide::Floating ? m_floating.GetSafeHwnd() : m_strip.GetSafeHwnd(), &now);
    RECT floating = FloatingRectAt(POINT{0, 0});
    m_grabOffset = POINT{start.x - now.left, start.y - now.top};
    if (m_grabOffset.x > floating.right - 8)
        m_grabOffset.x = floating.right - 8;
    if (m_grabOffset.y > floating.bottom - 4)
        m_grabOffset.y = floating.bottom - 4;

    const int slopX = ::GetSystemMetrics(SM_CXDRAG), slopY = ::GetSystemMetrics(SM_CYDRAG);
    bool moved = false, done = false, cancelled = false;
    POINT at = start;
    RECT shown{};
    int shownThickness = 0;
    auto showAt = [&](POINT p) {
        DockSide target = TargetAt(p, CtrlDown());
        RECT next = FeedbackRect(target, p);
        int thickness = target == DockSide::Floating ? 3 : 1;
        if (shownThickness && ::EqualRect(&next, &shown) && thickness == shownThickness)
            return;
        if (shownThickness)
            InvertFrame(shown, shownThickness);
        InvertFrame(next, thickness);
        shown = next;
        shownThickness = thickness;
    };
    auto update = [&](POINT p) {
        if (!moved && std::abs(p.x - start.x) <= slopX && std::abs(p.y - start.y) <= slopY)
            return;
        moved = true;
        at = p;
        showAt(p);
    };

    ::SetCapture(capture);
    while (!done && ::GetCapture() == capture) {
        MSG msg;
        int got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0)
                ::PostQuitMessage(static_cast<int>(msg.wParam));
            cancelled = true;
            break;
        }
        switch (msg.message) {
        case WM_MOUSEMOVE:
            update(ScreenPoint(msg.hwnd, msg.lParam));
            break;
        case WM_LBUTTONUP:
            update(ScreenPoint(msg.hwnd, msg.lParam));
            done = true;
            break;
        case WM_RBUTTONDOWN:
            cancelled = true;
            done = true;
            break;
        case WM_KEYDOWN:
        case WM_KEYUP:
            if (msg.wParam == VK_ESCAPE) {
                cancelled = true;
                done = true;
            } else if (msg.wParam == VK_CONTROL && moved) {
                showAt(at);
            }
            break;
        default:
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
            break;
        }
    }
    if (::GetCapture() == capture)
        ::ReleaseCapture();
    else if (!done)
        cancelled = true;
    if (shownThickness)
        InvertFrame(shown, shownThickness);
    if (cancelled || !moved)
        return;
    DockSide target = TargetAt(at, CtrlDown());
    if (target == DockSide::Floating)
        Float(POINT{at.x - m_grabOffset.x, at.y - m_grabOffset.y});
    else
        Dock(target);
}
