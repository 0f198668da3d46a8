// The results' commands of the window on a real registry comparison of two
// snapshot files that hold noise, what the user's own patterns name and
// ordinary changes: given as the menus and keys give them, the dialogs
// answered by a helper thread as a person would, both trees read back after
// each step, and what is saved held against corvane-diff's bytes for the same
// pair and patterns.
#include "app/MainFrame.h"
#include "compare/CompareOperation.h"
#include "tests/app/DialogSteps.h"
#include "tests/app/FrameFixture.h"
#include "tests/compare/RegSnapBuilder.h"
#include "tests/support/DriveFixture.h"
#include "tests/support/SnapshotFiles.h"
#include "tests/views/ViewTesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

std::string TempPath(const char* name)
{
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

// The Open dialogs of a comparison answered with the frame's two files.
class CGivenFilesOperation : public CCompareOperation {
public:
    explicit CGivenFilesOperation(const std::string* files) : m_files(files) {}

protected:
    bool AskForSnapshot(CFileDialog&, const char* title, std::string& path) override
    {
        path = m_files[std::string(title) == kSelectSnapshot1 ? 0 : 1];
        return true;
    }

private:
    const std::string* m_files;
};

class CTestFrame : public CMainFrame {
public:
    std::string files[2] = {TempPath("corvane results 1.tvrec"), TempPath("corvane results 2.tvrec")};

protected:
    std::unique_ptr<CCompareMine> RunComparison(int kind, const std::string* given) override
    {
        CGivenFilesOperation operation(files);
        std::unique_ptr<CCompareMine> result = operation.Start(this, kind, given);
        m_strComparedFiles[0] = operation.File(1);
        m_strComparedFiles[1] = operation.File(2);
        return result;
    }
};

// Noise of a running system (the random seed, what the shell records), a
// key of a cache that the user hides, a new key of plug-ins, and a version.
TRegistry Registry(bool after, const char* version)
{
    TRegistry r;
    TKey vendor{"Vendor", {Sz("Version", version)}, {TKey{"Cache", {Dword("Entry", after ? 2 : 1)}, {}}}};
    if (after)
        vendor.subkeys.push_back(TKey{"Plugins", {Dword("Tool", 1)}, {}});
    TKey rng{"Microsoft", {}, {TKey{"Cryptography", {}, {TKey{"RNG", {Dword("Seed", after ? 2 : 1)}, {}}}}}};
    r.machine.subkeys.push_back(TKey{"Software", {}, {rng, vendor}});
    TKey assist{"UserAssist", {Dword("Count", after ? 2 : 1)}, {}};
    TKey explorer{"Explorer", {}, {assist}};
    TKey windows{"Windows", {}, {TKey{"CurrentVersion", {}, {explorer}}}};
    r.users.subkeys.push_back(TKey{".DEFAULT", {}, {TKey{"Software", {}, {TKey{"Microsoft", {}, {windows}}}}}});
    return r;
}

const char kSeed[] = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Cryptography\\RNG\\Seed";
const char kEntry[] = "HKEY_LOCAL_MACHINE\\Software\\Vendor\\Cache\\Entry";
const char kTool[] = "HKEY_LOCAL_MACHINE\\Software\\Vendor\\Plugins\\Tool";
const char kVersion[] = "HKEY_LOCAL_MACHINE\\Software\\Vendor\\Version";
const char kAssist[] = "HKEY_USERS\\.DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist";
const std::string kCount = std::string(kAssist) + "\\Count";

// The path below the root of a tree's entry.
std::string PathOf(const CTreeCtrl& tree, HTREEITEM entry)
{
    std::string path;
    for (; entry && tree.GetParentItem(entry); entry = tree.GetParentItem(entry))
        path = tree.GetItemText(entry) + (path.empty() ? "" : "\\" + path);
    return path;
}

// Every entry of a tree without entries below it, by its path, in order.
std::vector<std::string> Leaves(const CTreeCtrl& tree)
{
    std::vector<std::string> leaves;
    std::function<void(HTREEITEM)> walk = [&](HTREEITEM at) {
        for (; at; at = tree.GetNextSiblingItem(at)) {
            if (HTREEITEM child = tree.GetChildItem(at))
                walk(child);
            else
                leaves.push_back(PathOf(tree, at));
        }
    };
    walk(tree.GetChildItem(tree.GetRootItem()));
    return leaves;
}

// Answers a file dialog: the file type, then the name, then Save or Open.
void AnswerFileDialog(const char* caption, const std::string& path, int type = 0)
{
    HWND dialog = WaitForDialog(caption);
    ASSERT_NE(dialog, nullptr) << caption;
    if (type > 0) {
        HWND types = ::GetDlgItem(dialog, 0x470);
        ::SendMessageA(types, CB_SETCURSEL, static_cast<WPARAM>(type - 1), 0);
        for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
            ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(0x470, code), reinterpret_cast<LPARAM>(types));
    }
    SetText(dialog, 0x47C, path);
    PressButton(dialog, IDOK);
    ASSERT_TRUE(WaitGone(dialog)) << caption;
}

