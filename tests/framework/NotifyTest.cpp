// Notifications and context menu requests reach the handlers of both kinds of
// parent the results views sit in, a window and a dialog, through one path;
// a dialog's answer goes back to the sender through DWLP_MSGRESULT.
#include "framework/TreeCtrl.h"
#include "tests/framework/TestWindows.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT kTreeId = 4321;

class Notify : public ::testing::TestWithParam<ParentKind> {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES};
        ::InitCommonControlsEx(&controls);
        parent = MakeParent(GetParam(), seen);
        ASSERT_NE(parent, nullptr);
        ASSERT_TRUE(tree.Create(WS_VISIBLE | WS_BORDER | TVS_HASLINES | TVS_HASBUTTONS, RECT{0, 0, 200, 150},
                                parent.get(), kTreeId));
        first = tree.InsertItem("first", 0, 0, 11);
        second = tree.InsertItem("second", 0, 0, 22);
        ASSERT_NE(first, nullptr);
        ASSERT_NE(second, nullptr);
    }

    NMHDR FromTree(UINT code) const { return NMHDR{tree.GetSafeHwnd(), kTreeId, code}; }

    SeenByParent seen;
    std::unique_ptr<CWnd> parent;
    CTreeCtrl tree;
    HTREEITEM first = nullptr;
    HTREEITEM second = nullptr;
};

TEST_P(Notify, TheTreesSelectionChangeReachesTheParentsHandler)
{
    ASSERT_TRUE(tree.SelectItem(second));
    ASSERT_TRUE(seen.Saw(TVN_SELCHANGINGA));
    ASSERT_TRUE(seen.Saw(TVN_SELCHANGEDA));
    EXPECT_EQ(seen.selected, second);
    EXPECT_EQ(seen.selectedData, 22);
    EXPECT_EQ(seen.from, tree.GetSafeHwnd());
    EXPECT_EQ(seen.id, kTreeId);
    EXPECT_EQ(tree.GetSelectedItem(), second);
}

TEST_P(Notify, AVetoOfTheParentKeepsTheSelection)
{
    ASSERT_TRUE(tree.SelectItem(first));
    seen = SeenByParent{};
    seen.vetoSelectionChange = true;
    tree.SelectItem(second);
    EXPECT_TRUE(seen.Saw(TVN_SELCHANGINGA));
    EXPECT_FALSE(seen.Saw(TVN_SELCHANGEDA));
    EXPECT_EQ(tree.GetSelectedItem(), first);
}

TEST_P(Notify, TheSenderGetsTheParentsAnswer)
{
    struct Case {
        UINT code;
        LRESULT answer;
    };
    const Case cases[] = {
        {NM_DBLCLK, kDoubleClickAnswer},
        {NM_RCLICK, TRUE},
        {NM_RETURN, 0},  // not handled
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        seen.codes.clear();
        NMHDR header = FromTree(c.code);
        EXPECT_EQ(parent->SendMessage(WM_NOTIFY, kTreeId, reinterpret_cast<LPARAM>(&header)), c.answer);
        ASSERT_EQ(seen.codes.size(), 1u);
        EXPECT_EQ(seen.codes[0], c.code);
    }
}

TEST_P(Notify, AContextMenuRequestReachesTheParentWithItsScreenPoint)
{
    struct Case {
        const char* name;
        LPARAM position;
        POINT expected;
    };
    const Case cases[] = {
        {"mouse", MAKELPARAM(300, 200), POINT{300, 200}},
        {"mouse on a monitor left of and above the primary one", MAKELPARAM(-5, -7), POINT{-5, -7}},
        {"keyboard", -1, POINT{-1, -1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Sent to the parent, and to the tree, whose default passes it up.
        for (HWND target : {parent->GetSafeHwnd(), tree.GetSafeHwnd()}) {
            seen.menuWindows.clear();
            seen.menuPoints.clear();
            ::SendMessageA(target, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tree.GetSafeHwnd()), c.position);
            ASSERT_EQ(seen.menuWindows.size(), 1u);
            EXPECT_EQ(seen.menuWindows[0], tree.GetSafeHwnd());
            EXPECT_EQ(seen.menuPoints[0].x, c.expected.x);
            EXPECT_EQ(seen.menuPoints[0].y, c.expected.y);
        }
    }
}

TEST_P(Notify, AnOverrideOfTheProcedureKeepsItsOwnMessagesAndTheBaseClassesHandlers)
{
    parent->SendMessage(kOtherMessage);
    EXPECT_EQ(seen.otherMessages, 1);
    NMHDR header = FromTree(NM_DBLCLK);
    EXPECT_EQ(parent->SendMessage(WM_NOTIFY, kTreeId, reinterpret_cast<LPARAM>(&header)), kDoubleClickAnswer);
    EXPECT_EQ(seen.otherMessages, 1);
}

INSTANTIATE_TEST_SUITE_P(Parents, Notify, ::testing::Values(ParentKind::Window, ParentKind::Dialog),
                         [](const ::testing::TestParamInfo<ParentKind>& info) { return ParentName(info.param); });

}  // namespace
