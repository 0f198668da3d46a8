// The application-wide message box: caption "Corvane" (string 57344), owned by
// the window the user last worked in, also when a worker thread shows it.
#include "framework/AppMessageBox.h"

#include "tests/support/DialogDriver.h"
#include "tests/support/TestWindows.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// Shows a box from a worker thread while this thread serves its messages;
// returns the box's owner and text.
void ShowFromWorker(HWND& owner, std::string& text, int& answer)
{
    std::atomic<bool> done{false};
    std::thread reader([&]() {
        for (int i = 0; i < 500 && !FindDialogOfProcess("Corvane"); ++i)
            ::Sleep(20);
        HWND box = FindDialogOfProcess("Corvane");
        if (box) {
            owner = ::GetWindow(box, GW_OWNER);
            text = ReadDialog(box).MessageText();
            PressButton(box, IDNO);
        }
    });
    std::thread worker([&]() {
        answer = AppMessageBox("Continue?", MB_YESNO | MB_ICONQUESTION);
        done = true;
    });
    while (!done) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&msg);
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    worker.join();
    reader.join();
}

TEST(AppMessageBox, CarriesTheApplicationNameAndIsOwnedByTheLastActiveWindow)
{
    EXPECT_EQ(AppName(), "Corvane");
    HWND main = MakeActivePopup(nullptr, "main");
    SetAppMainWindow(main);

    HWND owner = nullptr;
    std::string text;
    int answer = -1;
    ShowFromWorker(owner, text, answer);
    EXPECT_EQ(owner, main);
    EXPECT_EQ(text, "Continue?");
    EXPECT_EQ(answer, IDNO);

    // With a window shown on top of the main window (the progress window), the
    // box belongs to that one, so closing it brings that window back.
    HWND progress = MakeActivePopup(main, "progress");
    ASSERT_EQ(::GetLastActivePopup(main), progress);
    owner = nullptr;
    ShowFromWorker(owner, text, answer);
    EXPECT_EQ(owner, progress);

    SetAppMainWindow(nullptr);
    ::DestroyWindow(progress);
    ::DestroyWindow(main);
}

}  // namespace
