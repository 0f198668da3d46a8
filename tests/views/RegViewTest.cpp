// The registry results view with real trees and real viewer windows: what it
// shows of a finished comparison and in which pictures, what View Value and
// View Opposite do with the focus and the selection as a person leaves them,
// and each viewer's caption, type line and content as it opens, hides, comes
// back and is closed.
#include "views/RegView.h"

#include "compare/RegMine.h"
#include "compare/RegVal.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "tests/compare/RegSnapBuilder.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/MessageLoop.h"
#include "tests/support/Recorders.h"
#include "tests/views/ViewTesting.h"
#include "views/RegValueDlg.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TValue Value(const std::string& name, uint32_t type, std::vector<uint8_t> data)
{
    return TValue{name, type, std::move(data)};
}

std::vector<uint8_t> Counting(int n, int from = 0)
{
    std::vector<uint8_t> bytes;
    for (int i = 0; i < n; ++i)
        bytes.push_back(static_cast<uint8_t>(from + i));
    return bytes;
}

std::vector<uint8_t> Text(const std::string& s)
{
    return std::vector<uint8_t>(s.begin(), s.end());
}

// Every type a snapshot can hold, each changed between the two snapshots
// unless its name says otherwise; a key removed with values below it, a key
// added, and keys that are the same on both sides.
TRegistry Before()
{
    TRegistry r;
    TKey pellix{"Pellix",
                {Sz("", "1.0"),
                 Dword("Count", 1),
                 Value("Big", 5, {0, 0, 0, 1}),
                 Value("Blob", 3, Counting(17)),
                 Value("Quad", 11, Counting(8, 1)),
                 Value("List", 7, Text(std::string("one\0two\0\0", 9))),
                 Value("None", 0, {1}),
                 Value("Twelve", 12, {1}),
                 Value("Link", 6, {'a', 0}),
                 Value("Resources", 8, {1, 2}),
                 Value("Short", 4, {1}),
                 Value("Unterminated", 1, Text("abc")),
                 Sz("Same", "kept")},
                {TKey{"Old", {Sz("Name", "gone"), Dword("Size", 7), Value("Data", 3, {9})}, {}},
                 TKey{"Unchanged", {Dword("Level", 3)}, {}}}};
    r.machine.subkeys.push_back(TKey{"SOFTWARE", {}, {pellix}});
    r.users.subkeys.push_back(TKey{".DEFAULT", {Sz("Theme", "plain")}, {}});
    return r;
}

TRegistry After()
{
    TRegistry r;
    TKey pellix{"Pellix",
                {Sz("", "2.0"),
                 Sz("Path", "%ProgramFiles%\\Pellix", 2),
                 Value("Count", 4, {0xFF, 0xFF, 0xFF, 0xFF}),
                 Value("Big", 5, {0, 0, 0, 2}),
                 Value("Blob", 3, Counting(16)),
                 Value("Quad", 11, Counting(8, 2)),
                 Value("List", 7, Text(std::string("\0one\0", 5))),
                 Value("None", 0, {2}),
                 Value("Twelve", 12, {2}),
                 Value("Link", 6, {'b', 0}),
                 Value("Resources", 8, {}),
                 Value("Short", 4, {1, 2}),
                 Value("Unterminated", 1, Text("abcd")),
                 Sz("Same", "kept")},
                {TKey{"Unchanged", {Dword("Level", 3)}, {}}}};
    r.machine.subkeys.push_back(TKey{"SOFTWARE", {}, {pellix}});
    r.users.subkeys.push_back(TKey{".DEFAULT", {Sz("Theme", "plain")}, {TKey{"New", {Dword("Flag", 1)}, {}}}});
    return r;
}

