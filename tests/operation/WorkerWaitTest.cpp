// The worker of an operation and the user-interface thread's wait for it: a
// worker that steps the bar once per record ends its operation with the bar
// where the steps sum to and nothing left in the queue; a failure nothing
// handled is told in one box; the shared progress lock held elsewhere for good
// costs a progress line at most.
#include "operation/WorkerWait.h"

#include "framework/NamedSemaphore.h"
#include "operation/ProgressMessages.h"
#include "operation/SnapProgressDlg.h"
#include "res/resource.h"
#include "seams/Abort.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/WaitFor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <stdexcept>
#include <thread>

namespace {

const CWorkerFailureTexts kTexts = {"out of memory text", "unexpected text"};

// Counts the step messages that reach a bar window, by subclassing it.
struct StepCounter {
    static StepCounter* active;
    WNDPROC original = nullptr;
    HWND bar = nullptr;
    unsigned messages = 0;
    unsigned long long steps = 0;

    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM w, LPARAM l)
    {
        if (msg == WM_BAR_STEPIT) {
            ++active->messages;
            active->steps += w ? w : 1;
        }
        return ::CallWindowProcA(active->original, h, msg, w, l);
    }
    explicit StepCounter(HWND h) : bar(h)
    {
        active = this;
        original = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
    }
    ~StepCounter()
    {
        ::SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        active = nullptr;
    }
};
StepCounter* StepCounter::active = nullptr;

float BarPosition(HWND bar)
{
    // WM_BAR_GETPOS truncates; the bar object holds the exact float.
    auto* self = reinterpret_cast<CProgressBar*>(::GetWindowLongPtrA(bar, GWLP_USERDATA));
    return self->GetPos();
}

// The position `count` steps put the bar at, each added, clamped and stored
// as a float on its own.
float SteppedPosition(float step, unsigned count)
{
    volatile float position = 0;
    for (unsigned i = 0; i < count; ++i)
        position = CProgressBar::Clamp(position + step, 0, 100);
    return position;
}

struct FloodCase {
    const char* name;
    float step;
    unsigned count;
};

class WorkerFlood : public ::testing::TestWithParam<FloodCase> {};

TEST_P(WorkerFlood, TheBarEndsWhereTheStepsSumToWithNothingQueued)
{
    const FloodCase& c = GetParam();
    CSnapProgressDlg progress(FALSE);
    ASSERT_TRUE(progress.Create(IDI_FILESYSTEM_OP, nullptr));
    HWND bar = progress.GetBarWindow();
    ASSERT_NE(bar, nullptr);
    RECT client;
    ::GetClientRect(bar, &client);
    StepCounter counter(bar);

    COperationWorker worker(kTexts, &progress);
    ASSERT_TRUE(worker.Run([&]() {
        progress.BarSetStep(c.step);
        for (unsigned i = 0; i < c.count; ++i)
            progress.BarStepIt();
    }));

    EXPECT_EQ(counter.steps, c.count);
    EXPECT_EQ(BarPosition(bar), SteppedPosition(c.step, c.count));
    // One message each time the picture changes: at most once per pixel of
    // the fill and once per percent of the text.
    EXPECT_LE(counter.messages, static_cast<unsigned>(client.right) + 101u + 1u);
    MSG msg;
    EXPECT_FALSE(::PeekMessageA(&msg, bar, WM_BAR_STEPIT, WM_BAR_STEPIT, PM_NOREMOVE))
        << "steps still queued after the worker ended";
}

INSTANTIATE_TEST_SUITE_P(
    Steps, WorkerFlood,
    ::testing::Values(FloodCase{"hundredThousandStepsFillingHalf", 50.0f / 100000, 100000},
                      FloodCase{"stepsPastTheEndStayAtTheEnd", 0.003f, 100000},
                      FloodCase{"fewerStepsThanPixels", 1.0f / 3, 7},
                      FloodCase{"stepsTooSmallToShowAreStillAdded", 1e-6f, 5000}),
    [](const ::testing::TestParamInfo<FloodCase>& test) { return std::string(test.param.name); });

