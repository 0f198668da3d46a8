// The abort signal: raised after a fatal error of an operation has been shown
// to the user, it unwinds the whole operation; only the code that started the
// operation catches it, and carries on quietly.
#pragma once

struct CAbortSignal {
    int value = -1;
};

[[noreturn]] inline void RaiseAbortSignal()
{
    throw CAbortSignal{};
}