class RegView : public ::testing::Test {
protected:
    // Shows the comparison in a view of the height, and expands all.
    void Show(const TRegistry& before, const TRegistry& after, int height = 480)
    {
        CMemoryFile file1 = WriteSnapshot(before), file2 = WriteSnapshot(after);
        ASSERT_TRUE(mine.Compare(nullptr, file1, file2));
        parent = ShowInPopup(view, mine);
        ASSERT_NE(view.GetSafeHwnd(), nullptr);
        view.MoveWindow(0, 0, 640, height, TRUE);
        view.OnCmdMsg(ID_EXPAND_ALL);
    }
    void TearDown() override
    {
        view.DestroyWindow();
        if (parent)
            ::DestroyWindow(parent);
        ServePending();
    }
    // Gives the tree the focus and selects the entry the texts name.
    void Select(CTreeCtrl& tree, const std::vector<std::string>& path)
    {
        // A tree selects its first entry when it gets the focus with none
        // selected: the focus first, then the selection.
        tree.SetFocus();
        HTREEITEM entry = FindEntry(tree, path);
        ASSERT_NE(entry, nullptr) << path.back();
        tree.SelectItem(entry);
    }
    std::vector<std::string> Command(UINT id)
    {
        return AnsweringNotes([&]() { view.OnCmdMsg(id); });
    }

    CRecordingMessages messages;
    CRegMine mine{messages};
    CRegView view;
    HWND parent = nullptr;
};

const std::vector<std::string> kPellix = {"HKEY_LOCAL_MACHINE", "SOFTWARE", "Pellix"};

std::vector<std::string> In(const std::vector<std::string>& key, const std::string& name)
{
    std::vector<std::string> path = key;
    path.push_back(name);
    return path;
}

TEST_F(RegView, ShowsKeysAndValuesWithThePictureOfTheirTypeAndSide)
{
    Show(Before(), After());
    // Keys before values; the unnamed value as "(Default)"; text 4, binary 6,
    // number 8, one more when one-sided: Old's values are red although they
    // were never compared themselves.
    EXPECT_EQ(EntryListing(view.LeftTree()),
              "0 Registry 1 0/2 +\n"
              "1 HKEY_LOCAL_MACHINE 0/2 +\n"
              "2 SOFTWARE 0/2 +\n"
              "3 Pellix 0/2 +\n"
              "4 Old 1/3 +\n"
              "5 Name 5/5\n"
              "5 Size 9/9\n"
              "5 Data 7/7\n"
              "4 (Default) 4/4\n"
              "4 Count 8/8\n"
              "4 Big 8/8\n"
              "4 Blob 6/6\n"
              "4 Quad 6/6\n"
              "4 List 4/4\n"
              "4 None 6/6\n"
              "4 Twelve 6/6\n"
              "4 Link 6/6\n"
              "4 Resources 6/6\n"
              "4 Short 8/8\n"
              "4 Unterminated 4/4\n");
    EXPECT_EQ(EntryListing(view.RightTree()),
              "0 Registry 2 0/2 +\n"
              "1 HKEY_LOCAL_MACHINE 0/2 +\n"
              "2 SOFTWARE 0/2 +\n"
              "3 Pellix 0/2 +\n"
              "4 (Default) 4/4\n"
              "4 Path 5/5\n"
              "4 Count 8/8\n"
              "4 Big 8/8\n"
              "4 Blob 6/6\n"
              "4 Quad 6/6\n"
              "4 List 4/4\n"
              "4 None 6/6\n"
              "4 Twelve 6/6\n"
              "4 Link 6/6\n"
              "4 Resources 6/6\n"
              "4 Short 8/8\n"
              "4 Unterminated 4/4\n"
              "1 HKEY_USERS 0/2 +\n"
              "2 .DEFAULT 0/2 +\n"
              "3 New 1/3 +\n"
              "4 Flag 9/9\n");
}

// Snapshots of chosen keys: a line above the trees names what was compared,
// and the trees start below it.
TEST_F(RegView, NamesThePlacesComparedAboveTheTreesOfSnapshotsOfChosenKeys)
{
    TRegistry chosen = After();
    chosen.appendix.places = {{"HKEY_LOCAL_MACHINE", "SOFTWARE", "Pellix"}, {"HKEY_USERS", ".DEFAULT", "New"}};
    Show(Before(), chosen);
    HWND line = ::GetDlgItem(view.GetSafeHwnd(), kComparedPlacesId);
    ASSERT_NE(line, nullptr);
    char text[256] = {};
    ::GetWindowTextA(line, text, sizeof text);
    EXPECT_STREQ(text, "Compared only what both snap shots recorded: HKEY_LOCAL_MACHINE\\SOFTWARE\\Pellix; "
                       "HKEY_USERS\\.DEFAULT\\New");
    RECT lineRect, treeRect;
    ::GetWindowRect(line, &lineRect);
    ::GetWindowRect(view.LeftTree().GetSafeHwnd(), &treeRect);
    EXPECT_TRUE(::IsWindowVisible(line));
    EXPECT_LE(lineRect.bottom, treeRect.top);
}

