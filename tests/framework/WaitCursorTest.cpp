// While the program is busy its windows, and the controls in them, keep the
// hourglass whenever the system asks which cursor to show; afterwards the
// class's own cursor is back.
#include "framework/WaitCursor.h"

#include "framework/Wnd.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <memory>

namespace {

class CPlainWindow : public CWnd {};

HCURSOR CursorAskedFor(HWND window)
{
    ::SetCursor(nullptr);
    ::SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return ::GetCursor();
}

TEST(WaitCursor, TheProgramsWindowsAndTheirControlsShowItWhileItLives)
{
    ASSERT_TRUE(CWnd::RegisterWndClass("CorvaneWaitCursorTest", 0, ::LoadCursorA(nullptr, IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)));
    CPlainWindow window;
    RECT at{0, 0, 200, 100};
    ASSERT_TRUE(window.CreateEx(0, "CorvaneWaitCursorTest", "busy", WS_POPUP | WS_VISIBLE, at, nullptr, 0));
    HWND control = ::CreateWindowExA(0, WC_TREEVIEWA, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 100, 50, window,
                                     nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(control, nullptr);
    const HCURSOR wait = ::LoadCursorA(nullptr, IDC_WAIT);
    const HCURSOR arrow = ::LoadCursorA(nullptr, IDC_ARROW);

    EXPECT_FALSE(IsWaitCursorShown());
    EXPECT_EQ(CursorAskedFor(window), arrow);
    {
        CWaitCursor busy;
        auto nested = std::make_unique<CWaitCursor>();
        nested.reset();  // the outer one still holds
        EXPECT_TRUE(IsWaitCursorShown());
        EXPECT_EQ(CursorAskedFor(window), wait);
        EXPECT_EQ(CursorAskedFor(control), wait);
    }
    EXPECT_FALSE(IsWaitCursorShown());
    EXPECT_EQ(CursorAskedFor(window), arrow);
    window.DestroyWindow();
}

}  // namespace
