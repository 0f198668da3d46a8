// Menus of the program's resources: loaded, their popups taken, and a popup
// tracked at a point until a key picks a command or leaves it.
#include "framework/Menu.h"
#include "res/resource.h"
#include "tests/framework/TestWindows.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr UINT_PTR kGiveUpTimer = 99;
// Posted after the menu: once it arrives, so has the command the menu posted.
constexpr UINT kFlush = WM_APP + 1;

// Receives the popup's command; ends a menu nobody answered, so a test
// fails instead of waiting for ever.
class COwner : public CWnd {
public:
    std::vector<UINT> commands;
    int flushes = 0;

    ~COwner() override { DestroyWindow(); }
    bool Create()
    {
        return RegisterWndClass("CorvaneTestMenuOwner", 0, ::LoadCursorA(nullptr, IDC_ARROW),
                                reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)) &&
               CreateEx(0, "CorvaneTestMenuOwner", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                        RECT{100, 100, 500, 400}, nullptr, 0);
    }

protected:
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override
    {
        switch (msg) {
        case WM_COMMAND:
            commands.push_back(LOWORD(w));
            return 0;
        case kFlush:
            ++flushes;
            return 0;
        case WM_TIMER:
            if (w == kGiveUpTimer) {
                KillTimer(kGiveUpTimer);
                ::EndMenu();
                return 0;
            }
            break;
        default:
            break;
        }
        return CWnd::WindowProc(msg, w, l);
    }
};

TEST(Menu, LoadsAMenuOfTheResourcesAndTakesItsPopups)
{
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_MAINFRAME));
    ASSERT_EQ(menu.GetItemCount(), 3);  // File, View, Help

    struct Case {
        int popup;
        std::vector<UINT> commands;
    };
    const Case cases[] = {
        {0, {UINT(-1), 0, ID_APP_EXIT}},  // Snap Shot (a popup), separator, Exit
        {1, {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}},
        {2, {ID_HELP_INDEX, 0, ID_APP_ABOUT}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.popup);
        CPopupMenu popup = menu.GetSubMenu(c.popup);
        ASSERT_NE(popup.Get(), nullptr);
        EXPECT_TRUE(::IsMenu(popup.Get()));
        std::vector<UINT> commands;
        for (int i = 0; i < popup.GetItemCount(); ++i)
            commands.push_back(popup.GetItemID(i));
        EXPECT_EQ(commands, c.commands);
    }
    CPopupMenu compare = menu.GetSubMenu(0).GetSubMenu(0).GetSubMenu(1);
    EXPECT_EQ(compare.GetItemID(0), static_cast<UINT>(ID_COMPARE_REGISTRY));
    EXPECT_EQ(menu.GetSubMenu(3).Get(), nullptr);
    EXPECT_FALSE(CMenu().LoadMenu(4711));
}

TEST(Menu, TheMenuGoesWithTheWrapperUnlessItWasHandedOver)
{
    HMENU destroyed;
    {
        CMenu menu;
        ASSERT_TRUE(menu.LoadMenu(IDR_MAINFRAME));
        destroyed = menu.Get();
        ASSERT_TRUE(::IsMenu(destroyed));
    }
    EXPECT_FALSE(::IsMenu(destroyed));

    HMENU kept;
    {
        CMenu menu;
        ASSERT_TRUE(menu.LoadMenu(IDR_REGISTRY_RESULTS));
        kept = menu.Detach();
        EXPECT_EQ(menu.Get(), nullptr);
    }
    EXPECT_TRUE(::IsMenu(kept));
    ::DestroyMenu(kept);
}

TEST(Menu, ATrackedPopupSendsThePickedCommandToItsOwner)
{
    struct Case {
        const char* name;
        std::vector<WPARAM> keys;
        std::vector<UINT> commands;
    };
    const Case cases[] = {
        {"first item", {VK_DOWN, VK_RETURN}, {ID_VIEW_TOOLBAR}},
        {"second item", {VK_DOWN, VK_DOWN, VK_RETURN}, {ID_VIEW_STATUS_BAR}},
        {"left", {VK_ESCAPE}, {}},
    };
    COwner owner;
    ASSERT_TRUE(owner.Create());
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_MAINFRAME));
    CPopupMenu view = menu.GetSubMenu(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        owner.commands.clear();
        // The menu's own loop reads these keys once it runs.
        for (WPARAM key : c.keys)
            owner.PostMessage(WM_KEYDOWN, key, 1);
        owner.SetTimer(kGiveUpTimer, 10000);
        BOOL result = view.TrackPopupMenu(POINT{200, 200}, owner.GetSafeHwnd());
        owner.KillTimer(kGiveUpTimer);
        int flushes = owner.flushes;
        owner.PostMessage(kFlush);
        ASSERT_TRUE(PumpUntil([&]() { return owner.flushes > flushes; }));
        EXPECT_EQ(owner.commands, c.commands);
        if (!c.commands.empty()) {
            EXPECT_NE(result, FALSE);
        }
    }
}

}  // namespace
