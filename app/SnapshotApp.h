// The application object: prepares the common controls and opens the main frame.
#pragma once

#include "framework/WinApp.h"

#include <memory>

class CMainFrame;

class CSnapshotApp : public CWinApp {
public:
    CSnapshotApp();
    ~CSnapshotApp() override;
    BOOL InitInstance() override;

private:
    std::unique_ptr<CMainFrame> m_pFrame;
};
