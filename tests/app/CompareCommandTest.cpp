// File > Snap Shot > Compare > File System... and > Registry... in the real
// frame: the results replace what was shown, menu 153 or 152 comes with them,
// the view fills the host, a comparison without a result leaves the frame with
// nothing shown, and the registry command then says so; each result lives as
// long as it should; the boxes of a failed registry comparison come in order
// with their captions and icons; and Help with results shown keeps them.
#include "app/MainFrame.h"

#include "compare/CompareOperation.h"
#include "compare/FSMine.h"
#include "compare/RegMine.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "tests/app/FrameFixture.h"
#include "tests/compare/FSSnapBuilder.h"
#include "tests/compare/RegSnapBuilder.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/MessageLoop.h"
#include "tests/support/Recorders.h"
#include "tests/support/SnapshotFiles.h"
#include "views/RegView.h"

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <thread>

namespace {

const uint64_t kTime = 130698651090000000ull;

// A result that tells when it is freed.
template <class Mine>
class CWatched : public Mine {
public:
    CWatched(IUserMessages& messages, bool& freed) : Mine(messages), m_freed(freed) { m_freed = false; }
    ~CWatched() override { m_freed = true; }

private:
    bool& m_freed;
};

std::unique_ptr<CCompareMine> Compared(uint32_t size1, uint32_t size2, bool* freed = nullptr)
{
    static CRecordingMessages messages;
    static bool unwatched;
    auto mine = std::make_unique<CWatched<CFSMine>>(messages, freed ? *freed : unwatched);
    CMemoryFile file1 = WriteSnapshot(TFolder{"C:", {TFile{"boot.ini", size1, kTime, kTime}}, {}});
    CMemoryFile file2 = WriteSnapshot(TFolder{"C:", {TFile{"boot.ini", size2, kTime, kTime}}, {}});
    return mine->Compare(nullptr, file1, file2) ? std::move(mine) : nullptr;
}

std::unique_ptr<CCompareMine> ComparedRegistry(bool& freed)
{
    static CRecordingMessages messages;
    auto mine = std::make_unique<CWatched<CRegMine>>(messages, freed);
    TRegistry before, after;
    before.machine.values.push_back(Dword("Count", 1));
    after.machine.values.push_back(Dword("Count", 2));
    CMemoryFile file1 = WriteSnapshot(before), file2 = WriteSnapshot(after);
    return mine->Compare(nullptr, file1, file2) ? std::move(mine) : nullptr;
}

// A frame whose comparisons hand back prepared results instead of asking,
// and which records the web pages it would open.
class CPreparedFrame : public CMainFrame {
public:
    std::deque<std::unique_ptr<CCompareMine>> results;
    std::vector<int> kinds;
    std::vector<std::string> pages;
    bool closeWhileRunning = false;

protected:
    void OpenWebPage(const char* url) override { pages.push_back(url); }

    std::unique_ptr<CCompareMine> RunComparison(int kind, const std::string*) override
    {
        kinds.push_back(kind);
        if (closeWhileRunning)
            SendMessage(WM_CLOSE);  // the close box while the worker runs
        std::unique_ptr<CCompareMine> result = std::move(results.front());
        results.pop_front();
        return result;
    }
};

std::vector<std::string> MenuBar(HWND frame)
{
    std::vector<std::string> texts;
    HMENU menu = ::GetMenu(frame);
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        char text[64] = "";
        ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        texts.push_back(text);
    }
    return texts;
}

// The command ids of the menu bar's popup at position.
std::vector<UINT> PopupItems(HWND frame, int position)
{
    std::vector<UINT> ids;
    HMENU popup = ::GetSubMenu(::GetMenu(frame), position);
    for (int i = 0; i < ::GetMenuItemCount(popup); ++i)
        ids.push_back(::GetMenuItemID(popup, i));
    return ids;
}

std::string RootText(CTreeCtrl& tree)
{
    return tree.GetItemText(tree.GetRootItem());
}

using CompareCommand = CFrameFixture<CPreparedFrame>;

