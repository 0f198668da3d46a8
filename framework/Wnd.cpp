#include "framework/Wnd.h"

#include "framework/WaitCursor.h"

#include <windowsx.h>

#include <vector>

namespace {
UiFailureHandler g_failureHandler = nullptr;
thread_local bool t_telling = false;
thread_local bool t_told = false;
}  // namespace

void SetUiFailureHandler(UiFailureHandler handler)
{
    g_failureHandler = handler;
}

void CWnd::TellFailure()
{
    if (!g_failureHandler || t_telling || t_told)
        return;
    t_telling = true;
    try {
        g_failureHandler();
    } catch (...) {
        // The report failed too: nothing more can be told.
    }
    t_telling = false;
    t_told = true;
}

void CWnd::MessageHandled()
{
    t_told = false;
}

std::string GetWindowTextOf(HWND h)
{
    int n = ::GetWindowTextLengthA(h);
    if (n <= 0)
        return std::string();
    std::vector<char> text(static_cast<size_t>(n) + 1);
    int got = ::GetWindowTextA(h, text.data(), n + 1);
    return std::string(text.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

std::wstring GetWindowTextOfW(HWND h)
{
    int n = ::GetWindowTextLengthW(h);
    if (n <= 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    int got = ::GetWindowTextW(h, &text[0], n + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

CWnd::~CWnd()
{
    // The object's own handlers went with its derived parts: the window lets
    // go of it first and goes without them. A window whose WM_DESTROY must be
    // handled is destroyed before its object.
    if (m_bOwnsWindow && m_hWnd && ::IsWindow(m_hWnd)) {
        ::SetWindowLongPtrA(m_hWnd, m_nSelfSlot, 0);
        ::DestroyWindow(m_hWnd);
    }
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    BOOL ok = ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
    return ok;
}

std::wstring CWnd::GetWindowTextWide() const
{
    return GetWindowTextOfW(m_hWnd);
}

std::string CWnd::GetWindowText() const
{
    return GetWindowTextOf(m_hWnd);
}

std::string CWnd::GetDlgItemText(int id) const
{
    return GetWindowTextOf(::GetDlgItem(m_hWnd, id));
}

bool CWnd::RegisterWndClass(const char* className, UINT classStyle, HCURSOR cursor,
                            HBRUSH background, HICON icon, HICON smallIcon)
{
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (::GetClassInfoExA(instance, className, &existing))
        return true;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = classStyle;
    wc.lpfnWndProc = StdWndProc;
    wc.hInstance = instance;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.hIconSm = smallIcon;
    wc.lpszClassName = className;
    return ::RegisterClassExA(&wc) != 0;
}

bool CWnd::CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style,
                    const RECT& rect, HWND parent, UINT id)
{
    HWND h = ::CreateWindowExA(exStyle, className, title, style, rect.left, rect.top,
                               rect.right - rect.left, rect.bottom - rect.top, parent,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                               ::GetModuleHandleA(nullptr), this);
    return h != nullptr;
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM w, LPARAM l)
{
    LRESULT result = 0;
    if (OnWndMsg(msg, w, l, result))
        return result;
    return ::DefWindowProcA(m_hWnd, msg, w, l);
}

bool CWnd::OnWndMsg(UINT msg, WPARAM w, LPARAM l, LRESULT& result)
{
    switch (msg) {
    case WM_COMMAND:
        result = 0;
        return OnCommand(LOWORD(w), HIWORD(w), reinterpret_cast<HWND>(l));
    case WM_NOTIFY:
        result = 0;
        return OnNotify(reinterpret_cast<NMHDR*>(l), result);
    case WM_SETCURSOR:
        // A busy program keeps the hourglass over its windows and their controls.
        if (!IsWaitCursorShown())
            return false;
        ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
        result = TRUE;
        return true;
    case WM_CONTEXTMENU:
        result = 0;
        return OnContextMenu(reinterpret_cast<HWND>(w), POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)});
    default:
        return false;
    }
}

LRESULT CALLBACK CWnd::StdWndProc(HWND h, UINT msg, WPARAM w, LPARAM l)
{
    CWnd* self;
    if (msg == WM_NCCREATE) {
        self = static_cast<CWnd*>(reinterpret_cast<CREATESTRUCTA*>(l)->lpCreateParams);
        self->TakeWindow(h, GWLP_USERDATA);
    } else {
        self = reinterpret_cast<CWnd*>(::GetWindowLongPtrA(h, GWLP_USERDATA));
    }
    if (!self)
        return ::DefWindowProcA(h, msg, w, l);
    LRESULT result;
    try {
        result = self->WindowProc(msg, w, l);
        MessageHandled();
    } catch (...) {
        // Nothing may unwind through the system's window manager: the user
        // is told, and the message gets the system's own answer.
        TellFailure();
        result = ::DefWindowProcA(h, msg, w, l);
    }
    if (msg == WM_NCDESTROY)
        self->EndOfWindow(h);
    return result;
}

void CWnd::TakeWindow(HWND h, int selfSlot)
{
    m_hWnd = h;
    m_bOwnsWindow = true;
    m_nSelfSlot = selfSlot;
    ::SetWindowLongPtrA(h, selfSlot, reinterpret_cast<LONG_PTR>(this));
}

void CWnd::EndOfWindow(HWND h)
{
    ::SetWindowLongPtrA(h, m_nSelfSlot, 0);
    m_hWnd = nullptr;
    m_bOwnsWindow = false;
    PostNcDestroy();
}
