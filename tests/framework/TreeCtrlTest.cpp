// The tree wrapper keeps items where they were put, hands back their data,
// walks them, moves the caret and expands, in a real tree control.
#include "framework/ImageList.h"
#include "framework/TreeCtrl.h"
#include "tests/framework/TestWindows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT kTreeId = 77;

// Where each item goes: under the root or an earlier item, after the first
// or last place or an earlier item. Items are numbered by row.
constexpr int kRoot = -1;
constexpr int kFirst = -2;
constexpr int kLast = -1;
struct Insert {
    const char* text;
    LPARAM data;
    int parent;
    int after;
};
const Insert kInserts[] = {
    {"b", 2, kRoot, kLast},   // 0
    {"a", 1, kRoot, kLast},   // 1
    {"c", 3, kRoot, kFirst},  // 2
    {"d", 4, kRoot, 0},       // 3: after b
    {"y", 26, 0, kLast},      // 4
    {"x", 25, 0, kFirst},     // 5
    {"z", 27, 0, 5},          // 6: after x
};
constexpr int kB = 0, kD = 3, kX = 5;

class TreeCtrl : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES};
        ::InitCommonControlsEx(&controls);
        parent = MakeParent(ParentKind::Window, seen);
        ASSERT_NE(parent, nullptr);
        ASSERT_TRUE(tree.Create(WS_VISIBLE | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT,
                                RECT{10, 10, 210, 210}, parent.get(), kTreeId));
        for (const Insert& insert : kInserts) {
            HTREEITEM under = insert.parent == kRoot ? TVI_ROOT : items[insert.parent];
            HTREEITEM after = insert.after == kFirst  ? TVI_FIRST
                              : insert.after == kLast ? TVI_LAST
                                                      : items[insert.after];
            int image = static_cast<int>(insert.data % 3);
            items.push_back(tree.InsertItem(insert.text, image, image + 1, insert.data, under, after));
            ASSERT_NE(items.back(), nullptr) << insert.text;
        }
    }

    // "text=data" of every item, depth first, children in brackets.
    std::string Walk(HTREEITEM first) const
    {
        std::string out;
        for (HTREEITEM item = first; item; item = tree.GetNextSiblingItem(item)) {
            if (!out.empty())
                out += ' ';
            out += tree.GetItemText(item) + '=' + std::to_string(tree.GetItemData(item));
            if (HTREEITEM child = tree.GetChildItem(item))
                out += '[' + Walk(child) + ']';
        }
        return out;
    }

    SeenByParent seen;
    std::unique_ptr<CWnd> parent;
    CTreeCtrl tree;
    std::vector<HTREEITEM> items;
};

TEST_F(TreeCtrl, IsAChildTreeControlOfItsParent)
{
    char name[64] = "";
    ::GetClassNameA(tree.GetSafeHwnd(), name, sizeof name);
    EXPECT_STREQ(name, WC_TREEVIEWA);
    EXPECT_EQ(::GetParent(tree.GetSafeHwnd()), parent->GetSafeHwnd());
    EXPECT_EQ(::GetDlgCtrlID(tree.GetSafeHwnd()), static_cast<int>(kTreeId));
    LONG style = ::GetWindowLongA(tree.GetSafeHwnd(), GWL_STYLE);
    EXPECT_EQ(style & (WS_CHILD | TVS_HASLINES | TVS_LINESATROOT), WS_CHILD | TVS_HASLINES | TVS_LINESATROOT);
}

TEST_F(TreeCtrl, KeepsTheOrderItemsWereInsertedInWithTheirData)
{
    EXPECT_EQ(Walk(tree.GetRootItem()), "c=3 b=2[x=25 z=27 y=26] d=4 a=1");
    EXPECT_EQ(tree.GetCount(), 7u);
    EXPECT_EQ(tree.GetRootItem(), items[2]);
    EXPECT_EQ(tree.GetParentItem(items[kX]), items[kB]);
    EXPECT_EQ(tree.GetParentItem(items[kB]), nullptr);
    EXPECT_EQ(tree.GetChildItem(items[kD]), nullptr);
    EXPECT_EQ(tree.GetNextSiblingItem(items[1]), nullptr);
}

TEST_F(TreeCtrl, AnItemGetsItsImagesInTheSameCall)
{
    for (size_t i = 0; i < items.size(); ++i) {
        TVITEMA tv{};
        tv.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        tv.hItem = items[i];
        ASSERT_TRUE(tree.SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv)));
        EXPECT_EQ(tv.iImage, kInserts[i].data % 3) << kInserts[i].text;
        EXPECT_EQ(tv.iSelectedImage, kInserts[i].data % 3 + 1) << kInserts[i].text;
    }
}

TEST_F(TreeCtrl, TheSelectedItemIsTheCaret)
{
    EXPECT_EQ(tree.GetSelectedItem(), nullptr);
    for (int row : {kD, kX, kB}) {
        ASSERT_TRUE(tree.SelectItem(items[row])) << kInserts[row].text;
        EXPECT_EQ(tree.SendMessage(TVM_GETNEXTITEM, TVGN_CARET), reinterpret_cast<LRESULT>(items[row]));
        EXPECT_EQ(tree.GetSelectedItem(), items[row]);
    }
}

TEST_F(TreeCtrl, ExpandOpensClosesAndTogglesTheChildren)
{
    struct Step {
        UINT code;
        bool expanded;
    };
    const Step steps[] = {
        {TVE_EXPAND, true},
        {TVE_COLLAPSE, false},
        {TVE_TOGGLE, true},
        {TVE_TOGGLE, false},
    };
    HTREEITEM b = items[kB];
    ASSERT_EQ(tree.GetItemState(b, TVIS_EXPANDED), 0u);
    for (const Step& step : steps) {
        SCOPED_TRACE(step.code);
        tree.Expand(b, step.code);
        EXPECT_EQ(tree.GetItemState(b, TVIS_EXPANDED), step.expanded ? UINT(TVIS_EXPANDED) : 0u);
        // The row below b is its first child while it is open.
        HTREEITEM below = reinterpret_cast<HTREEITEM>(tree.SendMessage(TVM_GETNEXTITEM, TVGN_NEXTVISIBLE,
                                                                       reinterpret_cast<LPARAM>(b)));
        EXPECT_EQ(below, step.expanded ? items[kX] : items[kD]);
    }
}

TEST_F(TreeCtrl, PaintsAgainOnlyWhenRedrawIsBackOn)
{
    ASSERT_TRUE(PumpUntil([&]() { return !::GetUpdateRect(tree.GetSafeHwnd(), nullptr, FALSE); }));
    tree.SetRedraw(FALSE);
    tree.InsertItem("e", 0, 0, 5);
    EXPECT_FALSE(::GetUpdateRect(tree.GetSafeHwnd(), nullptr, FALSE));
    tree.SetRedraw(TRUE);
    EXPECT_TRUE(::GetUpdateRect(tree.GetSafeHwnd(), nullptr, FALSE));
    EXPECT_EQ(tree.GetCount(), 8u);
}

TEST_F(TreeCtrl, DrawsFromTheImageListItIsGiven)
{
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR4 | ILC_MASK, 4, 4));
    EXPECT_EQ(tree.SetImageList(images.Get()), nullptr);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(tree.SendMessage(TVM_GETIMAGELIST, TVSIL_NORMAL)), images.Get());
    EXPECT_EQ(tree.SendMessage(TVM_GETIMAGELIST, TVSIL_STATE), 0);
    EXPECT_EQ(tree.SetImageList(nullptr), images.Get());
}

}  // namespace
