// File > Snap Shot > Compare > File System... in the real frame: the results
// replace what was shown, menu 153 comes with them, the view fills the host,
// and a comparison without a result leaves the frame with nothing shown.
#include "app/MainFrame.h"

#include "compare/FSMine.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "tests/app/FrameFixture.h"
#include "tests/compare/FSSnapBuilder.h"
#include "tests/support/MessageLoop.h"
#include "tests/support/Recorders.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

const uint64_t kTime = 130698651090000000ull;

std::unique_ptr<CCompareMine> Compared(uint32_t size1, uint32_t size2)
{
    static CRecordingMessages messages;
    auto mine = std::make_unique<CFSMine>(messages);
    CMemoryFile file1 = WriteSnapshot(TFolder{"C:", {TFile{"boot.ini", size1, kTime, kTime}}, {}});
    CMemoryFile file2 = WriteSnapshot(TFolder{"C:", {TFile{"boot.ini", size2, kTime, kTime}}, {}});
    return mine->Compare(nullptr, file1, file2) ? std::move(mine) : nullptr;
}

// A frame whose comparisons hand back prepared results instead of asking.
class CPreparedFrame : public CMainFrame {
public:
    std::deque<std::unique_ptr<CCompareMine>> results;
    std::vector<int> kinds;
    bool closeWhileRunning = false;

protected:
    std::unique_ptr<CCompareMine> RunComparison(int kind) override
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

}  // namespace
