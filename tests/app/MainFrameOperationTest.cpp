// The operation flag of the main frame on every way out of an operation
// command: an exception from inside the command leaves Exit and the close box
// working, and a close request deferred during the command is carried out.
#include "app/MainFrame.h"

#include "app/SnapshotSetupDlg.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "tests/app/FrameFixture.h"
#include "tests/support/MessageLoop.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace {

// A frame whose setup step does what a test needs instead of asking.
class CThrowingFrame : public CMainFrame {
public:
    using CMainFrame::IsOperationRunning;
    std::function<void(CMainFrame&)> duringSetup;

protected:
    INT_PTR RunSetup(CSnapshotSetupDlg&) override
    {
        if (duringSetup)
            duringSetup(*this);
        throw std::runtime_error("failed inside the command");
    }
};

using MainFrameOperation = CFrameFixture<CThrowingFrame>;

TEST_F(MainFrameOperation, AnExceptionInsideTheCommandLeavesExitWorking)
{
    HWND h = frame.GetSafeHwnd();
    bool runningInside = false;
    frame.duringSetup = [&](CMainFrame& f) { runningInside = f.IsOperationRunning() != FALSE; };
    // The window procedure stops the exception; the command is over.
    frame.SendMessage(WM_COMMAND, ID_SNAPSHOT_CREATE);
    EXPECT_TRUE(runningInside);
    EXPECT_FALSE(frame.IsOperationRunning());
    EXPECT_TRUE(::IsWindow(h));

    // A second operation may start again, and Exit closes the frame.
    runningInside = false;
    frame.SendMessage(WM_COMMAND, ID_SNAPSHOT_CREATE);
    EXPECT_TRUE(runningInside);
    frame.PostMessage(WM_COMMAND, ID_APP_EXIT);
    EXPECT_TRUE(ServeUntil([&]() { return !::IsWindow(h); }));
}

TEST_F(MainFrameOperation, ACloseRequestDeferredByTheCommandIsCarriedOutWhenItThrows)
{
    HWND h = frame.GetSafeHwnd();
    bool openAfterClose = false;
    frame.duringSetup = [&](CMainFrame& f) {
        f.SendMessage(WM_CLOSE);  // the close box while the operation runs
        openAfterClose = ::IsWindow(h) != FALSE;
    };
    frame.SendMessage(WM_COMMAND, ID_SNAPSHOT_CREATE);
    EXPECT_TRUE(openAfterClose);
    EXPECT_TRUE(ServeUntil([&]() { return !::IsWindow(h); }));
    EXPECT_EQ(app.GetMainWnd(), nullptr);
}

}  // namespace
