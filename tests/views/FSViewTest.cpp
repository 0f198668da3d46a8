// The file-system results view with real trees: what it shows of a finished
// comparison and in which pictures, and what its commands do with the focus
// and the selection as a person leaves them.
#include "views/FSView.h"

#include "compare/FSMine.h"
#include "compare/FileProperties.h"
#include "compare/FSNode.h"
#include "res/resource.h"
#include "tests/compare/FSSnapBuilder.h"
#include "tests/compare/RegSnapBuilder.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/Recorders.h"
#include "tests/support/WaitFor.h"
#include "tests/views/ViewTesting.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

const uint64_t kTime = 130698651090000000ull;

TFile File(const char* name, uint32_t size)
{
    return TFile{name, size, kTime, kTime};
}

// A view that records the properties windows it is asked to open.
class CTestFSView : public CFSView {
public:
    std::vector<std::string> opened;
    using CCompareView::EntryOf;
    using CCompareView::FocusedTree;

    std::unique_ptr<IViewerWindow> OpenFileProperties(const CFilePropertiesTexts& texts) override
    {
        opened.push_back(texts.m_strTitle);
        return nullptr;
    }
};

class FSView : public ::testing::Test {
protected:
    void Show(const TFolder& drive1, const TFolder& drive2)
    {
        CMemoryFile file1 = WriteSnapshot(drive1), file2 = WriteSnapshot(drive2);
        ASSERT_TRUE(mine.Compare(nullptr, file1, file2));
        parent = ShowInPopup(view, mine);
        ASSERT_NE(view.GetSafeHwnd(), nullptr);
    }
    void TearDown() override
    {
        view.DestroyWindow();
        if (parent)
            ::DestroyWindow(parent);
    }
    std::vector<std::string> Command(UINT id)
    {
        return AnsweringNotes([&]() { view.OnCmdMsg(id); });
    }
    HTREEITEM Find(const CTreeCtrl& tree, std::vector<std::string> path) { return FindEntry(tree, path); }

    CRecordingMessages messages;
    CFSMine mine{messages};
    CTestFSView view;
    HWND parent = nullptr;
};

const TFolder kDrive1{"C:",
                      {File("boot.ini", 10), File("gone.txt", 1)},
                      {TFolder{"Old", {File("inside.txt", 1)}, {TFolder{"deeper", {}, {}}}},
                       TFolder{"Same", {File("same.txt", 5)}, {}},
                       TFolder{"Twin", {File("only.txt", 1)}, {}}}};
// Same is pruned on both sides; Twin only on the right, where nothing in it differs.
const TFolder kDrive2{"C:",
                      {File("boot.ini", 12), File("new.txt", 2)},
                      {TFolder{"Same", {File("same.txt", 5)}, {}}, TFolder{"Twin", {}, {}}}};

TEST_F(FSView, ShowsTheRootsCollapsedAndEveryEntryInTheModelsOrderAndPictures)
{
    Show(kDrive1, kDrive2);
    // One root entry each, nothing expanded.
    EXPECT_EQ(view.LeftTree().GetNextSiblingItem(view.LeftTree().GetRootItem()), nullptr);
    EXPECT_EQ(EntryListing(view.LeftTree()).find('+'), std::string::npos);
    EXPECT_EQ(EntryListing(view.RightTree()).find('+'), std::string::npos);
    view.OnCmdMsg(ID_EXPAND_ALL);
    // Folders before files; everything below a one-sided folder one-sided;
    // a changed file plain on both sides.
    EXPECT_EQ(EntryListing(view.LeftTree()),
              "0 File System 1 0/2 +\n"
              "1 C: 0/2 +\n"
              "2 Old 1/3 +\n"
              "3 deeper 1/3\n"
              "3 inside.txt 5/5\n"
              "2 Twin 0/2 +\n"
              "3 only.txt 5/5\n"
              "2 boot.ini 4/4\n"
              "2 gone.txt 5/5\n");
    EXPECT_EQ(EntryListing(view.RightTree()),
              "0 File System 2 0/2 +\n"
              "1 C: 0/2 +\n"
              "2 boot.ini 4/4\n"
              "2 new.txt 5/5\n");
    // Each entry is the one its node or item remembers.
    ListPosition first = mine.GetRoot1()->Nodes().GetHeadPosition();
    CCompareNode* c1 = mine.GetRoot1()->Nodes().GetNext(first);
    EXPECT_EQ(c1->GetTreeItem(), Find(view.LeftTree(), {"C:"}));
}

