// A modeless dialog (a viewer) gets the dialog keyboard from the program's
// pumps: Enter and Escape reach its OnOK and OnCancel, Tab moves the focus.
// Modal dialogs and other windows are not taken for one.
#include "framework/Dialog.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "tests/support/MessageLoop.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

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

// A hidden window of another kind, which does not take the focus.
HWND MakeOtherWindow()
{
    return ::CreateWindowExA(0, "STATIC", "Other", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                             nullptr);
}

class ModelessDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(viewer.CreateModeless(nullptr));
        viewer.ShowWindow(SW_SHOW);
        viewer.SetForegroundWindow();
        ok = viewer.GetDlgItem(IDOK);
        ASSERT_NE(ok, nullptr);
    }

    CViewerDlg viewer;
    HWND ok = nullptr;
};

TEST_F(ModelessDialog, EnterEscapeAndTabPostedToTheFocusedControlAreTheDialogsKeys)
{
    // Each serves messages until the quit message and returns its code.
    const std::pair<const char*, std::function<int()>> pumps[] = {
        {"AppPumpMessage", []() { int code = -1; while (AppPumpMessage(code)) {} return code; }},
        {"CWinApp::Run", []() { return CWinApp().Run(); }},
    };
    int code = 40;
    for (const auto& [name, pump] : pumps) {
        SCOPED_TRACE(name);
        viewer.oks = viewer.cancels = 0;
        ::SetFocus(ok);
        ASSERT_TRUE(ServeUntil([&]() { return ::GetFocus() == ok; }));
        for (WPARAM key : {VK_RETURN, VK_ESCAPE, VK_TAB})
            ::PostMessageA(ok, WM_KEYDOWN, key, 1);
        // Another window's messages still reach it: its WM_CLOSE destroys it.
        HWND other = MakeOtherWindow();
        ASSERT_NE(other, nullptr);
        ::PostMessageA(other, WM_CLOSE, 0, 0);
        ::PostQuitMessage(++code);
        EXPECT_EQ(pump(), code);
        EXPECT_EQ(viewer.oks, 1);
        EXPECT_EQ(viewer.cancels, 1);
        EXPECT_EQ(::GetFocus(), viewer.GetDlgItem(IDC_ABOUT_LICENCE));
        EXPECT_FALSE(::IsWindow(other));
    }
}

// Asks, while it runs, whether it is taken for a modeless dialog.
class CModalDlg : public CDialog {
public:
    CModalDlg() : CDialog(IDD_ABOUTBOX) {}
    bool asked = false;
    CDialog* taken = nullptr;

protected:
    BOOL OnInitDialog() override
    {
        asked = true;
        taken = FromModelessHandle(m_hWnd);
        EndDialog(IDCANCEL);
        return TRUE;
    }
};

INT_PTR CALLBACK OtherDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

TEST_F(ModelessDialog, OnlyOurModelessDialogsAreTakenForOne)
{
    HWND other = MakeOtherWindow();
    HWND otherDialog = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUTBOX), nullptr,
                                            OtherDialogProc, 0);
    ASSERT_TRUE(other && otherDialog);
    // The other procedure keeps a pointer of its own where ours keep theirs.
    ::SetWindowLongPtrA(otherDialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&viewer));
    EXPECT_EQ(CDialog::FromModelessHandle(viewer.GetSafeHwnd()), &viewer);
    for (HWND h : {ok, otherDialog, other})  // a control of ours, a dialog of another procedure, a window
        EXPECT_EQ(CDialog::FromModelessHandle(h), nullptr);
    ::DestroyWindow(otherDialog);
    ::DestroyWindow(other);

    CModalDlg modal;
    EXPECT_EQ(modal.DoModal(), IDCANCEL);
    EXPECT_TRUE(modal.asked);
    EXPECT_EQ(modal.taken, nullptr);
}

}  // namespace