TEST(WorkerFlood, AStepCountedBeforeAPositionQueryIsInTheAnswer)
{
    CSnapProgressDlg progress(FALSE);
    ASSERT_TRUE(progress.Create(IDI_REGISTRY_OP, nullptr));
    int seen = -1;
    COperationWorker worker(kTexts, &progress);
    ASSERT_TRUE(worker.Run([&]() {
        progress.BarSetStep(0.25f);
        for (int i = 0; i < 150; ++i)  // 37.5 percent, below one step per picture change
            progress.BarStepIt();
        seen = progress.BarGetPos();
    }));
    EXPECT_EQ(seen, 37);
}

// The failures of a worker's work, and what the user is told of each.
struct FailureCase {
    const char* name;
    std::function<void()> work;
    std::vector<std::string> told;
};

class WorkerFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(WorkerFailure, IsToldOnceOrNotAtAll)
{
    const FailureCase& c = GetParam();
    std::atomic<bool> ended{false};
    std::vector<std::string> told;
    // Answers every box of the worker until it has ended.
    std::thread reader([&]() {
        while (!ended) {
            HWND box = nullptr;
            if (!WaitFor([&]() { return ended || (box = FindDialogOfProcess("Corvane")) != nullptr; }))
                return;
            if (!box)
                return;
            told.push_back(ReadDialog(box).MessageText());
            PressButton(box, IDOK);
            WaitFor([&]() { return ended || !::IsWindow(box); });
        }
    });
    COperationWorker worker(kTexts, nullptr);
    bool ran = worker.Run(c.work);
    ended = true;
    reader.join();
    EXPECT_TRUE(ran);
    EXPECT_EQ(told, c.told);
}

INSTANTIATE_TEST_SUITE_P(
    Throws, WorkerFailure,
    ::testing::Values(FailureCase{"nothing", []() {}, {}},
                      FailureCase{"abortSignal", []() { RaiseAbortSignal(); }, {}},
                      FailureCase{"outOfMemory", []() { throw std::bad_alloc(); }, {"out of memory text"}},
                      FailureCase{"anyOther", []() { throw std::runtime_error("x"); }, {"unexpected text"}},
                      FailureCase{"notAnException", []() { throw 42; }, {"unexpected text"}}),
    [](const ::testing::TestParamInfo<FailureCase>& test) { return std::string(test.param.name); });

TEST(WorkerWait, AQuitRequestDuringTheWaitIsPostedAgainAfterTheWorker)
{
    CSnapProgressDlg progress(FALSE);
    ASSERT_TRUE(progress.Create(IDI_REGISTRY_OP, nullptr));
    ::PostQuitMessage(9);
    bool servedAfterQuit = false;
    COperationWorker worker(kTexts, &progress);
    ASSERT_TRUE(worker.Run([&]() {
        // Served by the wait, which must go on after the quit request.
        progress.BarSetPos(10);
        servedAfterQuit = progress.BarGetPos() == 10;
    }));
    EXPECT_TRUE(servedAfterQuit);
    EXPECT_TRUE(worker.QuitRequested());
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 9u);
}

// Another copy killed while it held "snapprogress", or a process that made it
// with no count, must cost this one a progress line at most.
TEST(SharedProgressLock, HeldElsewhereForGoodTheValuesStillReachTheWindow)
{
    CNamedSemaphore hostile("snapprogress", 0, 1);
    ASSERT_TRUE(hostile.IsOpen());
    ASSERT_FALSE(hostile.Lock(0));  // its only count is taken for good

    CSnapProgressDlg progress(FALSE);
    ASSERT_TRUE(progress.Create(IDI_REGISTRY_OP, nullptr));
    EXPECT_TRUE(progress.HasSharedLock());
    bool refreshed = false;
    COperationWorker worker(kTexts, &progress);
    ASSERT_TRUE(worker.Run([&]() {
        progress.SetTitleText("Comparing...");
        progress.SetStatusText("Reading snap shot 1 into memory...");
        refreshed = progress.Refresh(true);
        progress.SetStatusText("Removing identicals...");
        progress.Refresh(true);
    }));
    EXPECT_TRUE(refreshed);
    EXPECT_FALSE(progress.HasSharedLock());
    EXPECT_EQ(GetWindowTextOf(progress.GetDlgItem(IDC_PROGRESS_TITLE)), "Comparing...");
    EXPECT_EQ(GetWindowTextOf(progress.GetDlgItem(IDC_PROGRESS_STATUS)), "Removing identicals...");
}

}  // namespace
