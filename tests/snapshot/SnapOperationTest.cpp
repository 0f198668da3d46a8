// The snapshot operation's wait: the user-interface thread keeps serving its
// timer and the worker's sent messages, Start returns only after the worker,
// and a quit request during the wait is kept until the worker has ended.
#include "snapshot/SnapOperation.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

const UINT kFromWorker = WM_APP + 1;

// A window on the user-interface thread that counts its timer ticks and the
// messages the worker sends it.
struct Counter {
    HWND h = nullptr;
    int ticks = 0;
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

// A worker that runs for a while and sends the counter a message halfway.
class CSlowOperation : public CSnapOperation {
public:
    HWND target = nullptr;
    DWORD runMs = 2000;
    std::atomic<bool> ended{false};
    LRESULT answer = 0;

protected:
    void RunSnapshot() override
    {
        ::Sleep(runMs / 2);
        if (target)
            answer = ::SendMessageA(target, kFromWorker, 0, 0);
        ::Sleep(runMs / 2);
        ended = true;
    }
};

TEST(SnapOperation, TheUserInterfaceThreadStaysAliveWhileTheWorkerRuns)
{
    Counter counter;
    ::SetTimer(counter.h, 1, 50, nullptr);
    CSlowOperation op;
    op.target = counter.h;
    DWORD start = ::GetTickCount();
    EXPECT_EQ(op.Start(nullptr, nullptr, "unused", 1, 'C', FALSE), 1);
    DWORD elapsed = ::GetTickCount() - start;
    ::KillTimer(counter.h, 1);
    EXPECT_TRUE(op.ended);
    EXPECT_GE(elapsed, 1900u);
    EXPECT_EQ(counter.sent, 1);
    EXPECT_EQ(counter.sentOnThread, ::GetCurrentThreadId());
    EXPECT_EQ(op.answer, 77);
    // About 40 ticks of 50 ms in two seconds; a blocked thread would serve none.
    EXPECT_GE(counter.ticks, 15);
}

TEST(SnapOperation, AQuitRequestDuringTheWaitIsKeptUntilTheWorkerEnded)
{
    Counter counter;
    CSlowOperation op;
    op.target = counter.h;
    op.runMs = 1000;
    ::PostQuitMessage(7);
    EXPECT_EQ(op.Start(nullptr, nullptr, "unused", 1, 'C', FALSE), 1);
    EXPECT_TRUE(op.ended);
    EXPECT_EQ(counter.sent, 1);
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST(SnapOperation, AKindWithoutAWalkerEndsTheWorkerAtOnce)
{
    CSnapOperation op;
    DWORD start = ::GetTickCount();
    EXPECT_EQ(op.Start(nullptr, nullptr, "unused", 5, 'C', FALSE), 1);
    EXPECT_LT(::GetTickCount() - start, 1000u);
}

TEST(SnapOperation, StartCanRunAgainOnTheSameObject)
{
    CSlowOperation op;
    op.runMs = 100;
    EXPECT_EQ(op.Start(nullptr, nullptr, "unused", 1, 'C', FALSE), 1);
    op.ended = false;
    EXPECT_EQ(op.Start(nullptr, nullptr, "unused", 1, 'C', FALSE), 1);
    EXPECT_TRUE(op.ended);
}

}  // namespace
