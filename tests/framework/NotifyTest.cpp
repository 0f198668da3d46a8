// A real tree control in both kinds of parent the results views sit in, a
// window and a dialog: the wrapper keeps items where they were put, never
// sorted, and the tree's notifications and context menu requests reach the
// parent's handlers, whose answers reach the tree (a dialog's through
// DWLP_MSGRESULT). The frame answers its toolbar on the same path.
#include "framework/Dialog.h"
#include "framework/FrameWnd.h"
#include "framework/TreeCtrl.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr UINT kTreeId = 4321;

struct Seen {
    std::vector<UINT> codes;
    HTREEITEM selected = nullptr;  // of the last TVN_SELCHANGEDA
    bool veto = false;             // answer TVN_SELCHANGINGA with TRUE
    std::vector<std::tuple<HWND, LONG, LONG>> menus;  // window, screen point
};

template <typename Base>
class CRecordingParent : public Base {
public:
    template <typename... Args>
    explicit CRecordingParent(Seen& seen, Args... args) : Base(args...), m_seen(seen) {}
    ~CRecordingParent() override { this->DestroyWindow(); }

protected:
    bool OnNotify(NMHDR* header, LRESULT& result) override
    {
        m_seen.codes.push_back(header->code);
        switch (header->code) {
        case TVN_SELCHANGINGA:
            result = m_seen.veto ? TRUE : FALSE;
            return true;
        case TVN_SELCHANGEDA:
            m_seen.selected = reinterpret_cast<NMTREEVIEWA*>(header)->itemNew.hItem;
            return true;
        default:
            return false;
        }
    }
    bool OnContextMenu(HWND window, POINT screen) override
    {
        m_seen.menus.emplace_back(window, screen.x, screen.y);
        return true;
    }

private:
    Seen& m_seen;
};

// Where each item goes: under the root or an earlier row, after the first or
// last place or an earlier row. Its pictures are data % 3 and the next one.
constexpr int kRoot = -1, kFirst = -2, kLast = -1;
struct Insert { const char* text; LPARAM data; int parent, after; };
const Insert kInserts[] = {
    {"b", 2, kRoot, kLast}, {"a", 1, kRoot, kLast}, {"c", 3, kRoot, kFirst}, {"d", 4, kRoot, 0 /* after b */},
    {"y", 26, 0, kLast},    {"x", 25, 0, kFirst},   {"z", 27, 0, 5 /* after x */},
};

enum class ParentKind { Window, Dialog };

class Tree : public ::testing::TestWithParam<ParentKind> {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES};
        ::InitCommonControlsEx(&controls);
        if (GetParam() == ParentKind::Window) {
            auto window = std::make_unique<CRecordingParent<CWnd>>(seen);
            ASSERT_TRUE(CWnd::RegisterWndClass("CorvaneTestParent", 0, nullptr,
                                               reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)));
            ASSERT_TRUE(window->CreateEx(0, "CorvaneTestParent", "Parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                         RECT{50, 50, 450, 350}, nullptr, 0));
            parent = std::move(window);
        } else {
            auto dialog = std::make_unique<CRecordingParent<CDialog>>(seen, IDD_ABOUTBOX);
            ASSERT_TRUE(dialog->CreateModeless(nullptr));
            dialog->ShowWindow(SW_SHOW);
            parent = std::move(dialog);
        }
        ASSERT_TRUE(tree.Create(WS_VISIBLE | TVS_HASLINES, RECT{0, 0, 250, 250}, parent.get(), kTreeId));
        for (const Insert& in : kInserts) {
            HTREEITEM under = in.parent == kRoot ? TVI_ROOT : items[in.parent];
            HTREEITEM after = in.after == kFirst ? TVI_FIRST : in.after == kLast ? TVI_LAST : items[in.after];
            int image = static_cast<int>(in.data % 3);
            items.push_back(tree.InsertItem(in.text, image, image + 1, in.data, under, after));
            ASSERT_NE(items.back(), nullptr) << in.text;
        }
    }

    // "text=data/picture,selected picture" of every item, depth first,
    // children in brackets.
    std::string Walk(HTREEITEM first) const
    {
        std::string out;
        for (HTREEITEM item = first; item; item = tree.GetNextSiblingItem(item)) {
            TVITEMA tv{};
            tv.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
            tv.hItem = item;
            tree.SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
            out += (out.empty() ? "" : " ") + tree.GetItemText(item) + '=' + std::to_string(tree.GetItemData(item)) +
                   '/' + std::to_string(tv.iImage) + ',' + std::to_string(tv.iSelectedImage);
            if (HTREEITEM child = tree.GetChildItem(item))
                out += '[' + Walk(child) + ']';
        }
        return out;
    }

    Seen seen;
    std::unique_ptr<CWnd> parent;
    CTreeCtrl tree;
    std::vector<HTREEITEM> items;
};

