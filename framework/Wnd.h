// A view of a window handle: every method forwards to the API. The classes
// that create windows (dialogs, frames, custom controls) derive from it. A
// window created by CreateEx gets one procedure that stores `this` at
// WM_NCCREATE and hands every message to the virtual WindowProc. A window
// made for its object (by CreateEx, or a modeless dialog) goes with the
// object; a handle only attached stays.
#pragma once

#include <windows.h>

#include <string>

// How a failure on the user-interface thread is told: an exception that
// reaches a window or dialog procedure stops there, and the handler the
// program sets runs inside that catch (and may rethrow the exception to tell
// failures apart). Without a handler the failure goes untold.
using UiFailureHandler = void (*)();
void SetUiFailureHandler(UiFailureHandler handler);

class CWnd {
public:
    CWnd() = default;
    explicit CWnd(HWND h) : m_hWnd(h) {}
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    void Attach(HWND h)
    {
        m_hWnd = h;
        m_bOwnsWindow = false;
    }
    HWND Detach()
    {
        HWND h = m_hWnd;
        m_hWnd = nullptr;
        m_bOwnsWindow = false;
        return h;
    }

    bool IsWindow() const { return m_hWnd != nullptr && ::IsWindow(m_hWnd); }
    BOOL DestroyWindow();
    BOOL ShowWindow(int cmd) const { return ::ShowWindow(m_hWnd, cmd); }
    BOOL UpdateWindow() const { return ::UpdateWindow(m_hWnd); }
    BOOL EnableWindow(BOOL enable) const { return ::EnableWindow(m_hWnd, enable); }
    HWND SetFocus() const { return ::SetFocus(m_hWnd); }
    BOOL SetForegroundWindow() const { return ::SetForegroundWindow(m_hWnd); }
    HWND SetActiveWindow() const { return ::SetActiveWindow(m_hWnd); }
    BOOL InvalidateRect(const RECT* r = nullptr, BOOL erase = TRUE) const
    {
        return ::InvalidateRect(m_hWnd, r, erase);
    }
    BOOL GetClientRect(RECT* r) const { return ::GetClientRect(m_hWnd, r); }
    BOOL GetWindowRect(RECT* r) const { return ::GetWindowRect(m_hWnd, r); }
    BOOL MoveWindow(int x, int y, int w, int h, BOOL repaint = TRUE) const
    {
        return ::MoveWindow(m_hWnd, x, y, w, h, repaint);
    }
    BOOL SetWindowPos(HWND after, int x, int y, int w, int h, UINT flags) const
    {
        return ::SetWindowPos(m_hWnd, after, x, y, w, h, flags);
    }

    void SetWindowText(const char* text) const { ::SetWindowTextA(m_hWnd, text); }
    std::string GetWindowText() const;
    std::wstring GetWindowTextWide() const;
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    void SetDlgItemText(int id, const char* text) const { ::SetDlgItemTextA(m_hWnd, id, text); }
    std::string GetDlgItemText(int id) const;

    LRESULT SendMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const
    {
        return ::SendMessageA(m_hWnd, msg, w, l);
    }
    BOOL PostMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const
    {
        return ::PostMessageA(m_hWnd, msg, w, l);
    }
    UINT_PTR SetTimer(UINT_PTR id, UINT ms) const { return ::SetTimer(m_hWnd, id, ms, nullptr); }
    BOOL KillTimer(UINT_PTR id) const { return ::KillTimer(m_hWnd, id); }

    int MessageBox(const char* text, const char* caption, UINT type) const
    {
        return ::MessageBoxA(m_hWnd, text, caption, type);
    }

    // Creates a window of a class whose procedure is CWnd::StdWndProc (see
    // RegisterWndClass); false when no window was created.
    bool CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style,
                  const RECT& rect, HWND parent, UINT id);

    // Offers the window a command, as a parent that passes its commands on
    // does; OnCommand decides. True when handled.
    bool OnCmdMsg(UINT id, UINT code = 0, HWND control = nullptr) { return OnCommand(id, code, control); }
    // Offered each message of the application's pump before it is dispatched;
    // true when it was handled (an accelerator key, for example).
    virtual bool PreTranslateMessage(MSG* /*msg*/) { return false; }

    // Registers a class served by StdWndProc, once per name; true when it exists.
    static bool RegisterWndClass(const char* className, UINT classStyle, HCURSOR cursor,
                                 HBRUSH background, HICON icon = nullptr, HICON smallIcon = nullptr);

protected:
    // Every message of a window made by CreateEx; exceptions stop before Windows.
    // What an override leaves alone goes here: the handlers below, then
    // DefWindowProc.
    virtual LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l);

    // A command: its id, its notification code (0 from a menu, 1 from an
    // accelerator, the control's code otherwise) and the control that sent it
    // (null from a menu or an accelerator); true when handled. Every
    // WM_COMMAND of a window or a dialog comes here, and a window that passes
    // commands on (a frame to its pane, say) offers them on from here.
    virtual bool OnCommand(UINT /*id*/, UINT /*code*/, HWND /*control*/) { return false; }
    // A child control's notification; true when handled, with `result` as the
    // notification's answer (TRUE to veto TVN_SELCHANGING, for example).
    virtual bool OnNotify(NMHDR* /*header*/, LRESULT& /*result*/) { return false; }
    // A request for a context menu over `window`; the point is in screen
    // coordinates, or (-1, -1) when it came from the keyboard (Shift+F10 or
    // the menu key), when the menu belongs at the selection instead. False lets
    // the request go on to the parent.
    virtual bool OnContextMenu(HWND /*window*/, POINT /*screen*/) { return false; }

    // Hands the messages that windows and dialogs share to the handlers above;
    // true when one handled it, with its result. Both WindowProc and the
    // dialogs' OnMessage call it, so a handler serves either kind of parent.
    bool OnWndMsg(UINT msg, WPARAM w, LPARAM l, LRESULT& result);

    // Called after WM_NCDESTROY, when the handle is gone.
    virtual void PostNcDestroy() {}
    // The window `h` made for this object, at its first message: it keeps a
    // pointer to this object at `selfSlot` (GWLP_USERDATA, or DWLP_USER for a
    // dialog), where its procedure finds it, and goes with this object.
    void TakeWindow(HWND h, int selfSlot);
    // After the window's WM_NCDESTROY, whatever its handler did: the window
    // lets go of this object, this object of the handle, and PostNcDestroy
    // follows.
    void EndOfWindow(HWND h);
    // For the window and dialog procedures: inside the catch of an exception
    // that reached one, tells the failure through the program's handler; and
    // after a message handled without one. The report's message box serves
    // the thread's messages, and a window that keeps failing would stack up a
    // box per message: while one is shown, and after it until a message is
    // handled again, further failures go untold.
    static void TellFailure();
    static void MessageHandled();

    HWND m_hWnd = nullptr;

private:
    static LRESULT CALLBACK StdWndProc(HWND h, UINT msg, WPARAM w, LPARAM l);

    bool m_bOwnsWindow = false;
    int m_nSelfSlot = GWLP_USERDATA;
};

// The text of any window, however long.
std::string GetWindowTextOf(HWND h);
// The same in UTF-16, as a Unicode window holds it.
std::wstring GetWindowTextOfW(HWND h);