// Names the code page cannot hold read back wide as the file system holds
// them, and with the ANSI messages as the snapshot recorded them.
TEST_F(FSView, ExactNamesReadBackWideAndRecordedNamesAnsi)
{
    CMemoryFile file1 = WriteSnapshot(TFolder{"C:", {TFile{"???.txt", 1, kTime, kTime, u"\u0414\u0438\u0440.txt"}}, {TFolder{"??", {}, {}, u"\U0001F30E"}}},
                                      'C', WholeAppendix());
    CMemoryFile file2 = WriteSnapshot(TFolder{"C:", {}, {}}, 'C', WholeAppendix());
    ASSERT_TRUE(mine.Compare(nullptr, file1, file2));
    parent = ShowInPopup(view, mine);
    view.OnCmdMsg(ID_EXPAND_ALL);
    HTREEITEM folder = Find(view.LeftTree(), {"C:", "??"});
    HTREEITEM file = Find(view.LeftTree(), {"C:", "???.txt"});
    ASSERT_TRUE(folder && file) << EntryListing(view.LeftTree());
    EXPECT_EQ(view.LeftTree().GetItemTextW(folder), L"\U0001F30E");
    EXPECT_EQ(view.LeftTree().GetItemTextW(file), L"\u0414\u0438\u0440.txt");
    EXPECT_EQ(view.LeftTree().GetItemTextW(Find(view.LeftTree(), {"C:"})), L"C:");
    // Find takes the exact name, letters folded as Windows folds them.
    view.LeftTree().SetFocus();
    view.LeftTree().SelectItem(view.LeftTree().GetRootItem());
    view.FindNext(L"\u0434\u0418\u0420");
    EXPECT_EQ(view.LeftTree().GetSelectedItem(), file);
}

// Containers and items of one folder, both one-sided and changed, in an order
// no sorting gives: the trees are filled back to front and must read forward.
TEST_F(FSView, AFolderOfMixedChildrenReadsBackInTheModelsOrderWithEveryEntryItsModels)
{
    const TFolder before{"C:",
                         {File("z.txt", 1), File("gone.txt", 1), File("a.txt", 1)},
                         {TFolder{"Zed",
                                  {File("f.txt", 1)},
                                  {TFolder{"Q", {File("q.txt", 1)}, {}}, TFolder{"B", {File("b.txt", 1)}, {}}}},
                          TFolder{"Alpha", {}, {}}, TFolder{"Mid", {File("x.txt", 1)}, {}}}};
    const TFolder after{"C:",
                        {File("new.txt", 2), File("z.txt", 2), File("a.txt", 2)},
                        {TFolder{"Mid", {File("x.txt", 2)}, {}}, TFolder{"Fresh", {File("in.txt", 1)}, {}},
                         TFolder{"Zed",
                                 {File("f.txt", 2)},
                                 {TFolder{"Q", {File("q.txt", 2)}, {}}, TFolder{"B", {File("b.txt", 2)}, {}}}}}};
    Show(before, after);
    view.OnCmdMsg(ID_EXPAND_ALL);
    EXPECT_EQ(EntryListing(view.LeftTree()),
              "0 File System 1 0/2 +\n1 C: 0/2 +\n2 Zed 0/2 +\n3 Q 0/2 +\n4 q.txt 4/4\n3 B 0/2 +\n4 b.txt 4/4\n"
              "3 f.txt 4/4\n2 Alpha 1/3\n2 Mid 0/2 +\n"
              "3 x.txt 4/4\n2 z.txt 4/4\n2 gone.txt 5/5\n2 a.txt 4/4\n");
    EXPECT_EQ(EntryListing(view.RightTree()),
              "0 File System 2 0/2 +\n1 C: 0/2 +\n2 Mid 0/2 +\n3 x.txt 4/4\n2 Fresh 1/3 +\n3 in.txt 5/5\n"
              "2 Zed 0/2 +\n3 Q 0/2 +\n4 q.txt 4/4\n3 B 0/2 +\n4 b.txt 4/4\n3 f.txt 4/4\n2 new.txt 5/5\n"
              "2 z.txt 4/4\n2 a.txt 4/4\n");
    for (CTreeCtrl* tree : {&view.LeftTree(), &view.RightTree()}) {
        std::vector<HTREEITEM> pending{tree->GetRootItem()};
        while (!pending.empty()) {
            HTREEITEM at = pending.back();
            pending.pop_back();
            auto entry = view.EntryOf(*tree, at);
            ASSERT_TRUE(entry.node || entry.item) << tree->GetItemText(at);
            EXPECT_EQ(entry.node ? entry.node->GetTreeItem() : entry.item->GetTreeItem(), at)
                << tree->GetItemText(at);
            for (HTREEITEM child = tree->GetChildItem(at); child; child = tree->GetNextSiblingItem(child))
                pending.push_back(child);
        }
    }
}

