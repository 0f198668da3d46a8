// A modeless dialog (a viewer) gets the dialog keyboard from the program's
// pumps: Enter and Escape reach its OnOK and OnCancel, Tab moves the focus.
// Modal dialogs keep it from their own loop.
#include "framework/WinApp.h"
#include "res/resource.h"
#include "tests/framework/TestWindows.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// The About box's template: OK first in the tab order, then the licence text.
class CViewerDlg : public CDialog {
public:
    CViewerDlg() : CDialog(IDD_ABOUTBOX) {}
    int oks = 0;
    int cancels = 0;

protected:
    void OnOK() override { ++oks; }
    void OnCancel() override { ++cancels; }
};

class CModalDlg : public CDialog {
public:
    CModalDlg() : CDialog(IDD_ABOUTBOX) {}
    bool initialised = false;
    CDialog* recognised = nullptr;

protected:
    BOOL OnInitDialog() override
    {
        initialised = true;
        recognised = FromModelessHandle(m_hWnd);
        EndDialog(IDCANCEL);
        return TRUE;
    }
};

INT_PTR CALLBACK OtherDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// Runs a pump until the quit message; returns the quit message's code.
struct Pump {
    const char* name;
    std::function<int()> run;
};

class ModelessDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(viewer.CreateModeless(nullptr));
        viewer.ShowWindow(SW_SHOW);
        viewer.SetForegroundWindow();
        ok = viewer.GetDlgItem(IDOK);
        ASSERT_NE(ok, nullptr);
        ::SetFocus(ok);
        ASSERT_TRUE(PumpUntil([&]() { return ::GetFocus() == ok; }));
    }

    CViewerDlg viewer;
    HWND ok = nullptr;
};

TEST_F(ModelessDialog, EnterEscapeAndTabPostedToTheFocusedControlAreTheDialogsKeys)
{
    const Pump pumps[] = {
        {"AppPumpMessage without an application", []() {
             int code = -1;
             while (AppPumpMessage(code)) {
             }
             return code;
         }},
        {"AppPumpMessage of the application", []() {
             CWinApp app;
             int code = -1;
             while (AppPumpMessage(code)) {
             }
             return code;
         }},
        {"CWinApp::PumpMessage", []() {
             CWinApp app;
             while (app.PumpMessage()) {
             }
             return app.ExitCode();
         }},
        {"CWinApp::Run", []() { return CWinApp().Run(); }},
    };
    SeenByParent seen;
    std::unique_ptr<CWnd> window = MakeParent(ParentKind::Window, seen);
    ASSERT_NE(window, nullptr);
    int code = 40;
    for (const Pump& pump : pumps) {
        SCOPED_TRACE(pump.name);
        viewer.oks = viewer.cancels = seen.otherMessages = 0;
        ::SetFocus(ok);
        ASSERT_EQ(::GetFocus(), ok);
        for (WPARAM key : {VK_RETURN, VK_ESCAPE, VK_TAB})
            ::PostMessageA(ok, WM_KEYDOWN, key, 1);
        // Other windows' messages still reach them.
        window->PostMessage(kOtherMessage);
        ::PostQuitMessage(++code);
        EXPECT_EQ(pump.run(), code);
        EXPECT_EQ(viewer.oks, 1);
        EXPECT_EQ(viewer.cancels, 1);
        EXPECT_EQ(::GetFocus(), viewer.GetDlgItem(IDC_ABOUT_LICENCE));
        EXPECT_EQ(seen.otherMessages, 1);
        EXPECT_TRUE(viewer.IsWindow());
    }
}

TEST_F(ModelessDialog, OnlyOurModelessDialogsAreRecognised)
{
    HWND other = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUTBOX), nullptr,
                                      OtherDialogProc, 0);
    ASSERT_NE(other, nullptr);
    SeenByParent seen;
    std::unique_ptr<CWnd> window = MakeParent(ParentKind::Window, seen);
    ASSERT_NE(window, nullptr);
    struct Case {
        const char* name;
        HWND h;
        CDialog* expected;
    };
    const Case cases[] = {
        {"our modeless dialog", viewer.GetSafeHwnd(), &viewer},
        {"a control of it", ok, nullptr},
        {"a dialog of another procedure", other, nullptr},
        {"a window", window->GetSafeHwnd(), nullptr},
        {"no window", nullptr, nullptr},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CDialog::FromModelessHandle(c.h), c.expected) << c.name;
    ::DestroyWindow(other);

    CModalDlg modal;
    EXPECT_EQ(modal.DoModal(), IDCANCEL);
    EXPECT_TRUE(modal.initialised);
    EXPECT_EQ(modal.recognised, nullptr);
}

}  // namespace
