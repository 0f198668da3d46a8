// File > Snap Shot > Capture... around the demonstration installer with its
// pages answered as a person answers them: the program runs visibly, and at
// the end the file-system result is shown and the registry's is one command
// away, both holding exactly what the installer wrote.
#include "app/CaptureDlg.h"
#include "app/MainFrame.h"
#include "res/resource.h"
#include "tests/app/DialogSteps.h"
#include "tests/app/FrameFixture.h"
#include "tests/support/DemoInstaller.h"
#include "tests/support/DriveFixture.h"
#include "tests/support/WaitFor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

namespace {

using CaptureCommand = CFrameFixture<CMainFrame>;

// Presses the installer's button 1 (Install, then Close) on the page of that
// caption; true once the page has gone (the window names its next page, or is gone).
bool AnswerInstallerPage(const char* caption)
{
    HWND page = WaitForWindow(0, DialogWith(caption), 4 * kPatienceMs);
    if (!page)
        return false;
    ::PostMessageA(::GetDlgItem(page, IDOK), BM_CLICK, 0, 0);
    return WaitFor([&]() { return !FindShownWindow(0, DialogWith(caption)); }, 4 * kPatienceMs);
}

// The entries of a tree of the view, from its root down, each on a line.
std::string Entries(HWND frame, bool left)
{
    HWND tree = FindCompareTree(frame, left);
    if (!tree)
        return "";
    CRemoteTree remote(tree);
    return remote.Listing();
}

TEST_F(CaptureCommand, CapturesTheInstallerAnsweredInItsWindowsAndKeepsBothResults)
{
    ASSERT_TRUE(RemoveDemo());
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "corvane window capture";
    ASSERT_TRUE(RemoveTree(folder));
    bool pagesAnswered = false;
    std::thread person([&]() {
        HWND dialog = WaitForWindow(::GetCurrentProcessId(), DialogWith("Capture", IDC_CAPTURE_PLACES));
        if (!dialog)
            return;
        std::string installer = std::string("Z:") + DEMO_INSTALLER_EXE;
        std::replace(installer.begin(), installer.end(), '/', '\\');
        SetText(dialog, IDC_CAPTURE_PROGRAM, installer);
        Click(dialog, IDC_CAPTURE_CHOSEN);
        SetText(dialog, IDC_CAPTURE_PLACES, "C:\\Program Files\r\nHKLM\\Software");
        SetText(dialog, IDC_CAPTURE_FOLDER, folder);
        PressButton(dialog, IDOK);
        pagesAnswered = AnswerInstallerPage("Pellix Demo 1.0 Setup: Installation Folder") &&
                        AnswerInstallerPage("Pellix Demo 1.0 Setup: Completed");
    });
    frame.SendMessage(WM_COMMAND, ID_SNAPSHOT_CAPTURE);
    person.join();
    EXPECT_TRUE(pagesAnswered);

    HWND h = frame.GetSafeHwnd();
    frame.SendMessage(WM_COMMAND, ID_EXPAND_ALL);
    EXPECT_EQ(Entries(h, false),
              "0 File System 2 0/2 +\n1 C: 0/2 +\n2 Program Files 0/2 +\n3 Pellix Demo 1/3 +\n4 Samples 1/3 +\n"
              "5 first.txt 5/5\n5 second.txt 5/5\n4 demo.ini 5/5\n4 readme.txt 5/5\n4 uninstall.exe 5/5\n");
    EXPECT_EQ(Entries(h, true), "0 File System 1 0/2\n");

    frame.SendMessage(WM_COMMAND, ID_SHOW_OTHER_RESULT);
    frame.SendMessage(WM_COMMAND, ID_EXPAND_ALL);
    std::string registry = Entries(h, false);
    EXPECT_NE(registry.find("\n7 PellixDemo 1/3 +\n8 DisplayName 5/5\n"), std::string::npos) << registry;
    EXPECT_NE(registry.find("\n3 Pellix 1/3 +\n4 Demo 1/3 +\n5 Samples 1/3 +\n"), std::string::npos) << registry;
    EXPECT_TRUE(FileExists(folder + "\\undo.reg"));
    EXPECT_TRUE(RemoveDemo());
    EXPECT_TRUE(RemoveTree(folder));
}

}  // namespace
