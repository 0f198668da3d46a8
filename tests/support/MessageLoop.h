// Serving the test thread's own messages while it waits for a condition: the
// windows it made keep working (their timers, the messages other threads send
// them) until what the test waits for has happened.
#pragma once

#include "tests/support/WaitFor.h"

#include <windows.h>

#include <functional>

// Dispatches this thread's messages until done() holds, which is asked after
// every message; false when the deadline passed first. Each message is shown
// to seen, if given, before it is dispatched.
bool ServeUntil(const std::function<bool()>& done, DWORD deadlineMs = kPatienceMs,
                const std::function<void(const MSG&)>& seen = nullptr);
// Dispatches the messages that are already waiting, and those they post in
// turn, until none is left.
void ServePending();
// Dispatches this thread's messages until window has served `ticks` more
// WM_TIMER messages of its timer `id`; false when the deadline passed first.
bool ServeTimerTicks(HWND window, UINT_PTR id, int ticks, DWORD deadlineMs = kPatienceMs);
