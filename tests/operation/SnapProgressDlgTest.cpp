// The progress window with its real template: controls, bar placement, the
// timer refresh and its animation, the lock shared with other windows, and
// the waiting refresh from a worker thread.
#include "operation/SnapProgressDlg.h"

#include "res/resource.h"
#include "operation/ProgressMessages.h"
#include "tests/support/MessageLoop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

namespace {

class Window : public CSnapProgressDlg {
public:
    using CSnapProgressDlg::CSnapProgressDlg;
    HICON Frame(int i) const { return m_hAnimation[i]; }
};

// Serves this thread's messages until the window's refresh timer has ticked
// that many times more.
bool ServeTicks(const CSnapProgressDlg& w, int ticks)
{
    return ServeTimerTicks(w.GetSafeHwnd(), kProgressTimerId, ticks);
}

// Runs `work` on a worker thread and serves this thread's messages until it ended.
template <typename Work>
void RunOnWorker(Work work)
{
    std::atomic<bool> done{false};
    std::thread worker([&]() {
        work();
        done = true;
    });
    EXPECT_TRUE(ServeUntil([&]() { return done.load(); })) << "the worker did not end";
    worker.join();
}

std::string Text(HWND dlg, int id) { return GetWindowTextOf(::GetDlgItem(dlg, id)); }
HICON ShownIcon(HWND dlg, int id)
{
    return reinterpret_cast<HICON>(::SendDlgItemMessageA(dlg, id, STM_GETICON, 0, 0));
}

TEST(SnapProgressDlg, OpensWithTheTemplateTheIconsAndTheBarBelowTheStatusLine)
{
    Window w(TRUE);
    for (int i = 0; i < 4; ++i)
        ASSERT_NE(w.Frame(i), nullptr) << "animation frame " << i;
    ASSERT_TRUE(w.Create(IDI_FILESYSTEM_OP, nullptr));
    HWND h = w.GetSafeHwnd();
    EXPECT_TRUE(::IsWindowVisible(h));
    EXPECT_EQ(GetWindowTextOf(h), "Corvane");
    EXPECT_EQ(Text(h, IDC_PROGRESS_TITLE), "Creating Snapshot...");
    EXPECT_EQ(Text(h, IDC_PROGRESS_STATUS), "");
    EXPECT_NE(ShownIcon(h, IDC_PROGRESS_OPICON), nullptr);
    EXPECT_EQ(ShownIcon(h, IDC_PROGRESS_ANIMATION), w.Frame(0));

    RECT anim;
    ::GetWindowRect(::GetDlgItem(h, IDC_PROGRESS_ANIMATION), &anim);
    EXPECT_EQ(anim.right - anim.left, 48);
    EXPECT_EQ(anim.bottom - anim.top, 48);

    HWND bar = w.GetBarWindow();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(::GetParent(bar), h);
    RECT status, barRect;
    ::GetWindowRect(::GetDlgItem(h, IDC_PROGRESS_STATUS), &status);
    ::GetWindowRect(bar, &barRect);
    EXPECT_EQ(barRect.top, status.bottom + 10);
    EXPECT_EQ(barRect.bottom, status.bottom + 30);
    EXPECT_EQ(barRect.left, status.left);
    EXPECT_EQ(barRect.right, status.right);
    w.DestroyWindow();
    EXPECT_FALSE(::IsWindow(h));
}

TEST(SnapProgressDlg, TheTimerShowsTheValuesAndMovesTheAnimation)
{
    Window w(TRUE);
    ASSERT_TRUE(w.Create(IDI_REGISTRY_OP, nullptr));
    HWND h = w.GetSafeHwnd();
    w.SetStatusText("C:\\Windows");
    w.SetPercent(42.7f);
    std::set<HICON> seen;
    EXPECT_TRUE(ServeUntil([&]() {
        seen.insert(ShownIcon(h, IDC_PROGRESS_ANIMATION));
        return seen.size() == 4;
    })) << "the animation showed " << seen.size() << " of its 4 frames";
    // Until a worker sets a title, the template's title gives way to an empty one.
    EXPECT_EQ(Text(h, IDC_PROGRESS_TITLE), "");
    EXPECT_EQ(Text(h, IDC_PROGRESS_STATUS), "C:\\Windows");
    EXPECT_EQ(::SendMessageA(w.GetBarWindow(), WM_BAR_GETPOS, 0, 0), 42);
    EXPECT_EQ(seen.size(), 4u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(seen.count(w.Frame(i)), 1u);
}

TEST(SnapProgressDlg, WhileTheLockIsHeldElsewhereSettersAndTicksDoNothing)
{
    Window w(TRUE);
    ASSERT_TRUE(w.Create(IDI_FILESYSTEM_OP, nullptr));
    HWND h = w.GetSafeHwnd();
    w.SetStatusText("old");
    ASSERT_TRUE(w.Refresh(true));
    HICON frame = ShownIcon(h, IDC_PROGRESS_ANIMATION);

    CNamedSemaphore other("snapprogress", 1, 1);
    ASSERT_TRUE(other.Lock(0));
    w.SetStatusText("dropped");
    w.SetPercent(90);
    ASSERT_TRUE(ServeTicks(w, 3));
    EXPECT_EQ(Text(h, IDC_PROGRESS_STATUS), "old");
    EXPECT_EQ(ShownIcon(h, IDC_PROGRESS_ANIMATION), frame);
    EXPECT_EQ(::SendMessageA(w.GetBarWindow(), WM_BAR_GETPOS, 0, 0), 0);
    other.Unlock(1);

    // A worker's waiting refresh shows its latest values before it returns.
    bool refreshed = false;
    RunOnWorker([&]() {
        w.SetTitleText("Creating snap shot of file system...");
        w.SetStatusText("newer");
        w.SetPercent(64.2f);
        refreshed = w.Refresh(true);
    });
    EXPECT_TRUE(refreshed);
    EXPECT_EQ(Text(h, IDC_PROGRESS_TITLE), "Creating snap shot of file system...");
    EXPECT_EQ(Text(h, IDC_PROGRESS_STATUS), "newer");
    EXPECT_EQ(::SendMessageA(w.GetBarWindow(), WM_BAR_GETPOS, 0, 0), 64);
}

TEST(SnapProgressDlg, WithBarUpdatesOffTheBarMovesOnlyByItsMessages)
{
    Window w(FALSE);
    ASSERT_TRUE(w.Create(IDI_FILESYSTEM_OP, nullptr));
    RunOnWorker([&]() {
        w.BarSetPos(30);
        w.SetPercent(80);
        w.Refresh(true);
    });
    ASSERT_TRUE(ServeTicks(w, 2));
    EXPECT_EQ(w.BarGetPos(), 30);
}

TEST(SnapProgressDlg, NeitherEnterNorEscapeClosesIt)
{
    Window w(TRUE);
    ASSERT_TRUE(w.Create(IDI_FILESYSTEM_OP, nullptr));
    HWND h = w.GetSafeHwnd();
    ::PostMessageA(h, WM_COMMAND, IDCANCEL, 0);
    ::PostMessageA(h, WM_COMMAND, IDOK, 0);
    ::PostMessageA(h, WM_SYSCOMMAND, SC_CLOSE, 0);
    ServePending();
    EXPECT_TRUE(::IsWindow(h));
    EXPECT_TRUE(::IsWindowVisible(h));
}

}  // namespace