class ResultsCommands : public CFrameFixture<CTestFrame> {
protected:
    void SetUp() override
    {
        CFrameFixture::SetUp();
        ASSERT_TRUE(SaveSnapshot(frame.files[0], WriteSnapshot(Registry(false, "1"))));
        ASSERT_TRUE(SaveSnapshot(frame.files[1], WriteSnapshot(Registry(true, "2"))));
        frame.SendMessage(WM_COMMAND, ID_COMPARE_REGISTRY);
        ServePending();
        ASSERT_NE(View(), nullptr);
    }
    void TearDown() override
    {
        CFrameFixture::TearDown();
        for (const std::string& file : frame.files)
            ::DeleteFileA(file.c_str());
    }
    CCompareView* View() { return frame.Host().GetView(); }
    std::string HiddenPane()
    {
        HWND bar = frame.GetDlgItem(kIdStatusBar);
        if (::SendMessageA(bar, SB_GETPARTS, 0, 0) < 2)
            return "";
        char text[100] = "";
        ::SendMessageA(bar, SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(text));
        return text;
    }
    void Command(UINT id)
    {
        frame.SendMessage(WM_COMMAND, id);
        ServePending();
    }
    // corvane-diff's output for the pair with the frame's patterns.
    std::string Diff(const std::string& options, const std::string& patterns)
    {
        const std::string patternFile = TempPath("corvane results patterns.txt");
        std::FILE* f = std::fopen(patternFile.c_str(), "wb");
        std::fwrite(patterns.data(), 1, patterns.size(), f);
        std::fclose(f);
        std::string diff = "Z:" CORVANE_DIFF_EXE;
        std::replace(diff.begin(), diff.end(), '/', '\\');
        DWORD code = 0;
        std::string out = RunProgram(diff, options + " --exclude-from \"" + patternFile + "\" \"" + frame.files[0] +
                                               "\" \"" + frame.files[1] + "\"", code);
        EXPECT_EQ(code, 1u) << options;
        return out;
    }
};