TEST_F(RegView, ExpandAllLeavesTheTreesScrolledToTheirTops)
{
    Show(Before(), After(), 100);
    // Two whole snapshots: no line of places above the trees.
    EXPECT_EQ(::GetDlgItem(view.GetSafeHwnd(), kComparedPlacesId), nullptr);
    EXPECT_EQ(TreeView_GetFirstVisible(view.LeftTree()), view.LeftTree().GetRootItem());
    EXPECT_EQ(TreeView_GetFirstVisible(view.RightTree()), view.RightTree().GetRootItem());
}

TEST_F(RegView, OneSidedPicturesAreRedOnTheLeftAndCyanOnTheRight)
{
    Show(Before(), After());
    HIMAGELIST left = TreeView_GetImageList(view.LeftTree(), TVSIL_NORMAL);
    HIMAGELIST right = TreeView_GetImageList(view.RightTree(), TVSIL_NORMAL);
    ASSERT_EQ(ImageList_GetImageCount(left), 10);
    ASSERT_EQ(ImageList_GetImageCount(right), 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(PicturePixels(left, i) != PicturePixels(right, i), i % 2 == 1) << i;
    // The three kinds of value look different from each other and from a key.
    EXPECT_NE(PicturePixels(left, kTextValueImage), PicturePixels(left, kBinaryValueImage));
    EXPECT_NE(PicturePixels(left, kBinaryValueImage), PicturePixels(left, kNumberValueImage));
    EXPECT_NE(PicturePixels(left, kNumberValueImage), PicturePixels(left, kContainerImage));
}

// What a value's viewer shows.
struct ViewerCase {
    const char* name;
    bool left;
    const char* value;
    const char* caption;
    const char* typeLine;
    std::string content;
    bool courier;  // the content in the dump's fixed-pitch font
};

class RegViewViewer : public RegView, public ::testing::WithParamInterface<ViewerCase> {};

std::string FontFace(HWND control)
{
    HFONT font = reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
    LOGFONTA face{};
    if (!font || !::GetObjectA(font, sizeof face, &face))
        return std::string();
    return face.lfFaceName;
}

TEST_P(RegViewViewer, ShowsTheValueAsRecordedWithItsTypeLineAndTheFocusOnTheContent)
{
    const ViewerCase& c = GetParam();
    Show(Before(), After());
    Select(c.left ? view.LeftTree() : view.RightTree(), In(kPellix, c.value));
    EXPECT_EQ(Command(ID_REG_VIEW_VALUE), std::vector<std::string>{});
    HWND viewer = FindDialogOfProcess(c.caption);
    ASSERT_NE(viewer, nullptr) << "no window captioned " << c.caption;
    SeenDialog seen = ReadDialog(viewer);
    ASSERT_EQ(seen.edits.size(), 1u);
    EXPECT_EQ(seen.edits[0], c.content);
    EXPECT_EQ(GetWindowTextOf(::GetDlgItem(viewer, IDC_REG_TYPE)), c.typeLine);
    EXPECT_TRUE(seen.buttons.empty());
    EXPECT_EQ(FontFace(::GetDlgItem(viewer, IDC_REG_VALUE)) == kHexDumpFont, c.courier);
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(viewer, IDC_REG_VALUE));
    EXPECT_EQ(::GetWindow(viewer, GW_OWNER), parent);
}

