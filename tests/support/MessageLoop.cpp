#include "tests/support/MessageLoop.h"

#include <chrono>

bool ServeUntil(const std::function<bool()>& done, DWORD deadlineMs, const std::function<void(const MSG&)>& seen)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(deadlineMs);
    for (;;) {
        if (done())
            return true;
        if (Clock::now() >= deadline)
            return false;
        MSG msg;
        if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (seen)
                seen(msg);
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
            continue;
        }
        // Sleeps until a message comes, or a little while to look at done again.
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void ServePending()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

bool ServeTimerTicks(HWND window, UINT_PTR id, int ticks, DWORD deadlineMs)
{
    int served = 0;
    return ServeUntil([&]() { return served >= ticks; }, deadlineMs, [&](const MSG& msg) {
        if (msg.hwnd == window && msg.message == WM_TIMER && msg.wParam == id)
            ++served;
    });
}
