#include "snapshot/ResultsDlg.h"

#include "tests/support/DialogDriver.h"

#include <gtest/gtest.h>

namespace {

TEST(ResultsDlg, ShowsTheTextReadOnlyAndClosesWithClose)
{
    CResultsDlg dialog;
    dialog.m_strResults = "OPERATION SUCCESSFUL.\r\n\r\nline two";
    CDialogDriver driver;
    driver.Answer("Results", IDCANCEL);
    INT_PTR result = dialog.DoModal();
    const auto& seen = driver.Join();
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_EQ(seen.size(), 1u);
    ASSERT_EQ(seen[0].edits.size(), 1u);
    EXPECT_EQ(seen[0].edits[0], "OPERATION SUCCESSFUL.\r\n\r\nline two");
    ASSERT_EQ(seen[0].buttons.size(), 1u);
    EXPECT_EQ(seen[0].buttons[0], "Close");
}

TEST(ResultsDlg, TheTextBoxIsReadOnlyWithBothScrollBars)
{
    CResultsDlg dialog;
    dialog.m_strResults = std::string(5000, 'x');
    LONG style = 0;
    std::thread reader([&]() {
        for (int i = 0; i < 500; ++i) {
            HWND h = FindDialogOfProcess("Results");
            if (h) {
                ::Sleep(50);
                style = ::GetWindowLongA(::GetDlgItem(h, 1002), GWL_STYLE);
                PressButton(h, IDCANCEL);
                return;
            }
            ::Sleep(20);
        }
    });
    dialog.DoModal();
    reader.join();
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_TRUE(style & WS_VSCROLL);
    EXPECT_TRUE(style & WS_HSCROLL);
}

}  // namespace