// What each filter hides, in turn on the same result: the noise, a pattern
// file with a byte-order mark whose bad line is refused first, a folder
// hidden from the context menu, and the noise back. The hidden count is said
// while anything is hidden, and every save writes what corvane-diff writes.
TEST_F(ResultsCommands, FiltersHideAtOnceAndSavesWriteWhatTheToolWrites)
{
    const std::string badFile = TempPath("corvane results bad.txt");
    std::FILE* f = std::fopen(badFile.c_str(), "wb");
    const std::string bad = "\xEF\xBB\xBF# the cache\r\n**\\Cache\r\nHKEY_USERS\\\\Software\r\n";
    std::fwrite(bad.data(), 1, bad.size(), f);
    std::fclose(f);
    std::string refusal;
    struct Step {
        const char* name;
        std::function<void()> act;
        std::vector<std::string> left, right;
        std::string hidden;
    } steps[] = {
        {"as compared", [] {}, {kSeed, kEntry, kVersion, kCount}, {kSeed, kEntry, kTool, kVersion, kCount}, ""},
        // RNG and its two empty keys above it, and the whole of HKEY_USERS,
        // which held nothing else: 4 + 9 entries a tree.
        {"Hide Noise", [&] { Command(ID_HIDE_NOISE); }, {kEntry, kVersion}, {kEntry, kTool, kVersion},
         "26 entries hidden"},
        {"Filters: a file loaded, its bad line refused, then taken without it",
         [&] {
             CDialogSteps person("Filters", [&](HWND h) {
                 PressButton(h, IDC_FILTER_LOAD);
                 AnswerFileDialog("Open", badFile);
                 WaitServing(h);
                 PressButton(h, IDOK);
                 refusal = AnswerBox("Pellix Corvane", IDOK);
                 SetText(h, IDC_FILTER_PATTERNS, "**\\Cache\r\n");
                 PressButton(h, IDOK);
             });
             Command(ID_FILTERS);
         },
         {kVersion}, {kTool, kVersion}, "30 entries hidden"},
        {"Hide This on a key of the right tree",
         [&] {
             CTreeCtrl& right = View()->RightTree();
             right.SetFocus();
             right.SelectItem(FindEntry(right, {"HKEY_LOCAL_MACHINE", "Software", "Vendor", "Plugins"}));
             Command(ID_HIDE_THIS);
         },
         {kVersion}, {kVersion}, "32 entries hidden"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.act();
        EXPECT_EQ(Leaves(View()->LeftTree()), step.left);
        EXPECT_EQ(Leaves(View()->RightTree()), step.right);
        EXPECT_EQ(HiddenPane(), step.hidden);
    }
    EXPECT_EQ(refusal, "The filters were not changed: line 3: the pattern \"HKEY_USERS\\\\Software\" can match "
                       "nothing: it holds an empty name (a backslash at its start, or two in a row).");
    EXPECT_EQ(frame.Patterns(), "**\\Cache\r\nHKEY_LOCAL_MACHINE\\Software\\Vendor\\Plugins\r\n");

    // Saved as shown: each report type, and the undo patch.
    const std::string patterns = frame.Patterns();
    struct Save {
        UINT command;
        const char* dialog;
        int type;
        const char* options;
    } saves[] = {
        {ID_SAVE_REPORT, "Save Report", 1, "--noise"},
        {ID_SAVE_REPORT, "Save Report", 2, "--noise --format csv"},
        {ID_SAVE_REPORT, "Save Report", 3, "--noise --format json"},
        {ID_SAVE_REPORT, "Save Report", 4, "--noise --format html"},
        {ID_SAVE_REG_PATCH, "Save Registry Patch", 2, "--noise --format reg --reverse"},
    };
    for (const Save& save : saves) {
        SCOPED_TRACE(save.options);
        const std::string out = TempPath("corvane results saved.out");
        ::DeleteFileA(out.c_str());
        CDialogSteps person(save.dialog, [&](HWND) { AnswerFileDialog(save.dialog, out, save.type); });
        Command(save.command);
        person.Join();
        std::vector<uint8_t> saved = ReadWholeFile(out);
        EXPECT_EQ(std::string(saved.begin(), saved.end()), Diff(save.options, patterns));
        ::DeleteFileA(out.c_str());
    }

    // A save over a snapshot of the result, confirmed, is refused and leaves it as it was.
    const std::vector<uint8_t> snapshot = ReadWholeFile(frame.files[1]);
    std::string told;
    CDialogSteps person("Save Report", [&](HWND dialog) {
        SetText(dialog, 0x47C, frame.files[1]);
        PressButton(dialog, IDOK);
        HWND replace = WaitForWindow(::GetCurrentProcessId(), DialogWith("Save Report", 0xFFFF));
        PressButton(replace, IDYES);
        told = AnswerBox("Pellix Corvane", IDOK);
    });
    Command(ID_SAVE_REPORT);
    person.Join();
    EXPECT_EQ(told, "ERROR: " + frame.files[1] + " is a snap shot of the result shown. It is not replaced.");
    EXPECT_EQ(ReadWholeFile(frame.files[1]), snapshot);

    Command(ID_HIDE_NOISE);
    EXPECT_EQ(Leaves(View()->LeftTree()), (std::vector<std::string>{kSeed, kVersion, kCount}));
    EXPECT_EQ(HiddenPane(), "6 entries hidden");
    ::DeleteFileA(badFile.c_str());
}

// Next, Previous and Find from the selection of the focused tree, across
// keys and at both ends; Re-Compare after the second file was taken again.
TEST_F(ResultsCommands, NextPreviousFindAndRecompare)
{
    struct Move {
        UINT command;
        const char* find;
        std::string selected, told;
    } moves[] = {
        {ID_NEXT_DIFFERENCE, nullptr, kSeed, ""},
        {ID_NEXT_DIFFERENCE, nullptr, kEntry, ""},
        {ID_FIND, "userASSIST", kAssist, ""},
        {ID_NEXT_DIFFERENCE, nullptr, kCount, ""},
        {ID_NEXT_DIFFERENCE, nullptr, kCount, "There is no next difference below the selection."},
        {ID_PREV_DIFFERENCE, nullptr, kVersion, ""},
        {ID_FIND_NEXT, nullptr, kAssist, ""},
        {ID_FIND, "no such name", kAssist, "Cannot find \"no such name\" below the selection."},
        {ID_PREV_DIFFERENCE, nullptr, kVersion, ""},
        {ID_PREV_DIFFERENCE, nullptr, kEntry, ""},
        {ID_PREV_DIFFERENCE, nullptr, kSeed, ""},
        {ID_PREV_DIFFERENCE, nullptr, kSeed, "There is no previous difference above the selection."},
    };
    for (const Move& move : moves) {
        SCOPED_TRACE(move.selected + " " + move.told);
        std::string told;
        std::unique_ptr<CDialogSteps> find, note;
        if (move.find)
            find = std::make_unique<CDialogSteps>("Find", [&](HWND h) {
                SetText(h, IDC_FIND_TEXT, move.find);
                PressButton(h, IDOK);
            });
        if (!move.told.empty())
            note = std::make_unique<CDialogSteps>("Pellix Corvane", [&](HWND h) {
                told = ReadDialog(h).MessageText();
                PressButton(h, IDOK);
            });
        Command(move.command);
        find.reset();
        note.reset();
        CTreeCtrl& left = View()->LeftTree();
        EXPECT_EQ(::GetFocus(), left.GetSafeHwnd());
        EXPECT_EQ(PathOf(left, left.GetSelectedItem()), move.selected);
        EXPECT_EQ(told, move.told);
    }

    // The second file taken again: a value more, the result compared anew
    // without a question, the filters kept.
    Command(ID_HIDE_NOISE);
    TRegistry again = Registry(true, "2");
    again.machine.subkeys[0].subkeys[1].values.push_back(Dword("Added", 7));
    ASSERT_TRUE(SaveSnapshot(frame.files[1], WriteSnapshot(again)));
    Command(ID_RECOMPARE);
    EXPECT_EQ(Leaves(View()->RightTree()),
              (std::vector<std::string>{kEntry, kTool, kVersion, "HKEY_LOCAL_MACHINE\\Software\\Vendor\\Added"}));
    EXPECT_EQ(HiddenPane(), "26 entries hidden");
}

}  // namespace
