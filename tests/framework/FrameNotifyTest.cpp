// The frame answers its toolbar's tooltips and hot button on the same path as
// every other window, and a frame of the program that handles notifications
// of its own still gets them.
#include "framework/FrameWnd.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class CTestFrame : public CFrameWnd {
public:
    int doubleClicks = 0;

    std::string StatusText() const
    {
        char text[256] = "";
        ::SendMessageA(GetDlgItem(kIdStatusBar), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
        return text;
    }

protected:
    int OnCreate(CREATESTRUCTA*) override { return m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE, kIdStatusBar) ? 0 : -1; }
    bool OnNotify(NMHDR* header, LRESULT& result) override
    {
        if (header->code == NM_DBLCLK) {
            ++doubleClicks;
            result = 0;
            return true;
        }
        return CFrameWnd::OnNotify(header, result);
    }

private:
    CStatusBar m_wndStatusBar;
};

TEST(FrameNotify, TooltipsAndTheHotButtonAreAnsweredBesideTheProgramsOwnNotifications)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    CTestFrame frame;
    ASSERT_TRUE(frame.LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW));

    NMTTDISPINFOA ansi{};
    ansi.hdr.idFrom = ID_APP_ABOUT;
    ansi.hdr.code = TTN_GETDISPINFOA;
    EXPECT_EQ(frame.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&ansi)), 0);
    ASSERT_NE(ansi.lpszText, nullptr);
    EXPECT_STREQ(ansi.lpszText, "About");

    NMTTDISPINFOW wide{};
    wide.hdr.idFrom = ID_COMPARE_REGISTRY;
    wide.hdr.code = TTN_GETDISPINFOW;
    frame.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&wide));
    ASSERT_EQ(wide.lpszText, wide.szText);
    EXPECT_STREQ(wide.szText, L"Compare Registry");

    NMTBHOTITEM hot{};
    hot.hdr.code = TBN_HOTITEMCHANGE;
    hot.idNew = ID_SNAPSHOT_CREATE;
    frame.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&hot));
    EXPECT_EQ(frame.StatusText(), "Create a Snap Shot of Registry or File System.");
    hot.dwFlags = HICF_LEAVING;
    frame.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&hot));
    EXPECT_EQ(frame.StatusText(), "Ready");

    NMHDR click{nullptr, 0, static_cast<UINT>(NM_DBLCLK)};
    frame.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(frame.doubleClicks, 1);
}

}  // namespace