std::string Dump(int n, int from = 0)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (int i = 0; i < n; ++i) {
        int b = (from + i) & 0xFF;
        text += digits[b >> 4];
        text += digits[b & 15];
        text += ' ';
        if (i % 16 == 15)
            text += "\r\n";
    }
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Types, RegViewViewer,
    ::testing::Values(
        ViewerCase{"defaultValue", false, "(Default)", "Registry 2 : (Default)", "REG_SZ (Normal String)", "2.0",
                   false},
        ViewerCase{"expandableStringUnexpanded", false, "Path", "Registry 2 : Path",
                   "REG_EXPAND_SZ (Expandable String)", "%ProgramFiles%\\Pellix", false},
        ViewerCase{"stringWithoutTerminator", true, "Unterminated", "Registry 1 : Unterminated",
                   "REG_SZ (Normal String)", "abc", false},
        ViewerCase{"number", true, "Count", "Registry 1 : Count", "REG_DWORD (32-bit Number)", "1", false},
        ViewerCase{"largestNumber", false, "Count", "Registry 2 : Count", "REG_DWORD (32-bit Number)",
                   "4294967295", false},
        ViewerCase{"numberOfTwoBytes", false, "Short", "Registry 2 : Short", "REG_DWORD (32-bit Number)", "513",
                   false},
        ViewerCase{"seventeenBytes", true, "Blob", "Registry 1 : Blob", "REG_BINARY (binary data)", Dump(17),
                   true},
        ViewerCase{"sixteenBytes", false, "Blob", "Registry 2 : Blob", "REG_BINARY (binary data)", Dump(16),
                   true},
        ViewerCase{"quadAsADump", true, "Quad", "Registry 1 : Quad", "REG_QWORD (64-bit Number)", Dump(8, 1),
                   true},
        ViewerCase{"link", true, "Link", "Registry 1 : Link", "REG_LINK (unicode symbolic link)", "61 00 ", true},
        ViewerCase{"emptyResourceList", false, "Resources", "Registry 2 : Resources",
                   "REG_RESOURCE_LIST, ... (resource list)", "", true},
        ViewerCase{"stringList", true, "List", "Registry 1 : List", "REG_MULTI_SZ (array of strings)",
                   "one\r\ntwo\r\n", false},
        ViewerCase{"stringListStartingEmpty", false, "List", "Registry 2 : List",
                   "REG_MULTI_SZ (array of strings)", "", false}),
    [](const ::testing::TestParamInfo<ViewerCase>& test) { return std::string(test.param.name); });

// Where the focus and the selection are, and what each command then tells.
struct CommandCase {
    const char* name;
    bool focusLeft;  // else the focus is on neither tree
    std::vector<std::string> select;
    UINT command;
    std::vector<std::string> told;
    std::string rightSelection;  // the right tree's caret entry afterwards
};

