#include "app/SnapshotApp.h"

#include "app/MainFrame.h"
#include "framework/LibrarySearch.h"
#include "res/resource.h"

#include <commctrl.h>

// The one application object, run by the framework's start-up.
CSnapshotApp theApp;

CSnapshotApp::CSnapshotApp() = default;

CSnapshotApp::~CSnapshotApp() = default;

BOOL CSnapshotApp::InitInstance()
{
    // Before any dialog or the shell loads a library by name.
    RestrictLibrarySearch();
    SetUiFailureHandler(ReportWindowFailure);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    m_pFrame = std::make_unique<CMainFrame>();
    if (!m_pFrame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW)) {
        m_pFrame.reset();
        return FALSE;
    }
    SetMainWnd(m_pFrame.get());
    m_pFrame->ShowWindow(SW_SHOW);
    m_pFrame->UpdateWindow();
    return TRUE;
}
