#include "app/MainFrame.h"

#include "app/AboutDlg.h"
#include "app/SnapshotSetupDlg.h"
#include "compare/CompareOperation.h"
#include "res/resource.h"
#include "snapshot/SnapOperation.h"
#include "operation/AppMessages.h"
#include "operation/SnapProgressDlg.h"
#include "operation/WorkerWait.h"

#include <commctrl.h>
#include <shellapi.h>

const char* const kHelpPage = "https://www.pellix.com/corvane/help";
const char* const kToolBarCaption = "Toolbar";
const char* const kCloseWhenFinished = "Corvane will close when the operation has finished.";

void ReportWindowFailure()
{
    ReportFailure(kComparisonFailure);
}

CMainFrame::CMainFrame()
{
    // Without even a lock of this process the flag is still read and written
    // only on the user-interface thread.
    m_lockOperation.Create(kOperationLockName, kSharedLockPatienceMs);
}

CMainFrame::~CMainFrame() = default;

BOOL CMainFrame::IsOperationRunning()
{
    bool locked = m_lockOperation.Lock(true);
    BOOL running = m_bOperationRunning;
    if (locked)
        m_lockOperation.Unlock();
    return running;
}

void CMainFrame::SetOperationRunning(BOOL running)
{
    bool locked = m_lockOperation.Lock(true);
    m_bOperationRunning = running;
    if (locked)
        m_lockOperation.Unlock();
}

void CMainFrame::CloseResults()
{
    m_wndHost.CloseView();
    m_pRegResult.reset();
}

void CMainFrame::PreCreateWindow(CREATESTRUCTA& cs)
{
    cs.dwExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
}

int CMainFrame::OnCreate(CREATESTRUCTA*)
{
    if (!m_wndHost.Create(this, kIdFirstPane))
        return -1;
    if (!m_wndToolBar.CreateEx(this, TBSTYLE_FLAT | TBSTYLE_TOOLTIPS,
                               WS_CHILD | WS_VISIBLE | CCS_TOP, kIdToolBar) ||
        !m_wndToolBar.LoadToolBar(IDR_MAINFRAME))
        return -1;
    if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CCS_BOTTOM, kIdStatusBar))
        return -1;
    if (!EnableDocking(m_wndToolBar, kToolBarCaption))
        return -1;
    ShowIdleMessage();
    RecalcLayout();
    return 0;
}

bool CMainFrame::OnCommand(UINT id, UINT code, HWND control)
{
    // Menus (code 0), accelerators (code 1) and toolbar buttons.
    if (code > 1)
        return false;
    // A command of the results view may serve the thread's messages while it
    // runs long (Expand All of a large result): it runs as an operation, so
    // that nothing closes the result under it.
    if (m_wndHost.HasView() && !IsOperationRunning()) {
        COperationScope scope(*this);
        if (m_wndHost.OnCmdMsg(id, code, control))
            return true;
    } else if (m_wndHost.OnCmdMsg(id, code, control)) {
        return true;
    }
    switch (id) {
    case ID_SNAPSHOT_CREATE:
        OnCreateSnapshot();
        return true;
    case ID_COMPARE_REGISTRY:
        OnCompareRegistry();
        return true;
    case ID_COMPARE_FILESYSTEM:
        OnCompareFileSystem();
        return true;
    case ID_HELP_INDEX:
        OnHelpContents();
        return true;
    case ID_APP_ABOUT:
        OnAppAbout();
        return true;
    case ID_APP_EXIT:
        OnAppExit();
        return true;
    default:
        return CFrameWnd::OnCommand(id, code, control);
    }
}

void CMainFrame::OnSetFocus(HWND)
{
    if (m_wndHost.GetSafeHwnd())
        m_wndHost.SetFocus();
}

void CMainFrame::OnClose()
{
    // The command that runs an operation is still on the stack, inside its
    // nested message loop: the frame may only go once it has returned.
    if (IsOperationRunning()) {
        m_bCloseDeferred = true;
        // A result still being filled or expanded is not waited for.
        m_wndHost.StopWork();
        // Said where it stays: the bar comes back if it was hidden.
        if (!IsControlBarVisible(kIdStatusBar))
            ShowControlBar(kIdStatusBar, true);
        SetIdleMessage(kCloseWhenFinished);
        return;
    }
    DestroyWindow();
}

CMainFrame::COperationScope::COperationScope(CMainFrame& frame) : m_frame(frame)
{
    m_frame.SetOperationRunning(TRUE);
}

CMainFrame::COperationScope::~COperationScope()
{
    m_frame.SetOperationRunning(FALSE);
    if (m_frame.m_bCloseDeferred) {
        m_frame.m_bCloseDeferred = false;
        m_frame.PostMessage(WM_CLOSE);
    }
}

INT_PTR CMainFrame::RunSetup(CSnapshotSetupDlg& setup)
{
    return setup.DoModal();
}

void CMainFrame::OnCreateSnapshot()
{
    if (IsOperationRunning())
        return;
    COperationScope scope(*this);
    CSnapshotSetupDlg setup;
    // Made before the operation and gone after it: the worker uses it to the end.
    CSnapProgressDlg progress(TRUE);
    if (RunSetup(setup) != IDOK)
        return;
    UINT icon = setup.m_nKind == kSnapKindRegistry ? IDI_REGISTRY_OP : IDI_FILESYSTEM_OP;
    if (!progress.Create(icon, this))
        return;
    CSnapOperation operation;
    operation.Start(this, &progress, setup.m_strPath, setup.m_nKind, setup.m_chDrive,
                    setup.m_bFullIgnoredPaths);
}

std::unique_ptr<CCompareMine> CMainFrame::RunComparison(int kind)
{
    CCompareOperation operation;
    return operation.Start(this, kind);
}

void CMainFrame::OnCompareRegistry()
{
    CompareAndShow(kSnapKindRegistry);
}

void CMainFrame::OnCompareFileSystem()
{
    CompareAndShow(kSnapKindFileSystem);
}

void CMainFrame::CompareAndShow(int kind)
{
    if (IsOperationRunning())
        return;
    COperationScope scope(*this);
    // The registry result goes with the view; a file-system result stays
    // until the next one replaces it.
    CloseResults();
    std::unique_ptr<CCompareMine> result = RunComparison(kind);
    if (!result) {
        // The registry command says so whenever it has nothing to show, a
        // cancelled dialog included; the file-system command says nothing.
        if (kind == kSnapKindRegistry)
            ::MessageBoxA(m_hWnd, kComparisonFailed, kProgramCaption, MB_OK);
        return;
    }
    if (kind == kSnapKindRegistry) {
        m_pRegResult = std::move(result);
        m_wndHost.ShowRegistryResults(*m_pRegResult);
    } else {
        m_pFSResult = std::move(result);
        m_wndHost.ShowFileSystemResults(*m_pFSResult);
    }
}

void CMainFrame::OnHelpContents()
{
    OpenWebPage(kHelpPage);
}

void CMainFrame::OnAppAbout()
{
    CAboutDlg about;
    about.DoModal();
}

void CMainFrame::OnAppExit()
{
    if (IsOperationRunning())
        return;
    PostMessage(WM_CLOSE);
}

void CMainFrame::OpenWebPage(const char* url)
{
    ::ShellExecuteA(nullptr, nullptr, url, nullptr, nullptr, SW_SHOWMAXIMIZED);
}
