// The main frame's toolbar dragged by its gripper as a person drags it (the
// button pressed on the gripper, the pointer moved, the button released),
// docked on each edge and floating: where the bar ends up, the room the host
// gets beside it, the bar's buttons and prompts there, View > Toolbar, and
// the floating window's caption and close box.
#include "app/MainFrame.h"

#include "framework/DockBar.h"
#include "res/resource.h"
#include "tests/app/FrameFixture.h"
#include "tests/support/MessageLoop.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

class CRecordingFrame : public CMainFrame {
public:
    std::vector<std::string> pages;

protected:
    void OpenWebPage(const char* url) override { pages.push_back(url); }
};

// A rectangle of a window in the frame's client coordinates.
RECT InFrame(HWND frame, HWND window)
{
    RECT r;
    ::GetWindowRect(window, &r);
    ::MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string Text(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

LPARAM At(HWND window, POINT screen)
{
    ::ScreenToClient(window, &screen);
    return MAKELPARAM(screen.x, screen.y);
}

std::string StatusText(HWND frame)
{
    char text[256] = "";
    ::SendMessageA(::GetDlgItem(frame, ID_VIEW_STATUS_BAR), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    return text;
}

class ToolBarDocking : public CFrameFixture<CRecordingFrame> {
protected:
    void SetUp() override
    {
        CFrameFixture::SetUp();
        h = frame.GetSafeHwnd();
        frame.SetWindowPos(nullptr, 20, 20, 800, 600, SWP_NOZORDER);
        ServePending();
        strip = ::GetDlgItem(h, ID_VIEW_TOOLBAR);
        host = ::GetDlgItem(h, 59648);
        status = ::GetDlgItem(h, ID_VIEW_STATUS_BAR);
        toolBar = ::GetDlgItem(strip, ID_VIEW_TOOLBAR);
        docking = frame.GetDocking();
        ASSERT_TRUE(strip && host && status && toolBar && docking);
    }

    // The frame's client area above the status bar.
    RECT Room() const
    {
        RECT client;
        ::GetClientRect(h, &client);
        client.bottom = InFrame(h, status).top;
        return client;
    }
    POINT ScreenOf(POINT clientPoint) const
    {
        ::ClientToScreen(h, &clientPoint);
        return clientPoint;
    }
    // Presses the button at `from` on `window`'s gripper (or its caption when
    // `caption`), moves through the middle of the frame to `to` and releases
    // the button or presses `stop` there; both points on the screen.
    void Drag(HWND window, POINT from, POINT to, bool caption = false, UINT stop = WM_LBUTTONUP)
    {
        if (caption)
            ::PostMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(from.x, from.y));
        else
            ::PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, At(window, from));
        POINT middle = ScreenOf(POINT{400, 250});
        ::PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, At(window, middle));
        ::PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, At(window, to));
        if (stop == WM_KEYDOWN)
            ::PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
        else
            ::PostMessageA(window, stop, 0, At(window, to));
        ServePending();
    }
    POINT GripperPoint() const
    {
        POINT p{4, 6};
        ::ClientToScreen(strip, &p);
        return p;
    }
    // Clicks a toolbar button as the mouse does, wherever the bar is.
    void ClickButton(int index)
    {
        RECT r;
        ASSERT_TRUE(::SendMessageA(toolBar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)));
        LPARAM centre = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        ::PostMessageA(toolBar, WM_LBUTTONDOWN, MK_LBUTTON, centre);
        ::PostMessageA(toolBar, WM_LBUTTONUP, 0, centre);
        ServePending();
    }
    // The tooltip of a button, as the bar's tooltip window finds it.
    std::string TipOf(UINT command)
    {
        HWND tips = reinterpret_cast<HWND>(::SendMessageA(toolBar, TB_GETTOOLTIPS, 0, 0));
        wchar_t text[128] = L"";
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = toolBar;
        tool.uId = command;
        tool.lpszText = text;
        ::SendMessageW(tips, TTM_GETTEXTW, ARRAYSIZE(text), reinterpret_cast<LPARAM>(&tool));
        char narrow[128] = "";
        ::WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
        return narrow;
    }
    bool ToolbarChecked()
    {
        HMENU view = ::GetSubMenu(::GetMenu(h), 1);
        frame.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 1);
        return (::GetMenuState(view, ID_VIEW_TOOLBAR, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }

    HWND h = nullptr, strip = nullptr, host = nullptr, status = nullptr, toolBar = nullptr;
    CToolBarDocking* docking = nullptr;
};

