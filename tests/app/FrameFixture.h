// A real main frame of the program's resources, shown as the application's
// main window for the test and destroyed after it, with what it left queued.
#pragma once

#include "framework/WinApp.h"
#include "res/resource.h"
#include "tests/support/MessageLoop.h"

#include <gtest/gtest.h>

template <class Frame>
class CFrameFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(frame.LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW));
        app.SetMainWnd(&frame);
        frame.ShowWindow(SW_SHOW);
    }
    void TearDown() override
    {
        if (frame.GetSafeHwnd())
            frame.DestroyWindow();
        ServePending();
    }

    CWinApp app;
    Frame frame;
};
