#include "framework/FrameWnd.h"

#include "framework/WinApp.h"

#include <commctrl.h>

#include <utility>
#include <vector>

namespace {

const char kFrameClass[] = "CorvaneFrame";
const WORD kToolBarResourceType = 241;
// Pixels of toolbar pictures in this colour are transparent.
const COLORREF kToolBarMask = RGB(255, 0, 255);

std::string LoadResourceString(UINT id)
{
    char text[512];
    int n = ::LoadStringA(::GetModuleHandleA(nullptr), id, text, sizeof text);
    return n > 0 ? std::string(text, static_cast<size_t>(n)) : std::string();
}

int VisibleHeight(HWND h)
{
    if (!h || !::IsWindowVisible(h))
        return 0;
    RECT r;
    ::GetWindowRect(h, &r);
    return r.bottom - r.top;
}

}  // namespace

// Toolbar resource: version 1, picture width and height, item count, then
// one command per item (0 for a separator).
struct ToolBarResource {
    WORD version, width, height, count;
    WORD items[1];
};

bool CToolBar::CreateEx(CWnd* parent, DWORD toolBarStyle, DWORD style, UINT id)
{
    HWND h = ::CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, style | toolBarStyle | CCS_NODIVIDER, 0, 0, 0, 0,
                               parent->GetSafeHwnd(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                               ::GetModuleHandleA(nullptr), nullptr);
    if (!h)
        return false;
    Attach(h);
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return true;
}

bool CToolBar::LoadToolBar(UINT id)
{
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    HRSRC found = ::FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(kToolBarResourceType));
    if (!found)
        return false;
    auto* data = static_cast<const ToolBarResource*>(::LockResource(::LoadResource(instance, found)));
    if (!data || data->version != 1 ||
        ::SizeofResource(instance, found) < sizeof(WORD) * (4u + data->count))
        return false;
    if (!m_images.LoadStrip(id, data->width, data->height, kToolBarMask))
        return false;
    SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_images.Get()));
    std::vector<TBBUTTON> buttons(data->count);
    int picture = 0;
    for (WORD i = 0; i < data->count; ++i) {
        TBBUTTON& b = buttons[i];
        b = TBBUTTON{};
        b.idCommand = data->items[i];
        if (b.idCommand == 0) {
            b.fsStyle = BTNS_SEP;
        } else {
            b.iBitmap = picture++;
            b.fsState = TBSTATE_ENABLED;
            b.fsStyle = BTNS_BUTTON;
        }
    }
    if (!SendMessage(TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data())))
        return false;
    SendMessage(TB_AUTOSIZE);
    return true;
}

UINT CToolBar::GetItemID(int index) const
{
    TBBUTTON b{};
    if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&b)))
        return 0;
    return (b.fsStyle & BTNS_SEP) ? 0 : static_cast<UINT>(b.idCommand);
}

void CToolBar::SetVertical(bool vertical)
{
    LONG style = ::GetWindowLongA(m_hWnd, GWL_STYLE);
    LONG wanted = vertical ? (style | CCS_VERT) : (style & ~static_cast<LONG>(CCS_VERT));
    if (wanted != style)
        ::SetWindowLongA(m_hWnd, GWL_STYLE, wanted);
    for (int i = 0; i < GetButtonCount(); ++i) {
        TBBUTTON b{};
        if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b)))
            continue;
        BYTE state = vertical ? static_cast<BYTE>(b.fsState | TBSTATE_WRAP)
                              : static_cast<BYTE>(b.fsState & ~TBSTATE_WRAP);
        // Separators have no command to be found by; they are set by position.
        TBBUTTONINFOA info{};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_BYINDEX | TBIF_STATE;
        info.fsState = state;
        SendMessage(TB_SETBUTTONINFOA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info));
    }
    SendMessage(TB_AUTOSIZE);
}

SIZE CToolBar::GetLayoutSize() const
{
    SIZE size{0, 0};
    for (int i = 0; i < GetButtonCount(); ++i) {
        RECT r;
        if (SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r))) {
            if (r.right > size.cx)
                size.cx = r.right;
            if (r.bottom > size.cy)
                size.cy = r.bottom;
        }
    }
    return size;
}

