// A failure that reaches a window procedure is told once, in the words of the
// comparison's worker, though the window keeps failing at every message while
// the box is up; the window answers again once it stops failing.
#include "app/MainFrame.h"
#include "compare/CompareOperation.h"
#include "seams/Abort.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/WaitFor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <stdexcept>
#include <thread>

namespace {

// Fails at WM_APP and at the next messages, as many as `failing` says.
class CFailingWindow : public CWnd {
public:
    explicit CFailingWindow(void (*fail)()) : m_fail(fail) {}
    bool Create()
    {
        RECT r{0, 0, 200, 100};
        return RegisterWndClass("CorvaneFailingWindow", 0, nullptr, ::GetSysColorBrush(COLOR_WINDOW)) &&
               CreateEx(0, "CorvaneFailingWindow", "failing", WS_POPUP | WS_VISIBLE, r, nullptr, 0);
    }
    int failing = 0;

protected:
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override
    {
        if (msg == WM_APP) {
            failing = 20;
            InvalidateRect();
        }
        if (failing > 0) {
            --failing;
            m_fail();
        }
        return msg == WM_APP + 1 ? 42 : CWnd::WindowProc(msg, w, l);
    }

private:
    void (*m_fail)();
};

struct FailureCase {
    const char* name;
    void (*fail)();
    std::vector<std::string> told;
};

class WindowFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(WindowFailure, IsToldOnceAndTheWindowAnswersAfterIt)
{
    const FailureCase& c = GetParam();
    SetUiFailureHandler(ReportWindowFailure);
    CFailingWindow window(c.fail);
    ASSERT_TRUE(window.Create());
    std::atomic<bool> ended{false};
    std::vector<std::string> told;
    std::thread person([&]() {
        HWND box = nullptr;
        while (WaitFor([&]() { return ended || (box = FindDialogOfProcess("Corvane")) != nullptr; }) && !ended) {
            told.push_back(ReadDialog(box).MessageText());
            PressButton(box, IDOK);
            WaitFor([&]() { return !::IsWindow(box); });
        }
    });
    EXPECT_EQ(window.SendMessage(WM_APP), 0);
    ended = true;
    person.join();
    window.failing = 0;
    EXPECT_EQ(window.SendMessage(WM_APP + 1), 42);
    EXPECT_EQ(told, c.told);
    SetUiFailureHandler(nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Throws, WindowFailure,
    ::testing::Values(FailureCase{"outOfMemory", []() { throw std::bad_alloc(); }, {kCompareOutOfMemory}},
                      FailureCase{"anyOther", []() { throw std::runtime_error("x"); }, {kComparisonFailure.unexpected}},
                      FailureCase{"abortSignal", []() { RaiseAbortSignal(); }, {}}),
    [](const ::testing::TestParamInfo<FailureCase>& test) { return std::string(test.param.name); });

}  // namespace