// Enough files for the trees to be shown, and the thread's messages served,
// before the files go in: an Expand All chosen then runs once they are in,
// so that the folders which get their files last are open too.
TEST_F(FSView, ExpandAllChosenWhileTheTreesFillRunsWhenTheyAreFull)
{
    TFolder before{"C:", {}, {TFolder{"Sub", {File("f.txt", 1)}, {}}}}, after = before;
    after.folders[0].files[0].size = 2;
    for (int i = 0; i < 6000; ++i) {
        before.files.push_back(File(("file" + std::to_string(i)).c_str(), 1));
        after.files.push_back(File(("file" + std::to_string(i)).c_str(), 2));
    }
    CMemoryFile file1 = WriteSnapshot(before), file2 = WriteSnapshot(after);
    ASSERT_TRUE(mine.Compare(nullptr, file1, file2));
    parent = ::CreateWindowExA(0, "STATIC", "results", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                               ::GetModuleHandleA(nullptr), nullptr);
    CWnd host(parent);
    ASSERT_TRUE(view.CreateView(&host));
    view.PostMessage(WM_COMMAND, ID_EXPAND_ALL);
    view.ShowComparison(mine);
    for (CTreeCtrl* tree : {&view.LeftTree(), &view.RightTree()}) {
        std::string listing = EntryListing(*tree);
        EXPECT_NE(listing.find("\n2 Sub 0/2 +\n3 f.txt 4/4\n2 file0 4/4\n"), std::string::npos)
            << listing.substr(0, 200);
        EXPECT_EQ(tree->GetCount(), 6004u);
    }
}