TEST_F(CompareCommand, ShowsTheResultsWithTheirMenuAndReplacesThemWithTheNext)
{
    HWND h = frame.GetSafeHwnd();
    frame.results.push_back(Compared(10, 12));
    frame.results.push_back(Compared(10, 14));
    frame.SendMessage(WM_COMMAND, ID_COMPARE_FILESYSTEM);

    EXPECT_EQ(frame.kinds, std::vector<int>{1});
    EXPECT_FALSE(frame.IsOperationRunning());
    EXPECT_EQ(MenuBar(h), (std::vector<std::string>{"&File", "&Results", "&View", "&Help"}));
    EXPECT_TRUE(::IsZoomed(h));
    CCompareView* view = frame.Host().GetView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(RootText(view->LeftTree()), "File System 1");
    EXPECT_EQ(RootText(view->RightTree()), "File System 2");
    // The view covers the whole host, also after the frame is resized.
    frame.MoveWindow(10, 10, 500, 400, TRUE);
    RECT host, shown;
    frame.Host().GetClientRect(&host);
    view->GetClientRect(&shown);
    EXPECT_EQ(shown.right, host.right);
    EXPECT_EQ(shown.bottom, host.bottom);
    // The trees paint themselves: the root's text is drawn in the left one.
    ServePending();
    bool inked = false;
    HDC dc = ::GetDC(view->LeftTree());
    for (int y = 0; y < 16 && !inked; ++y)
        for (int x = 0; x < 200 && !inked; ++x)
            inked = ::GetPixel(dc, x, y) == RGB(0, 0, 0);
    ::ReleaseDC(view->LeftTree(), dc);
    EXPECT_TRUE(inked) << "the left tree was never painted";
    // The results menu's commands reach the view through the frame.
    frame.SendMessage(WM_COMMAND, ID_EXPAND_ALL);
    EXPECT_TRUE(view->LeftTree().GetItemState(view->LeftTree().GetRootItem(), TVIS_EXPANDED) & TVIS_EXPANDED);

    frame.SendMessage(WM_COMMAND, ID_COMPARE_FILESYSTEM);
    CCompareView* next = frame.Host().GetView();
    ASSERT_NE(next, nullptr);
    EXPECT_FALSE(next->LeftTree().GetItemState(next->LeftTree().GetRootItem(), TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_EQ(MenuBar(h), (std::vector<std::string>{"&File", "&Results", "&View", "&Help"}));
}

TEST_F(CompareCommand, WithoutAResultNothingIsShownAndTheFirstMenuIsBack)
{
    HWND h = frame.GetSafeHwnd();
    frame.results.push_back(Compared(10, 12));
    frame.results.push_back(nullptr);  // cancelled, or failed and told
    frame.SendMessage(WM_COMMAND, ID_COMPARE_FILESYSTEM);
    ASSERT_NE(frame.Host().GetView(), nullptr);
    frame.SendMessage(WM_COMMAND, ID_COMPARE_FILESYSTEM);
    EXPECT_EQ(frame.Host().GetView(), nullptr);
    EXPECT_EQ(MenuBar(h), (std::vector<std::string>{"&File", "&View", "&Help"}));
    EXPECT_FALSE(frame.IsOperationRunning());
}

TEST_F(CompareCommand, TheCloseBoxDuringTheComparisonClosesTheFrameWhenItHasEnded)
{
    HWND h = frame.GetSafeHwnd();
    frame.results.push_back(Compared(10, 12));
    frame.closeWhileRunning = true;
    frame.SendMessage(WM_COMMAND, ID_COMPARE_FILESYSTEM);
    EXPECT_TRUE(::IsWindow(h));  // the results are shown first
    EXPECT_NE(frame.Host().GetView(), nullptr);
    EXPECT_TRUE(ServeUntil([&]() { return !::IsWindow(h); }));
    EXPECT_EQ(app.GetMainWnd(), nullptr);
}

TEST_F(CompareCommand, ARegistryResultComesWithMenu152AndGoesWithTheNextComparisonOfEitherKind)
{
    HWND h = frame.GetSafeHwnd();
    bool regFreed = false;
    frame.results.push_back(ComparedRegistry(regFreed));
    frame.SendMessage(WM_COMMAND, ID_COMPARE_REGISTRY);
    EXPECT_EQ(frame.kinds, std::vector<int>{0});
    EXPECT_EQ(MenuBar(h), (std::vector<std::string>{"&File", "&Results", "&View", "&Help"}));
    EXPECT_EQ(PopupItems(h, 1),
              (std::vector<UINT>{ID_REG_VIEW_VALUE, ID_REG_VIEW_OPPOSITE, 0, ID_EXPAND_ALL, 0, ID_NEXT_DIFFERENCE,
                                 ID_PREV_DIFFERENCE, ID_FIND, ID_FIND_NEXT, 0, ID_HIDE_NOISE, ID_FILTERS,
                                 ID_HIDE_THIS, 0, ID_RECOMPARE, ID_SHOW_OTHER_RESULT}));
    auto* view = dynamic_cast<CRegView*>(frame.Host().GetView());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(RootText(view->LeftTree()), "Registry 1");
    EXPECT_EQ(RootText(view->RightTree()), "Registry 2");
    EXPECT_TRUE(::IsZoomed(h));
    EXPECT_FALSE(regFreed);

    // A file-system comparison, even one that brings nothing back, frees it.
    frame.results.push_back(nullptr);
    frame.SendMessage(WM_COMMAND, ID_COMPARE_FILESYSTEM);
    EXPECT_TRUE(regFreed);
    EXPECT_EQ(frame.Host().GetView(), nullptr);
    EXPECT_EQ(MenuBar(h), (std::vector<std::string>{"&File", "&View", "&Help"}));
}

TEST_F(CompareCommand, AFileSystemResultStaysUntilTheNextOneReplacesIt)
{
    bool fsFreed = false, nextFreed = false, regFreed = false;
    frame.results.push_back(Compared(10, 12, &fsFreed));
    frame.SendMessage(WM_COMMAND, ID_COMPARE_FILESYSTEM);
    // A registry comparison closes its view but keeps it; so does a
    // file-system comparison without a result.
    frame.results.push_back(ComparedRegistry(regFreed));
    frame.SendMessage(WM_COMMAND, ID_COMPARE_REGISTRY);
    ASSERT_NE(dynamic_cast<CRegView*>(frame.Host().GetView()), nullptr);
    frame.results.push_back(nullptr);
    frame.SendMessage(WM_COMMAND, ID_COMPARE_FILESYSTEM);
    EXPECT_FALSE(fsFreed);
    EXPECT_TRUE(regFreed);
    frame.results.push_back(Compared(10, 14, &nextFreed));
    frame.SendMessage(WM_COMMAND, ID_COMPARE_FILESYSTEM);
    EXPECT_TRUE(fsFreed);
    EXPECT_FALSE(nextFreed);
}

// Answers the two Open dialogs with the paths (an empty one cancels), then
// every box of the comparison with OK, until the command has returned.
std::vector<SeenDialog> AnswerAsAPerson(CMainFrame& frame, UINT command, std::vector<std::string> paths)
{
    std::atomic<bool> returned{false};
    std::vector<SeenDialog> boxes;
    std::thread person([&]() {
        for (size_t i = 0; i < paths.size(); ++i) {
            const char* title = i == 0 ? kSelectSnapshot1 : kSelectSnapshot2;
            HWND dialog = nullptr;
            if (!WaitFor([&]() { return returned || (dialog = FindDialogOfProcess(title)) != nullptr; }) || !dialog)
                return;
            if (paths[i].empty()) {
                PressButton(dialog, IDCANCEL);
            } else {
                ::SetDlgItemTextA(dialog, 0x47C, paths[i].c_str());
                PressButton(dialog, IDOK);
            }
            WaitFor([&]() { return !::IsWindow(dialog); });
        }
        while (!returned) {
            HWND box = nullptr;
            WaitFor([&]() {
                if (returned)
                    return true;
                for (const char* caption : {"Corvane", "Pellix Corvane"})
                    if ((box = FindDialogOfProcess(caption)) != nullptr && ::GetDlgItem(box, 0xFFFF))
                        return true;
                box = nullptr;
                return false;
            });
            if (!box)
                continue;
            boxes.push_back(ReadDialog(box));
            PressButton(box, IDOK);
            WaitFor([&]() { return !::IsWindow(box); });
        }
    });
    frame.SendMessage(WM_COMMAND, command);
    returned = true;
    person.join();
    return boxes;
}

std::vector<std::string> Boxes(const std::vector<SeenDialog>& seen)
{
    std::vector<std::string> lines;
    for (const SeenDialog& box : seen)
        lines.push_back(box.caption + " | " + box.icon + " | " + box.MessageText());
    return lines;
}

std::string SnapshotOfADrive(const char* name)
{
    char dir[MAX_PATH];
    ::GetTempPathA(MAX_PATH, dir);
    std::string path = std::string(dir) + name;
    SaveSnapshot(path, WriteSnapshot(TFolder{"C:", {TFile{"boot.ini", 1, kTime, kTime}}, {}}));
    return path;
}

struct BoxesCase {
    const char* name;
    UINT command;
    int chosen;  // files chosen before a dialog is cancelled; 2: none cancelled
    std::vector<std::string> boxes;
};

class RegistryCompareBoxes : public CFrameFixture<CMainFrame>, public ::testing::WithParamInterface<BoxesCase> {};

TEST_P(RegistryCompareBoxes, ComeInOrderWithTheirCaptionsAndIcons)
{
    const BoxesCase& c = GetParam();
    std::vector<std::string> drives = {SnapshotOfADrive("corvane-command-drive1.tvrec"),
                                       SnapshotOfADrive("corvane-command-drive2.tvrec")};
    std::vector<std::string> answers = drives;
    if (c.chosen < 2)
        answers[static_cast<size_t>(c.chosen)].clear();
    answers.resize(static_cast<size_t>(c.chosen) + (c.chosen < 2 ? 1 : 0));
    std::vector<SeenDialog> seen = AnswerAsAPerson(frame, c.command, answers);
    for (const std::string& path : drives)
        ::DeleteFileA(path.c_str());
    EXPECT_EQ(Boxes(seen), c.boxes);
    EXPECT_EQ(frame.Host().GetView(), nullptr);
    EXPECT_FALSE(frame.IsOperationRunning());
}

const std::string kFrameFailed = std::string("Pellix Corvane |  | ") + kComparisonFailed;

INSTANTIATE_TEST_SUITE_P(
    Failures, RegistryCompareBoxes,
    ::testing::Values(
        BoxesCase{"fileSystemSnapshotsOffered",
                  ID_COMPARE_REGISTRY,
                  2,
                  {std::string("Pellix Corvane | information | ") + kRegNotASnapshot,
                   std::string("Corvane | exclamation | ") + kReadErrorFile1,
                   std::string("Corvane | exclamation | ") + kComparisonFailed, kFrameFailed}},
        BoxesCase{"firstDialogCancelled", ID_COMPARE_REGISTRY, 0, {kFrameFailed}},
        BoxesCase{"secondDialogCancelled", ID_COMPARE_REGISTRY, 1, {kFrameFailed}},
        BoxesCase{"fileSystemCommandCancelled", ID_COMPARE_FILESYSTEM, 0, {}}),
    [](const ::testing::TestParamInfo<BoxesCase>& test) { return std::string(test.param.name); });

// Help with results shown opens the help page and leaves the results, their
// menu and their view as they were.
struct HelpCase {
    const char* name;
    UINT compare;
};

class HelpWithResults : public CFrameFixture<CPreparedFrame>, public ::testing::WithParamInterface<HelpCase> {};

TEST_P(HelpWithResults, OpensTheHelpPageAndKeepsTheResults)
{
    HWND h = frame.GetSafeHwnd();
    bool freed = false;
    frame.results.push_back(GetParam().compare == ID_COMPARE_REGISTRY ? ComparedRegistry(freed)
                                                                      : Compared(10, 12, &freed));
    frame.SendMessage(WM_COMMAND, GetParam().compare);
    CCompareView* view = frame.Host().GetView();
    ASSERT_NE(view, nullptr);
    std::vector<std::string> menu = MenuBar(h);
    std::vector<UINT> results = PopupItems(h, 1);
    frame.SendMessage(WM_COMMAND, ID_HELP_INDEX);
    EXPECT_EQ(frame.pages, (std::vector<std::string>{kHelpPage}));
    EXPECT_EQ(frame.Host().GetView(), view);
    EXPECT_EQ(RootText(view->LeftTree()), GetParam().compare == ID_COMPARE_REGISTRY ? "Registry 1" : "File System 1");
    EXPECT_EQ(MenuBar(h), menu);
    EXPECT_EQ(PopupItems(h, 1), results);
    EXPECT_FALSE(freed);
    EXPECT_FALSE(frame.IsOperationRunning());
}

INSTANTIATE_TEST_SUITE_P(Kinds, HelpWithResults,
                         ::testing::Values(HelpCase{"fileSystem", ID_COMPARE_FILESYSTEM},
                                           HelpCase{"registry", ID_COMPARE_REGISTRY}),
                         [](const ::testing::TestParamInfo<HelpCase>& test) { return std::string(test.param.name); });

}  // namespace