TEST_P(Tree, KeepsTheGivenOrderWithDataAndPictures)
{
    EXPECT_EQ(Walk(tree.GetRootItem()), "c=3/0,1 b=2/2,3[x=25/1,2 z=27/0,1 y=26/2,3] d=4/1,2 a=1/1,2");
}

TEST_P(Tree, ASelectionChangeReachesTheParentWhichCanVetoIt)
{
    EXPECT_EQ(tree.GetSelectedItem(), nullptr);
    for (int row : {3, 5, 0}) {
        SCOPED_TRACE(kInserts[row].text);
        seen.codes.clear();
        ASSERT_TRUE(tree.SelectItem(items[row]));
        EXPECT_EQ(tree.GetSelectedItem(), items[row]);
        // Opening the parent of a child comes in between.
        ASSERT_GE(seen.codes.size(), 2u);
        EXPECT_EQ(seen.codes.front(), TVN_SELCHANGINGA);
        EXPECT_EQ(seen.codes.back(), TVN_SELCHANGEDA);
        EXPECT_EQ(seen.selected, items[row]);
    }
    seen.codes.clear();
    seen.veto = true;
    tree.SelectItem(items[1]);
    EXPECT_EQ(seen.codes, std::vector<UINT>{TVN_SELCHANGINGA});
    EXPECT_EQ(tree.GetSelectedItem(), items[0]);
}

TEST_P(Tree, AContextMenuRequestReachesTheParentWithItsScreenPoint)
{
    struct Case {
        LPARAM position;
        POINT expected;
    };
    const Case cases[] = {
        {MAKELPARAM(300, 200), POINT{300, 200}},
        {MAKELPARAM(-5, -7), POINT{-5, -7}},  // left of and above the primary monitor
        {-1, POINT{-1, -1}},                  // from the keyboard
    };
    for (const Case& c : cases) {
        // Sent to the parent, and to the tree, whose default passes it up.
        for (HWND target : {parent->GetSafeHwnd(), tree.GetSafeHwnd()}) {
            SCOPED_TRACE(std::to_string(c.expected.x) + (target == tree.GetSafeHwnd() ? " to the tree" : ""));
            seen.menus.clear();
            ::SendMessageA(target, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tree.GetSafeHwnd()), c.position);
            EXPECT_EQ(seen.menus, (decltype(seen.menus){{tree.GetSafeHwnd(), c.expected.x, c.expected.y}}));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Parents, Tree, ::testing::Values(ParentKind::Window, ParentKind::Dialog),
                         [](const ::testing::TestParamInfo<ParentKind>& test) {
                             return test.param == ParentKind::Window ? "Window" : "Dialog";
                         });

TEST(FrameNotify, TooltipsAndTheHotButtonsPromptAreAnswered)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    CFrameWnd frame;
    ASSERT_TRUE(frame.LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW));
    CStatusBar bar;
    ASSERT_TRUE(bar.Create(&frame, WS_CHILD | WS_VISIBLE, kIdStatusBar));
    auto statusText = [&]() {
        char text[256] = "";
        bar.SendMessage(SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
        return std::string(text);
    };

    NMTTDISPINFOA tip{};
    tip.hdr = NMHDR{nullptr, ID_APP_ABOUT, TTN_GETDISPINFOA};
    frame.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
    EXPECT_STREQ(tip.lpszText, "About");

    NMTBHOTITEM hot{};
    hot.hdr.code = TBN_HOTITEMCHANGE;
    hot.idNew = ID_SNAPSHOT_CREATE;
    frame.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&hot));
    EXPECT_EQ(statusText(), "Create a Snap Shot of Registry or File System.");
    hot.dwFlags = HICF_LEAVING;
    frame.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&hot));
    EXPECT_EQ(statusText(), "Ready");
}

}  // namespace
