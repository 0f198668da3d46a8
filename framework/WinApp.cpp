#include "framework/WinApp.h"

#include "framework/AppMessageBox.h"
#include "framework/Dialog.h"

namespace {
CWinApp* g_app = nullptr;

// Tab, Enter and Escape in a modeless dialog of ours (a viewer, say), which
// has no loop of its own to turn them into focus moves and OK or Cancel. The
// dialog sees the message first.
bool IsModelessDialogMessage(MSG& msg)
{
    if (!msg.hwnd)
        return false;
    HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
    CDialog* dialog = CDialog::FromModelessHandle(root);
    return dialog && (dialog->PreTranslateMessage(&msg) || ::IsDialogMessageA(root, &msg));
}

bool DispatchOne(CWnd* mainWnd, int& exitCode)
{
    MSG msg;
    if (::GetMessageA(&msg, nullptr, 0, 0) <= 0) {
        exitCode = static_cast<int>(msg.wParam);
        return false;
    }
    if (IsModelessDialogMessage(msg))
        return true;
    if (mainWnd && mainWnd->GetSafeHwnd() && mainWnd->PreTranslateMessage(&msg))
        return true;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
    return true;
}
}  // namespace

CWinApp::CWinApp()
{
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

void CWinApp::SetMainWnd(CWnd* wnd)
{
    m_pMainWnd = wnd;
    SetAppMainWindow(wnd ? wnd->GetSafeHwnd() : nullptr);
}

bool CWinApp::PumpMessage()
{
    return DispatchOne(m_pMainWnd, m_nExitCode);
}

BOOL CWinApp::OnIdle(LONG)
{
    return FALSE;
}

int CWinApp::Run()
{
    for (;;) {
        MSG msg;
        for (LONG count = 0; !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE); ++count) {
            if (!OnIdle(count)) {
                ::WaitMessage();
                break;
            }
        }
        if (!PumpMessage())
            return m_nExitCode;
    }
}

CWinApp* AppGetApp()
{
    return g_app;
}

bool AppPumpMessage(int& exitCode)
{
    if (!g_app)
        return DispatchOne(nullptr, exitCode);
    bool more = g_app->PumpMessage();
    if (!more)
        exitCode = g_app->ExitCode();
    return more;
}

BOOL AppOnIdle(LONG count)
{
    return g_app ? g_app->OnIdle(count) : FALSE;
}