bool CStatusBar::Create(CWnd* parent, DWORD style, UINT id)
{
    HWND h = ::CreateWindowExA(0, STATUSCLASSNAMEA, nullptr, style | SBARS_SIZEGRIP, 0, 0, 0, 0,
                               parent->GetSafeHwnd(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                               ::GetModuleHandleA(nullptr), nullptr);
    if (!h)
        return false;
    Attach(h);
    return true;
}

BOOL CFrameWnd::LoadFrame(UINT id, DWORD style, CWnd* parent)
{
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    // The class's icons are shared ones: the class is registered once, and
    // later frames load the same two again.
    if (!RegisterWndClass(kFrameClass, CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW),
                          reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), LoadSharedIcon(id, 32), LoadSharedIcon(id, 16)))
        return FALSE;
    CMenu menu;
    menu.LoadMenu(id);
    m_hMenuDefault = menu.Get();
    m_accelerators.Load(id);
    std::string title = LoadResourceString(id);

    CREATESTRUCTA cs{};
    cs.dwExStyle = WS_EX_CLIENTEDGE;
    cs.lpszClass = kFrameClass;
    cs.lpszName = title.c_str();
    cs.style = style;
    cs.x = cs.y = cs.cx = cs.cy = CW_USEDEFAULT;
    cs.hwndParent = parent ? parent->GetSafeHwnd() : nullptr;
    cs.hMenu = m_hMenuDefault;
    cs.hInstance = instance;
    PreCreateWindow(cs);
    HWND h = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx, cs.cy,
                               cs.hwndParent, cs.hMenu, instance, this);
    if (!h) {
        // A window that failed once it was made has taken the menu along.
        if (!::IsMenu(menu.Get()))
            menu.Detach();
        m_hMenuDefault = nullptr;
        return FALSE;
    }
    // The window owns the menu on it.
    if (::GetMenu(h) == m_hMenuDefault)
        menu.Detach();
    else
        m_menuDefaultKept = std::move(menu);
    return TRUE;
}

void CFrameWnd::ReplaceMenu(CMenu menu)
{
    HMENU old = ::GetMenu(m_hWnd);
    ::SetMenu(m_hWnd, menu.Detach());
    if (old && old == m_hMenuDefault)
        m_menuDefaultKept.Attach(old);
    else if (old)
        ::DestroyMenu(old);
    ::DrawMenuBar(m_hWnd);
}

void CFrameWnd::RecalcLayout()
{
    if (!m_hWnd)
        return;
    HWND statusBar = GetDlgItem(kIdStatusBar);
    if (statusBar) {
        // It places itself along the bottom, and paints its whole width
        // again: its text and size grip move with the frame's width.
        ::SendMessageA(statusBar, WM_SIZE, 0, 0);
        ::InvalidateRect(statusBar, nullptr, TRUE);
    }
    RECT room;
    GetClientRect(&room);
    room.bottom -= VisibleHeight(statusBar);
    RECT strip{};
    bool docked = false;
    if (m_pDocking) {
        docked = m_pDocking->Layout(room, strip);
    } else if (HWND toolBar = GetDlgItem(kIdToolBar)) {
        ::SendMessageA(toolBar, TB_AUTOSIZE, 0, 0);
        room.top += VisibleHeight(toolBar);
    }
    if (room.bottom < room.top)
        room.bottom = room.top;
    // Both at once, so the two never overlap on the way.
    HDWP moves = ::BeginDeferWindowPos(2);
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (HWND pane = GetDlgItem(kIdFirstPane); pane && moves)
        moves = ::DeferWindowPos(moves, pane, nullptr, room.left, room.top, room.right - room.left,
                                 room.bottom - room.top, flags);
    if (docked && moves)
        moves = ::DeferWindowPos(moves, GetDlgItem(kIdToolBar), nullptr, strip.left, strip.top,
                                 strip.right - strip.left, strip.bottom - strip.top, flags);
    if (moves)
        ::EndDeferWindowPos(moves);
}

bool CFrameWnd::EnableDocking(CToolBar& toolBar, const char* floatingCaption)
{
    m_pDocking = std::make_unique<CToolBarDocking>(toolBar, m_hWnd, kIdToolBar);
    if (!m_pDocking->Create(floatingCaption)) {
        m_pDocking.reset();
        return false;
    }
    RecalcLayout();
    return true;
}

bool CFrameWnd::IsControlBarVisible(UINT barId) const
{
    if (barId == kIdToolBar && m_pDocking)
        return m_pDocking->IsVisible();
    HWND bar = GetDlgItem(static_cast<int>(barId));
    return bar && ::IsWindowVisible(bar);
}

void CFrameWnd::ShowControlBar(UINT barId, bool show)
{
    if (barId == kIdToolBar && m_pDocking) {
        m_pDocking->Show(show);
        return;
    }
    if (HWND bar = GetDlgItem(static_cast<int>(barId))) {
        ::ShowWindow(bar, show ? SW_SHOW : SW_HIDE);
        RecalcLayout();
    }
}

void CFrameWnd::SetMessageText(const char* text) const
{
    CStatusBar statusBar;
    statusBar.Attach(GetDlgItem(kIdStatusBar));
    if (statusBar.GetSafeHwnd())
        statusBar.SetPaneText(0, text);
}

