// Finding the top-level windows a test waits for, of this process or of
// another one, by a test of the window (its class, caption, controls). Every
// test that looks for a window looks through here.
#pragma once

#include "tests/support/WaitFor.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

using WindowTest = std::function<bool(HWND)>;

std::string ClassOf(HWND h);
// A dialog (class #32770) with the caption, holding the control withControl
// unless that is 0.
WindowTest DialogWith(const char* caption, int withControl = 0);

// The top-level windows of process pid (0: of every process) that pass test,
// topmost first: the visible ones only, unless hiddenToo.
std::vector<HWND> FindWindows(DWORD pid, const WindowTest& test, bool hiddenToo = false);
// The topmost visible one of them, or null.
HWND FindShownWindow(DWORD pid, const WindowTest& test);

// Returns once the thread of h has served a message sent to it, that is, has
// come back to its message loop; false when h is gone or its thread did not
// within the deadline.
bool WaitServing(HWND h, DWORD deadlineMs = kPatienceMs);
// Waits until a visible window that passes test is there and its thread
// serves messages again, which it does only after the window's
// initialisation; null when none came within the deadline.
HWND WaitForWindow(DWORD pid, const WindowTest& test, DWORD deadlineMs = kPatienceMs);
// Waits until h is no longer shown: hidden or destroyed.
bool WaitGone(HWND h, DWORD deadlineMs = kPatienceMs);
// Waits until h is destroyed.
bool WaitDestroyed(HWND h, DWORD deadlineMs = kPatienceMs);
