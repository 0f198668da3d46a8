// Menus of the program's resources: loaded, their popups taken, and the menu
// destroyed with its wrapper unless it was handed over.
#include "framework/Menu.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

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
        CPopupMenu popup = menu.GetSubMenu(c.popup);
        ASSERT_TRUE(::IsMenu(popup.Get())) << c.popup;
        std::vector<UINT> commands;
        for (int i = 0; i < popup.GetItemCount(); ++i)
            commands.push_back(popup.GetItemID(i));
        EXPECT_EQ(commands, c.commands) << c.popup;
    }
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

}  // namespace
