// The application object: one instance, found by the program's start-up, that
// prepares the main window in InitInstance and then runs the message loop with
// idle processing until the quit message.
#pragma once

#include "framework/Wnd.h"

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Returns FALSE to end the program at once.
    virtual BOOL InitInstance() { return TRUE; }
    // The message loop; returns the quit message's exit code.
    virtual int Run();
    // Takes one message from the queue (waiting for one) and dispatches it;
    // false when it was the quit message, whose code ExitCode then gives.
    bool PumpMessage();
    // Idle work after the queue ran empty; returns true while it wants more
    // calls with higher counts.
    virtual BOOL OnIdle(LONG count);
    int ExitCode() const { return m_nExitCode; }

    void SetMainWnd(CWnd* wnd);
    CWnd* GetMainWnd() const { return m_pMainWnd; }

protected:
    CWnd* m_pMainWnd = nullptr;

private:
    int m_nExitCode = 0;
};

// The running application object, or null (as in tests that have none).
CWinApp* AppGetApp();
// The application's pump and idle processing; without an application object a
// plain pump and no idle work. The pump returns false at the quit message and
// gives its code.
bool AppPumpMessage(int& exitCode);
BOOL AppOnIdle(LONG count);
