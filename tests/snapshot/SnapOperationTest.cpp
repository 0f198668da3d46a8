// The snapshot operation's wait: the user-interface thread keeps serving its
// timer and the worker's sent messages, Start returns only after the worker,
// and a quit request during the wait is kept until the worker has ended.
#include "snapshot/SnapOperation.h"

#include "tests/support/WaitFor.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

const UINT kFromWorker = WM_APP + 1;

// A window on the user-interface thread that counts its timer ticks and the
// messages the worker sends it.
struct Counter {
    HWND h = nullptr;
    std::atomic<int> ticks{0};
    int sent = 0;
    DWORD sentOnThread = 0;

    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM w, LPARAM l)
    {
        auto* self = reinterpret_cast<Counter*>(::GetWindowLongPtrA(h, GWLP_USERDATA));
        if (self && msg == WM_TIMER) {
            ++self->ticks;
            return 0;
        }
        if (self && msg == kFromWorker) {
            ++self->sent;
            self->sentOnThread = ::GetCurrentThreadId();
            return 77;
        }
        return ::DefWindowProcA(h, msg, w, l);
    }
    Counter()
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "SnapOperationTestCounter";
        ::RegisterClassA(&wc);
        h = ::CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              wc.hInstance, nullptr);
        ::SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Counter() { ::DestroyWindow(h); }
};

// A worker that, while it runs, waits for the user-interface thread to serve
// timer ticks of the counter, and sends the counter a message in between:
// it ends only if the waiting thread keeps serving its messages. Without a
// counter it ends at once.
class CWaitingOperation : public CSnapOperation {
public:
    Counter* counter = nullptr;
    int ticksBefore = 3;  // ticks to see before sending, and after
    int ticksAfter = 3;
    std::atomic<bool> ended{false};
    bool ticksBeforeSeen = false, ticksAfterSeen = false;
    LRESULT answer = 0;

protected:
    void RunSnapshot() override
    {
        if (counter) {
            ticksBeforeSeen = WaitFor([&]() { return counter->ticks >= ticksBefore; });
            answer = ::SendMessageA(counter->h, kFromWorker, 0, 0);
            int sentAt = counter->ticks;
            ticksAfterSeen = WaitFor([&]() { return counter->ticks >= sentAt + ticksAfter; });
        }
        ended = true;
    }
};

TEST(SnapOperation, TheUserInterfaceThreadStaysAliveWhileTheWorkerRuns)
{
    Counter counter;
    ::SetTimer(counter.h, 1, 50, nullptr);
    CWaitingOperation op;
    op.counter = &counter;
    EXPECT_EQ(op.Start(nullptr, nullptr, "unused", 1, 'C', FALSE), 1);
    ::KillTimer(counter.h, 1);
    // Start returned after the worker, which saw the ticks a blocked thread would not serve.
    EXPECT_TRUE(op.ended);
    EXPECT_TRUE(op.ticksBeforeSeen);
    EXPECT_TRUE(op.ticksAfterSeen);
    EXPECT_EQ(counter.sent, 1);
    EXPECT_EQ(counter.sentOnThread, ::GetCurrentThreadId());
    EXPECT_EQ(op.answer, 77);
}

TEST(SnapOperation, AQuitRequestDuringTheWaitIsKeptUntilTheWorkerEnded)
{
    Counter counter;
    ::SetTimer(counter.h, 1, 50, nullptr);
    CWaitingOperation op;
    op.counter = &counter;
    // A timer tick is served only when no quit request is waiting, so the
    // worker's first tick comes after the wait has taken the request.
    op.ticksBefore = 1;
    op.ticksAfter = 1;
    ::PostQuitMessage(7);
    EXPECT_EQ(op.Start(nullptr, nullptr, "unused", 1, 'C', FALSE), 1);
    ::KillTimer(counter.h, 1);
    EXPECT_TRUE(op.ended);
    EXPECT_TRUE(op.ticksBeforeSeen);
    EXPECT_TRUE(op.ticksAfterSeen);
    EXPECT_EQ(counter.sent, 1);
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST(SnapOperation, AKindWithoutAWalkerEndsTheWorkerAtOnce)
{
    CSnapOperation op;
    EXPECT_EQ(op.Start(nullptr, nullptr, "unused", 5, 'C', FALSE), 1);
    EXPECT_EQ(::GetFileAttributesA("unused"), INVALID_FILE_ATTRIBUTES);  // nothing was written
}

TEST(SnapOperation, StartCanRunAgainOnTheSameObject)
{
    Counter counter;
    ::SetTimer(counter.h, 1, 50, nullptr);
    CWaitingOperation op;
    op.counter = &counter;
    op.ticksBefore = 1;
    op.ticksAfter = 1;
    EXPECT_EQ(op.Start(nullptr, nullptr, "unused", 1, 'C', FALSE), 1);
    EXPECT_TRUE(op.ended);
    op.ended = false;
    EXPECT_EQ(op.Start(nullptr, nullptr, "unused", 1, 'C', FALSE), 1);
    ::KillTimer(counter.h, 1);
    EXPECT_TRUE(op.ended);
    EXPECT_EQ(counter.sent, 2);
}

}  // namespace
