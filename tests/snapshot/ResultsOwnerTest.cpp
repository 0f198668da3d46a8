// The results dialog that ends a snapshot, shown from the worker thread: owned
// by the window the user last worked in (no taskbar button of its own, never
// behind the main window), and open with nothing of its text selected.
#include "snapshot/ResultsDlg.h"

#include "framework/AppMessageBox.h"
#include "res/resource.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/MessageLoop.h"
#include "tests/support/TestWindows.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

struct Seen {
    HWND owner = nullptr;
    DWORD selStart = 99, selEnd = 99;
    bool focusOnText = false;
    std::string text;
};

// Shows the results from a worker while this thread serves its windows, and
// reads the dialog from a third thread before closing it.
Seen ShowFromWorker(const std::string& results)
{
    Seen seen;
    std::atomic<bool> done{false};
    std::thread reader([&]() {
        HWND dialog = nullptr;
        if (!WaitFor([&]() { return (dialog = FindDialogOfProcess("Results")) != nullptr; }))
            return;
        HWND text = ::GetDlgItem(dialog, IDC_RESULTS_TEXT);
        seen.owner = ::GetWindow(dialog, GW_OWNER);
        ::SendMessageA(text, EM_GETSEL, reinterpret_cast<WPARAM>(&seen.selStart),
                       reinterpret_cast<LPARAM>(&seen.selEnd));
        GUITHREADINFO gui{};
        gui.cbSize = sizeof gui;
        ::GetGUIThreadInfo(::GetWindowThreadProcessId(dialog, nullptr), &gui);
        seen.focusOnText = gui.hwndFocus == text;
        seen.text = GetWindowTextOf(text);
        PressButton(dialog, IDCANCEL);
    });
    std::thread worker([&]() {
        ShowSnapshotResults(results);
        done = true;
    });
    EXPECT_TRUE(ServeUntil([&]() { return done.load(); }));
    reader.join();
    worker.join();
    return seen;
}

TEST(SnapshotResults, OwnedByTheProgressWindowWithNothingSelected)
{
    HWND main = MakeActivePopup(nullptr, "main");
    SetAppMainWindow(main);
    HWND progress = MakeActivePopup(main, "progress");
    ASSERT_EQ(::GetLastActivePopup(main), progress);

    Seen seen = ShowFromWorker("OPERATION SUCCESSFUL.\r\n\r\nFiles Found: 3");
    EXPECT_EQ(seen.owner, progress);
    EXPECT_EQ(seen.text, "OPERATION SUCCESSFUL.\r\n\r\nFiles Found: 3");
    EXPECT_EQ(seen.selStart, 0u);
    EXPECT_EQ(seen.selEnd, 0u);
    EXPECT_TRUE(seen.focusOnText);

    SetAppMainWindow(nullptr);
    ::DestroyWindow(progress);
    ::DestroyWindow(main);
}

TEST(SnapshotResults, WithoutAMainWindowItStillOpensAndCloses)
{
    SetAppMainWindow(nullptr);
    Seen seen = ShowFromWorker("text");
    EXPECT_EQ(seen.owner, nullptr);
    EXPECT_EQ(seen.text, "text");
}

}  // namespace
