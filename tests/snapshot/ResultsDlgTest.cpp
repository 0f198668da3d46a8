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
    bool found = false;
    std::thread reader([&]() {
        HWND h = WaitForDialog("Results");
        found = h != nullptr;
        if (h) {
            style = ::GetWindowLongA(::GetDlgItem(h, 1002), GWL_STYLE);
            PressButton(h, IDCANCEL);
        }
    });
    dialog.DoModal();
    reader.join();
    ASSERT_TRUE(found);
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_TRUE(style & WS_VSCROLL);
    EXPECT_TRUE(style & WS_HSCROLL);
}

}  // namespace