std::string CFrameWnd::PromptPart(UINT id, int line) const
{
    std::string prompt = LoadResourceString(id);
    size_t newline = prompt.find('\n');
    if (line == 0)
        return prompt.substr(0, newline);
    return newline == std::string::npos ? std::string() : prompt.substr(newline + 1);
}

void CFrameWnd::ShowPrompt(UINT commandId) const
{
    SetMessageText(PromptPart(commandId, 0).c_str());
}

void CFrameWnd::ShowIdleMessage() const
{
    if (!m_strIdleMessage.empty())
        SetMessageText(m_strIdleMessage.c_str());
    else
        SetMessageText(LoadResourceString(kIdleMessageStringId).c_str());
}

void CFrameWnd::SetIdleMessage(const std::string& text)
{
    m_strIdleMessage = text;
    ShowIdleMessage();
}

bool CFrameWnd::OnCommand(UINT id, UINT code, HWND)
{
    // Menus (code 0), accelerators (code 1) and toolbar buttons.
    if (code > 1)
        return false;
    if (id == kIdToolBar || id == kIdStatusBar) {
        ShowControlBar(id, !IsControlBarVisible(id));
        return true;
    }
    return false;
}

bool CFrameWnd::PreTranslateMessage(MSG* msg)
{
    return m_accelerators.IsOpen() && m_hWnd && ::TranslateAcceleratorA(m_hWnd, m_accelerators, msg);
}

void CFrameWnd::OnInitMenuPopup(HMENU menu)
{
    for (UINT bar : {kIdToolBar, kIdStatusBar})
        ::CheckMenuItem(menu, bar, MF_BYCOMMAND | (IsControlBarVisible(bar) ? MF_CHECKED : MF_UNCHECKED));
}

bool CFrameWnd::OnNotify(NMHDR* header, LRESULT& result)
{
    result = 0;
    switch (header->code) {
    case TTN_GETDISPINFOA: {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
        m_strTip = PromptPart(static_cast<UINT>(header->idFrom), 1);
        info->lpszText = const_cast<char*>(m_strTip.c_str());
        info->hinst = nullptr;
        return true;
    }
    case TTN_GETDISPINFOW: {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        std::string tip = PromptPart(static_cast<UINT>(header->idFrom), 1);
        ::MultiByteToWideChar(CP_ACP, 0, tip.c_str(), -1, info->szText, ARRAYSIZE(info->szText));
        info->szText[ARRAYSIZE(info->szText) - 1] = 0;
        info->lpszText = info->szText;
        info->hinst = nullptr;
        return true;
    }
    case TBN_HOTITEMCHANGE: {
        auto* hot = reinterpret_cast<NMTBHOTITEM*>(header);
        if (hot->dwFlags & HICF_LEAVING)
            ShowIdleMessage();
        else
            ShowPrompt(static_cast<UINT>(hot->idNew));
        return true;
    }
    default:
        return false;
    }
}

LRESULT CFrameWnd::WindowProc(UINT msg, WPARAM w, LPARAM l)
{
    switch (msg) {
    case WM_CREATE:
        return OnCreate(reinterpret_cast<CREATESTRUCTA*>(l)) == -1 ? -1 : 0;
    case WM_SIZE:
        RecalcLayout();
        return 0;
    case WM_SETFOCUS:
        OnSetFocus(reinterpret_cast<HWND>(w));
        return 0;
    case WM_INITMENUPOPUP:
        OnInitMenuPopup(reinterpret_cast<HMENU>(w));
        return 0;
    case WM_MENUSELECT: {
        UINT flags = HIWORD(w);
        if (flags == 0xFFFF && l == 0)
            ShowIdleMessage();
        else if (flags & (MF_POPUP | MF_SEPARATOR))
            SetMessageText("");
        else
            ShowPrompt(LOWORD(w));
        return 0;
    }
    case WM_EXITMENULOOP:
        ShowIdleMessage();
        return 0;
    case WM_ERASEBKGND:
        // The bars and the pane cover the whole client area: painting it
        // would only wipe out what they drew.
        return TRUE;
    case WM_NCACTIVATE:
        if (m_pDocking)
            m_pDocking->ShowFrameActive(w != FALSE);
        break;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_DESTROY:
        // The menu on the window goes with it; a default menu that another
        // one replaced goes now.
        m_menuDefaultKept.Close();
        m_hMenuDefault = nullptr;
        if (CWinApp* app = AppGetApp(); app && app->GetMainWnd() == this) {
            app->SetMainWnd(nullptr);
            ::PostQuitMessage(0);
        }
        break;
    default:
        break;
    }
    return CWnd::WindowProc(msg, w, l);
}