// A result over the limit shows its roots only and inserts a folder's
// entries when it is opened: Next Difference and View Opposite open the way
// to their entry, and after Expand All both trees read back as the same
// result filled whole.
TEST_F(FSView, ALargeResultFillsAsItIsOpenedAndReadsBackAsFilledWhole)
{
    Show(kDrive1, kDrive2);
    CRecordingMessages lazyMessages;
    CFSMine lazyMine{lazyMessages};
    CMemoryFile file1 = WriteSnapshot(kDrive1), file2 = WriteSnapshot(kDrive2);
    ASSERT_TRUE(lazyMine.Compare(nullptr, file1, file2));
    CTestFSView lazy;
    lazy.SetWholeFillLimit(3);
    HWND lazyParent = ShowInPopup(lazy, lazyMine);
    EXPECT_TRUE(lazy.FillsAsOpened());
    EXPECT_FALSE(view.FillsAsOpened());
    EXPECT_EQ(EntryListing(lazy.LeftTree()), "0 File System 1 0/2\n");
    EXPECT_EQ(lazy.LeftTree().GetCount(), 1u);

    auto selected = [](CTreeCtrl& tree) { return tree.GetItemText(tree.GetSelectedItem()); };
    for (int step = 0; step < 3; ++step) {
        for (CTestFSView* v : {&view, &lazy}) {
            v->LeftTree().SetFocus();
            v->SelectNextDifference(true);
        }
        EXPECT_EQ(selected(lazy.LeftTree()), selected(view.LeftTree())) << step;
    }
    lazy.LeftTree().SelectItem(FindEntry(lazy.LeftTree(), {"C:", "boot.ini"}));
    lazy.LeftTree().SetFocus();
    lazy.OnCmdMsg(ID_FS_VIEW_OPPOSITE);
    EXPECT_EQ(selected(lazy.RightTree()), "boot.ini");

    for (CTestFSView* v : {&view, &lazy})
        v->OnCmdMsg(ID_EXPAND_ALL);
    EXPECT_EQ(EntryListing(lazy.LeftTree()), EntryListing(view.LeftTree()));
    EXPECT_EQ(EntryListing(lazy.RightTree()), EntryListing(view.RightTree()));
    lazy.DestroyWindow();
    ::DestroyWindow(lazyParent);
}

TEST_F(FSView, TwoIdenticalSnapshotsAreToldOnce)
{
    CDialogDriver driver;
    driver.Answer("Pellix Corvane", IDOK);
    Show(kDrive2, kDrive2);
    const auto& seen = driver.Join();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].MessageText(), kIdenticalNote);
    EXPECT_EQ(FindDialogOfProcess("Pellix Corvane"), nullptr) << "told twice";
    EXPECT_EQ(EntryListing(view.LeftTree()), "0 File System 1 0/2\n");
}

TEST_F(FSView, TheTreesShareTheWidthWithTenPixelsBetween)
{
    Show(kDrive1, kDrive2);
    view.MoveWindow(0, 0, 601, 300, TRUE);
    RECT left, right;
    view.LeftTree().GetWindowRect(&left);
    view.RightTree().GetWindowRect(&right);
    ::MapWindowPoints(nullptr, view, reinterpret_cast<POINT*>(&left), 2);
    ::MapWindowPoints(nullptr, view, reinterpret_cast<POINT*>(&right), 2);
    EXPECT_EQ(left.left, 0);
    EXPECT_EQ(left.right, 295);
    EXPECT_EQ(right.left, 305);
    EXPECT_EQ(right.right, 601);
    EXPECT_EQ(left.bottom, 300);
}

// Where the focus and the selection are, and what each command then does.
struct CommandCase {
    const char* name;
    bool focusLeft;                  // else the focus is on neither tree
    std::vector<std::string> select;  // path below the root; "-" selects nothing
    UINT command;
    std::vector<std::string> told;
    std::string rightSelection;       // the right tree's caret entry afterwards
    std::vector<std::string> opened;  // properties windows asked for
};

class FSViewCommand : public FSView, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(FSViewCommand, ActsOnTheFocusedTreesSelection)
{
    const CommandCase& c = GetParam();
    Show(kDrive1, kDrive2);
    view.OnCmdMsg(ID_EXPAND_ALL);
    // A tree selects its first entry when it gets the focus with none
    // selected: the focus first, then the selection.
    if (c.focusLeft)
        view.LeftTree().SetFocus();
    else
        ::SetFocus(parent);
    view.RightTree().SelectItem(nullptr);
    if (c.select != std::vector<std::string>{"-"})
        view.LeftTree().SelectItem(Find(view.LeftTree(), c.select));
    else
        view.LeftTree().SelectItem(nullptr);
    EXPECT_EQ(view.FocusedTree() == &view.LeftTree(), c.focusLeft);