struct EdgeCase {
    const char* name;
    DockSide side;
    // Where the button is released, from the room's left or right edge and
    // from its top or bottom.
    int x, y;
    bool fromRight, fromBottom;
};

class ToolBarOnAnEdge : public ToolBarDocking, public ::testing::WithParamInterface<EdgeCase> {};

TEST_P(ToolBarOnAnEdge, DocksThereAndTheHostTakesTheRestWithTheButtonsWorking)
{
    const EdgeCase& c = GetParam();
    RECT room = Room();
    POINT drop{c.fromRight ? room.right - c.x : c.x, c.fromBottom ? room.bottom - c.y : c.y};
    if (c.side == DockSide::Top) {
        // From another edge back to the top.
        Drag(strip, GripperPoint(), ScreenOf(POINT{room.right - 3, 300}));
        ASSERT_EQ(docking->Side(), DockSide::Right);
    }
    Drag(strip, GripperPoint(), ScreenOf(drop));
    ASSERT_EQ(docking->Side(), c.side);
    EXPECT_TRUE(::IsWindowVisible(strip));
    EXPECT_FALSE(::IsWindowVisible(docking->FloatingWindow()));
    EXPECT_EQ(::GetParent(toolBar), strip);

    bool vertical = c.side == DockSide::Left || c.side == DockSide::Right;
    CToolBar bar;
    bar.Attach(toolBar);
    SIZE size = bar.GetLayoutSize();
    // A column of the five buttons and two separators, or a row of them.
    RECT first, last;
    ::SendMessageA(toolBar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    ::SendMessageA(toolBar, TB_GETITEMRECT, 6, reinterpret_cast<LPARAM>(&last));
    if (vertical) {
        EXPECT_EQ(first.left, last.left);
        EXPECT_GT(last.top, first.top + 4 * (first.bottom - first.top));
    } else {
        EXPECT_EQ(first.top, last.top);
        EXPECT_GT(last.left, first.left + 4 * (first.right - first.left));
    }

    int thickness = (vertical ? size.cx : size.cy) + 2 * CToolBarDocking::kBorder;
    RECT expectedStrip = room, expectedHost = room;
    switch (c.side) {
    case DockSide::Top: expectedStrip.bottom = expectedHost.top = room.top + thickness; break;
    case DockSide::Bottom: expectedStrip.top = expectedHost.bottom = room.bottom - thickness; break;
    case DockSide::Left: expectedStrip.right = expectedHost.left = room.left + thickness; break;
    default: expectedStrip.left = expectedHost.right = room.right - thickness; break;
    }
    EXPECT_EQ(Text(InFrame(h, strip)), Text(expectedStrip));
    EXPECT_EQ(Text(InFrame(h, host)), Text(expectedHost));
    // The status bar stays the frame's bottom line.
    RECT client;
    ::GetClientRect(h, &client);
    EXPECT_EQ(InFrame(h, status).bottom, client.bottom);

    // Resized, the frame keeps the bar on its edge and the host beside it.
    frame.SetWindowPos(nullptr, 0, 0, 640, 480, SWP_NOZORDER | SWP_NOMOVE);
    ServePending();
    RECT smaller = Room();
    RECT hostNow = InFrame(h, host), stripNow = InFrame(h, strip);
    switch (c.side) {
    case DockSide::Top:
        EXPECT_EQ(Text(stripNow), Text(RECT{0, 0, smaller.right, thickness}));
        EXPECT_EQ(Text(hostNow), Text(RECT{0, thickness, smaller.right, smaller.bottom}));
        break;
    case DockSide::Bottom:
        EXPECT_EQ(Text(stripNow), Text(RECT{0, smaller.bottom - thickness, smaller.right, smaller.bottom}));
        EXPECT_EQ(Text(hostNow), Text(RECT{0, 0, smaller.right, smaller.bottom - thickness}));
        break;
    case DockSide::Left:
        EXPECT_EQ(Text(stripNow), Text(RECT{0, 0, thickness, smaller.bottom}));
        EXPECT_EQ(Text(hostNow), Text(RECT{thickness, 0, smaller.right, smaller.bottom}));
        break;
    default:
        EXPECT_EQ(Text(stripNow), Text(RECT{smaller.right - thickness, 0, smaller.right, smaller.bottom}));
        EXPECT_EQ(Text(hostNow), Text(RECT{0, 0, smaller.right - thickness, smaller.bottom}));
        break;
    }

    // The Help button opens the help page from here, and pointing at a
    // button shows its prompt in the status bar.
    ClickButton(5);
    EXPECT_EQ(frame.pages, (std::vector<std::string>{kHelpPage}));
    ::SendMessageA(toolBar, TB_SETHOTITEM, 2, 0);
    EXPECT_EQ(StatusText(h), "Compare two Registry snap shots.");
    ::SendMessageA(toolBar, TB_SETHOTITEM, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(TipOf(ID_COMPARE_FILESYSTEM), "Compare File System");

    // View > Toolbar hides the bar on its edge, the host takes its room, and
    // brings it back there.
    frame.SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR);
    EXPECT_FALSE(::IsWindowVisible(strip));
    EXPECT_FALSE(ToolbarChecked());
    EXPECT_EQ(Text(InFrame(h, host)), Text(smaller));
    frame.SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR);
    EXPECT_TRUE(ToolbarChecked());
    EXPECT_EQ(docking->Side(), c.side);
    EXPECT_EQ(Text(InFrame(h, host)), Text(hostNow));
}

