#include "app/ViewHost.h"

#include "framework/FrameWnd.h"
#include "framework/Gdi.h"
#include "framework/Menu.h"
#include "framework/WaitCursor.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "views/FSView.h"
#include "views/RegView.h"

#include <utility>

namespace {
const char kHostClass[] = "CorvaneViewHost";
}

bool CViewHost::Create(CWnd* parent, UINT id)
{
    if (!RegisterWndClass(kHostClass, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursorA(nullptr, IDC_ARROW),
                          ::GetSysColorBrush(COLOR_APPWORKSPACE)))
        return false;
    RECT empty{0, 0, 0, 0};
    return CreateEx(WS_EX_CLIENTEDGE, kHostClass, nullptr, WS_CHILD | WS_VISIBLE, empty,
                    parent->GetSafeHwnd(), id);
}

namespace {
// Puts a fresh copy of a menu resource on the application's main frame.
void PutMenu(UINT id)
{
    CWinApp* app = AppGetApp();
    auto* frame = app ? dynamic_cast<CFrameWnd*>(app->GetMainWnd()) : nullptr;
    CMenu menu;
    if (frame && frame->GetSafeHwnd() && menu.LoadMenu(id))
        frame->ReplaceMenu(std::move(menu));
}
}  // namespace

void CViewHost::CloseView()
{
    if (m_pView) {
        m_pView->DestroyWindow();
        m_pView.reset();
    }
    PutMenu(IDR_MAINFRAME);
}

void CViewHost::ShowRegistryResults(const CCompareMine& result, bool entriesHidden)
{
    ShowResults(std::make_unique<CRegView>(), IDR_REGISTRY_RESULTS, result, entriesHidden);
}

void CViewHost::ShowFileSystemResults(const CCompareMine& result, bool entriesHidden)
{
    ShowResults(std::make_unique<CFSView>(), IDR_FILESYSTEM_RESULTS, result, entriesHidden);
}

void CViewHost::ShowResults(std::unique_ptr<CCompareView> view, UINT menuId, const CCompareMine& result,
                            bool entriesHidden)
{
    CWaitCursor wait;
    CloseView();
    PutMenu(menuId);
    m_pView = std::move(view);
    if (!m_pView->CreateView(this)) {
        m_pView.reset();
        return;
    }
    SendMessage(WM_SIZE, 0, 0);
    m_pView->ShowComparison(result, entriesHidden);
}

bool CViewHost::OnCommand(UINT id, UINT code, HWND control)
{
    return m_pView && m_pView->OnCmdMsg(id, code, control);
}

void CViewHost::OnSize()
{
    if (!m_pView)
        return;
    RECT client;
    GetClientRect(&client);
    m_pView->MoveWindow(0, 0, client.right, client.bottom, TRUE);
}

LRESULT CViewHost::WindowProc(UINT msg, WPARAM w, LPARAM l)
{
    switch (msg) {
    case WM_PAINT: {
        // The class background shows wherever no view covers the host. Only
        // the host's own region is validated: validating the whole window
        // would also take the view's and the trees' pending paints away.
        CPaintDC dc(m_hWnd);
        return 0;
    }
    case WM_SIZE:
        CWnd::WindowProc(msg, w, l);
        OnSize();
        return 0;
    case WM_DESTROY:
        // The host goes with the frame, when the program ends.
        if (m_pView)
            m_pView->LeaveEntriesToProcessEnd();
        CloseView();
        break;
    default:
        break;
    }
    return CWnd::WindowProc(msg, w, l);
}
