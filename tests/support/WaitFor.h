// Waiting for a condition, never for a time: a test waits until what it
// expects has happened. The deadline only ends a wait for something that never
// comes, so that a fault fails the test with a message instead of hanging it;
// it is generous, and no outcome depends on the machine's speed.
#pragma once

#include <chrono>
#include <thread>

// How long a test waits for something that must happen, in milliseconds.
constexpr unsigned long kPatienceMs = 30000;

// Polls condition until it holds; false when the deadline passed first.
template <typename Condition>
bool WaitFor(Condition&& condition, unsigned long deadlineMs = kPatienceMs)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(deadlineMs);
    for (;;) {
        if (condition())
            return true;
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}