INSTANTIATE_TEST_SUITE_P(Edges, ToolBarOnAnEdge,
                         ::testing::Values(EdgeCase{"top", DockSide::Top, 300, 5, false, false},
                                           EdgeCase{"bottom", DockSide::Bottom, 300, 5, false, true},
                                           EdgeCase{"left", DockSide::Left, 5, 300, false, false},
                                           EdgeCase{"right", DockSide::Right, 5, 300, true, false},
                                           // A little outside the frame still docks.
                                           EdgeCase{"leftFromOutside", DockSide::Left, -10, 200, false, false},
                                           EdgeCase{"bottomFromOutside", DockSide::Bottom, 300, -12, false,
                                                    true}),
                         [](const ::testing::TestParamInfo<EdgeCase>& test) { return std::string(test.param.name); });

TEST_F(ToolBarDocking, FloatsInItsOwnToolWindowAndDocksBackWhereItWasOnADoubleClick)
{
    RECT room = Room();
    Drag(strip, GripperPoint(), ScreenOf(POINT{5, 300}));
    ASSERT_EQ(docking->Side(), DockSide::Left);

    // Released over the middle of the host: floating, with the pointer where
    // it took hold of the gripper.
    POINT grab = GripperPoint();
    RECT stripOnScreen;
    ::GetWindowRect(strip, &stripOnScreen);
    POINT drop = ScreenOf(POINT{350, 260});
    Drag(strip, grab, drop);
    ASSERT_EQ(docking->Side(), DockSide::Floating);
    HWND floating = docking->FloatingWindow();
    EXPECT_TRUE(::IsWindowVisible(floating));
    EXPECT_FALSE(::IsWindowVisible(strip));
    EXPECT_EQ(::GetParent(toolBar), floating);
    EXPECT_EQ(::GetWindow(floating, GW_OWNER), h);
    EXPECT_EQ(GetWindowTextOf(floating), "Toolbar");
    EXPECT_TRUE(::GetWindowLongA(floating, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    RECT f;
    ::GetWindowRect(floating, &f);
    EXPECT_EQ(f.left, drop.x - (grab.x - stripOnScreen.left));
    EXPECT_EQ(f.top, drop.y - (grab.y - stripOnScreen.top));
    // The whole bar fits in the window, in one row.
    RECT inside, bar;
    ::GetClientRect(floating, &inside);
    ::GetWindowRect(toolBar, &bar);
    ::MapWindowPoints(nullptr, floating, reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_TRUE(bar.left >= 0 && bar.top >= 0 && bar.right <= inside.right && bar.bottom <= inside.bottom)
        << Text(bar) << " in " << Text(inside);
    EXPECT_LT(bar.bottom - bar.top, bar.right - bar.left);
    // The host has the whole room; the buttons and prompts still work.
    EXPECT_EQ(Text(InFrame(h, host)), Text(room));
    ClickButton(5);
    EXPECT_EQ(frame.pages.size(), 1u);
    ::SendMessageA(toolBar, TB_SETHOTITEM, 0, 0);
    EXPECT_EQ(StatusText(h), "Create a Snap Shot of Registry or File System.");
    ::SendMessageA(toolBar, TB_SETHOTITEM, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(TipOf(ID_APP_ABOUT), "About");

    // View > Toolbar hides and shows the floating window in its place.
    frame.SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR);
    EXPECT_FALSE(::IsWindowVisible(floating));
    EXPECT_FALSE(ToolbarChecked());
    EXPECT_EQ(Text(InFrame(h, host)), Text(room));
    frame.SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR);
    EXPECT_TRUE(::IsWindowVisible(floating));
    EXPECT_TRUE(ToolbarChecked());
    RECT again;
    ::GetWindowRect(floating, &again);
    EXPECT_EQ(Text(again), Text(f));

    // Its close box hides the bar; View > Toolbar brings it back floating.
    ::SendMessageA(floating, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(::IsWindowVisible(floating));
    EXPECT_FALSE(ToolbarChecked());
    frame.SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR);
    EXPECT_TRUE(::IsWindowVisible(floating));
    EXPECT_EQ(docking->Side(), DockSide::Floating);

    // A double-click on its caption docks it where it was docked last.
    ::PostMessageA(floating, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(f.left + 10, f.top + 5));
    ServePending();
    EXPECT_EQ(docking->Side(), DockSide::Left);
    EXPECT_FALSE(::IsWindowVisible(floating));
    EXPECT_TRUE(::IsWindowVisible(strip));
    EXPECT_EQ(::GetParent(toolBar), strip);
    EXPECT_EQ(InFrame(h, host).left, InFrame(h, strip).right);

    // A double-click on the gripper floats it where it floated before.
    ::PostMessageA(strip, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(4, 4));
    ServePending();
    EXPECT_EQ(docking->Side(), DockSide::Floating);
    ::GetWindowRect(floating, &again);
    EXPECT_EQ(Text(again), Text(f));

    // Dragged by its caption to the bottom edge, it docks there.
    Drag(floating, POINT{f.left + 20, f.top + 5}, ScreenOf(POINT{300, room.bottom - 4}), true);
    EXPECT_EQ(docking->Side(), DockSide::Bottom);
    EXPECT_EQ(InFrame(h, strip).bottom, room.bottom);
}

TEST_F(ToolBarDocking, APressWithoutMovingAndACancelledDragLeaveTheBarWhereItIs)
{
    RECT stripBefore = InFrame(h, strip), hostBefore = InFrame(h, host);
    ::PostMessageA(strip, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 6));
    ::PostMessageA(strip, WM_LBUTTONUP, 0, MAKELPARAM(5, 6));
    ServePending();
    EXPECT_EQ(docking->Side(), DockSide::Top);
    // Escape or the right button during the drag.
    Drag(strip, GripperPoint(), ScreenOf(POINT{5, 300}), false, WM_KEYDOWN);
    EXPECT_EQ(docking->Side(), DockSide::Top);
    Drag(strip, GripperPoint(), ScreenOf(POINT{5, 300}), false, WM_RBUTTONDOWN);
    EXPECT_EQ(docking->Side(), DockSide::Top);
    // A press on the bar beside the gripper is no drag.
    ::PostMessageA(strip, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(CToolBarDocking::kGripperSize + 300, 6));
    ::PostMessageA(strip, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 300));
    ::PostMessageA(strip, WM_LBUTTONUP, 0, MAKELPARAM(5, 300));
    ServePending();
    EXPECT_EQ(docking->Side(), DockSide::Top);
    EXPECT_EQ(Text(InFrame(h, strip)), Text(stripBefore));
    EXPECT_EQ(Text(InFrame(h, host)), Text(hostBefore));
    EXPECT_EQ(::GetCapture(), nullptr);
}

}  // namespace