    EXPECT_EQ(Command(c.command), c.told);
    HTREEITEM right = view.RightTree().GetSelectedItem();
    EXPECT_EQ(right ? view.RightTree().GetItemText(right) : std::string(), c.rightSelection);
    EXPECT_EQ(view.opened, c.opened);
    if (c.focusLeft && c.told.empty()) {
        EXPECT_EQ(view.FocusedTree(), &view.LeftTree());  // the focus stays where it was
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, FSViewCommand,
    ::testing::Values(
        CommandCase{"oppositeWithoutFocus", false, {"C:"}, ID_FS_VIEW_OPPOSITE, {}, "", {}},
        CommandCase{"oppositeWithoutSelection", true, {"-"}, ID_FS_VIEW_OPPOSITE, {kNoSelection}, "", {}},
        CommandCase{"oppositeOfTheRoot", true, {}, ID_FS_VIEW_OPPOSITE, {}, "File System 2", {}},
        CommandCase{"oppositeOfAChangedFile", true, {"C:", "boot.ini"}, ID_FS_VIEW_OPPOSITE, {}, "boot.ini", {}},
        CommandCase{"oppositeOfAOneSidedFolder", true, {"C:", "Old"}, ID_FS_VIEW_OPPOSITE, {kNoOpposite}, "", {}},
        CommandCase{"oppositeOfAFolderWhoseTwinWasPruned", true, {"C:", "Twin"}, ID_FS_VIEW_OPPOSITE,
                    {kNoOpposite}, "", {}},
        CommandCase{"propertiesOfAFile", true, {"C:", "gone.txt"}, ID_FS_VIEW_PROPERTIES, {}, "",
                    {"File System 1 : gone.txt"}},
        CommandCase{"propertiesOfAFolder", true, {"C:"}, ID_FS_VIEW_PROPERTIES, {kFolderHasNoProperties}, "", {}},
        CommandCase{"propertiesWithoutFocus", false, {"C:", "gone.txt"}, ID_FS_VIEW_PROPERTIES, {}, "", {}}),
    [](const ::testing::TestParamInfo<CommandCase>& test) { return std::string(test.param.name); });

TEST_F(FSView, ADoubleClickOnAFileOpensItsProperties)
{
    Show(kDrive1, kDrive2);
    view.OnCmdMsg(ID_EXPAND_ALL);
    view.LeftTree().SelectItem(Find(view.LeftTree(), {"C:", "boot.ini"}));
    view.LeftTree().SetFocus();
    NMHDR click{view.LeftTree().GetSafeHwnd(), kLeftTreeId, static_cast<UINT>(NM_DBLCLK)};
    EXPECT_EQ(view.SendMessage(WM_NOTIFY, kLeftTreeId, reinterpret_cast<LPARAM>(&click)), 0);
    EXPECT_EQ(view.opened, std::vector<std::string>{"File System 1 : boot.ini"});
}

TEST_F(FSView, ARightClickShowsTheResultsPopupOfMenu153)
{
    Show(kDrive1, kDrive2);
    EXPECT_EQ(ContextMenuItems(view, false),
              (std::vector<UINT>{ID_FS_VIEW_PROPERTIES, ID_FS_VIEW_OPPOSITE, 0, ID_EXPAND_ALL, 0, ID_NEXT_DIFFERENCE,
                                 ID_PREV_DIFFERENCE, ID_FIND, ID_FIND_NEXT, 0, ID_HIDE_NOISE, ID_FILTERS,
                                 ID_HIDE_THIS, 0, ID_RECOMPARE, ID_SHOW_OTHER_RESULT}));
}

TEST_F(FSView, OneSidedPicturesAreRedOnTheLeftAndCyanOnTheRight)
{
    Show(kDrive1, kDrive2);
    HIMAGELIST left = TreeView_GetImageList(view.LeftTree(), TVSIL_NORMAL);
    HIMAGELIST right = TreeView_GetImageList(view.RightTree(), TVSIL_NORMAL);
    ASSERT_EQ(ImageList_GetImageCount(left), 6);
    ASSERT_EQ(ImageList_GetImageCount(right), 6);
    for (int i = 0; i < 6; ++i) {
        bool oneSided = i == 1 || i == 3 || i == 5;
        EXPECT_EQ(PicturePixels(left, i) != PicturePixels(right, i), oneSided) << i;
    }
}

}  // namespace