class RegViewCommand : public RegView, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(RegViewCommand, ActsOnTheFocusedTreesSelection)
{
    const CommandCase& c = GetParam();
    Show(Before(), After());
    view.RightTree().SelectItem(nullptr);
    Select(view.LeftTree(), c.select);
    if (!c.focusLeft)
        ::SetFocus(parent);
    EXPECT_EQ(Command(c.command), c.told);
    HTREEITEM right = view.RightTree().GetSelectedItem();
    EXPECT_EQ(right ? view.RightTree().GetItemText(right) : std::string(), c.rightSelection);
    EXPECT_EQ(FindWindows(::GetCurrentProcessId(), DialogWith("Registry 1 : Count")).size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, RegViewCommand,
    ::testing::Values(
        CommandCase{"valueOfAKey", true, kPellix, ID_REG_VIEW_VALUE, {kKeyHasNoValue}, ""},
        CommandCase{"valueOfTheRoot", true, {}, ID_REG_VIEW_VALUE, {kKeyHasNoValue}, ""},
        CommandCase{"valueWithoutFocus", false, In(kPellix, "Count"), ID_REG_VIEW_VALUE, {}, ""},
        CommandCase{"valueOfNone", true, In(kPellix, "None"), ID_REG_VIEW_VALUE, {kRegUndisplayableType}, ""},
        CommandCase{"valueOfBigEndian", true, In(kPellix, "Big"), ID_REG_VIEW_VALUE, {kRegUndisplayableType}, ""},
        CommandCase{"valueOfTypeTwelve", true, In(kPellix, "Twelve"), ID_REG_VIEW_VALUE, {kRegUndisplayableType},
                    ""},
        CommandCase{"oppositeOfAChangedValue", true, In(kPellix, "Count"), ID_REG_VIEW_OPPOSITE, {}, "Count"},
        CommandCase{"oppositeOfTheDefaultValue", true, In(kPellix, "(Default)"), ID_REG_VIEW_OPPOSITE, {},
                    "(Default)"},
        CommandCase{"oppositeOfAValueInARemovedKey", true, {"HKEY_LOCAL_MACHINE", "SOFTWARE", "Pellix", "Old", "Size"},
                    ID_REG_VIEW_OPPOSITE, {kNoOpposite}, ""},
        CommandCase{"oppositeOfARemovedKey", true, In(kPellix, "Old"), ID_REG_VIEW_OPPOSITE, {kNoOpposite}, ""}),
    [](const ::testing::TestParamInfo<CommandCase>& test) { return std::string(test.param.name); });

// Data of a string type as the registry holds them, UTF-16 with its zeros.
CValueExactParts ExactData(const std::u16string& units, std::u16string name = u"")
{
    CValueExactParts exact;
    exact.name = std::move(name);
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(units.data());
    exact.data.assign(bytes, bytes + 2 * units.size());
    exact.hasData = true;
    return exact;
}

std::wstring WideText(HWND window)
{
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

// A name and strings the code page cannot hold: the viewers show them as the
// registry holds them; read with the ANSI messages, as the snapshot recorded them.
TEST_F(RegView, ViewersShowNamesAndStringsAsTheRegistryHoldsThem)
{
    TRegistry before;
    TValue sz = Sz("??", "C:\\???");
    sz.exact = ExactData(std::u16string(u"C:\\\u0416\u0443\u043a") + u'\0', u"\u041f\u0443");
    TValue list{"List", 7, {'?', 0, 'b', 0, 0}};
    list.exact = ExactData(std::u16string(u"\u03a9\0b\0\0", 5));
    before.machine.subkeys.push_back(TKey{"SOFTWARE", {}, {TKey{"Pellix", {sz, list}, {}}}});
    TRegistry after;
    after.machine.subkeys.push_back(TKey{"SOFTWARE", {}, {TKey{"Pellix", {}, {}}}});
    Show(before, after);
    const struct {
        const char* recorded;
        const char* caption;
        std::wstring wideCaption, content;
    } cases[] = {
        {"??", "Registry 1 : ??", L"Registry 1 : \u041f\u0443", L"C:\\\u0416\u0443\u043a"},
        {"List", "Registry 1 : List", L"Registry 1 : List", L"\u03a9\r\nb\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.recorded);
        Select(view.LeftTree(), In(kPellix, c.recorded));
        EXPECT_EQ(Command(ID_REG_VIEW_VALUE), std::vector<std::string>{});
        HWND viewer = FindDialogOfProcess(c.caption);
        ASSERT_NE(viewer, nullptr);
        EXPECT_EQ(WideText(viewer), c.wideCaption);
        EXPECT_EQ(WideText(::GetDlgItem(viewer, IDC_REG_VALUE)), c.content);
    }
}

TEST_F(RegView, ADoubleClickOnAKeyTellsItHasNoValueAndTheTreeStillOpensOrClosesIt)
{
    Show(Before(), After());
    Select(view.LeftTree(), kPellix);
    NMHDR click{view.LeftTree().GetSafeHwnd(), kLeftTreeId, static_cast<UINT>(NM_DBLCLK)};
    LRESULT result = -1;
    EXPECT_EQ(AnsweringNotes([&]() {
                  result = view.SendMessage(WM_NOTIFY, kLeftTreeId, reinterpret_cast<LPARAM>(&click));
              }),
              std::vector<std::string>{kKeyHasNoValue});
    EXPECT_EQ(result, 0);  // the tree goes on to toggle the key
}

TEST_F(RegView, ARightClickShowsTheResultsPopupOfMenu152)
{
    Show(Before(), After());
    EXPECT_EQ(ContextMenuItems(view, true),
              (std::vector<UINT>{ID_REG_VIEW_VALUE, ID_REG_VIEW_OPPOSITE, 0, ID_EXPAND_ALL, 0, ID_NEXT_DIFFERENCE,
                                 ID_PREV_DIFFERENCE, ID_FIND, ID_FIND_NEXT, 0, ID_HIDE_NOISE, ID_FILTERS,
                                 ID_HIDE_THIS, 0, ID_RECOMPARE, ID_SHOW_OTHER_RESULT}));
}

// A key pressed in a window as a person would, and served through the
// program's own message pump, which gives modeless dialogs their keyboard.
void PressKey(HWND control, UINT vk, const std::function<bool()>& done)
{
    ::PostMessageA(control, WM_KEYDOWN, vk, 1);
    ::PostMessageA(control, WM_KEYUP, vk, 0xC0000001);
    WaitFor([&]() {
        MSG msg;
        int code = 0;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
            AppPumpMessage(code);
        return done();
    });
}

TEST_F(RegView, OneViewerPerValueHiddenByEnterOrEscapeShownAgainAndRebuiltAfterTheCloseBox)
{
    Show(Before(), After());
    auto open = [&](const char* value, const char* caption) {
        Select(view.LeftTree(), In(kPellix, value));
        Command(ID_REG_VIEW_VALUE);
        return FindWindows(::GetCurrentProcessId(), DialogWith(caption), true);
    };
    std::vector<HWND> count = open("Count", "Registry 1 : Count");
    std::vector<HWND> list = open("List", "Registry 1 : List");
    ASSERT_EQ(count.size(), 1u);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_TRUE(::IsWindowVisible(count[0]) && ::IsWindowVisible(list[0]));  // both open at once

    // Escape in the number viewer and Enter in the list's hide them.
    PressKey(::GetDlgItem(count[0], IDC_REG_VALUE), VK_ESCAPE, [&]() { return !::IsWindowVisible(count[0]); });
    PressKey(::GetDlgItem(list[0], IDC_REG_VALUE), VK_RETURN, [&]() { return !::IsWindowVisible(list[0]); });
    EXPECT_FALSE(::IsWindowVisible(count[0]));
    EXPECT_FALSE(::IsWindowVisible(list[0]));
    EXPECT_TRUE(::IsWindow(count[0]) && ::IsWindow(list[0]));

    // Asked again: the same window comes back, active, and no second one.
    EXPECT_EQ(open("Count", "Registry 1 : Count"), count);
    EXPECT_TRUE(::IsWindowVisible(count[0]));
    EXPECT_EQ(::GetActiveWindow(), count[0]);
    EXPECT_EQ(open("Count", "Registry 1 : Count"), count);

    // The close box ends the window; the next request builds a new one.
    ::SendMessageA(count[0], WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(::IsWindow(count[0]));
    std::vector<HWND> again = open("Count", "Registry 1 : Count");
    ASSERT_EQ(again.size(), 1u);
    EXPECT_TRUE(::IsWindowVisible(again[0]));
    EXPECT_EQ(GetWindowTextOf(::GetDlgItem(again[0], IDC_REG_VALUE)), "1");
    EXPECT_TRUE(::IsWindow(list[0]));  // the other viewer is untouched
}

TEST_F(RegView, ViewersCloseWithTheView)
{
    Show(Before(), After());
    Select(view.RightTree(), In(kPellix, "Path"));
    Command(ID_REG_VIEW_VALUE);
    HWND viewer = FindDialogOfProcess("Registry 2 : Path");
    ASSERT_NE(viewer, nullptr);
    view.DestroyWindow();
    EXPECT_FALSE(::IsWindow(viewer));
}

TEST_F(RegView, AViewClosedWithAShownAndAHiddenViewerEndsBoth)
{
    Show(Before(), After());
    std::vector<HWND> viewers;
    for (std::string value : {"Count", "List"}) {
        Select(view.LeftTree(), In(kPellix, value));
        Command(ID_REG_VIEW_VALUE);
        viewers.push_back(FindDialogOfProcess(("Registry 1 : " + value).c_str()));
        ASSERT_NE(viewers.back(), nullptr) << value;
    }
    PressKey(::GetDlgItem(viewers[0], IDC_REG_VALUE), VK_ESCAPE, [&]() { return !::IsWindowVisible(viewers[0]); });
    view.DestroyWindow();
    for (HWND viewer : viewers)
        EXPECT_FALSE(::IsWindow(viewer));
}

}  // namespace
