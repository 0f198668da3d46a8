// Finding and driving the windows of another process (corvane.exe) through
// their classes, captions, command ids and control ids.
#pragma once

#include "tests/support/WindowFinder.h"

#include <windows.h>

#include <string>

WindowTest MainFrameWindow();
// Returns once the main frame's thread has served every message posted to the
// frame before, and what those posted to it in turn: a command that hides the
// status bar and one that shows it again are served after them, in order.
// False when the deadline passed first.
bool FrameServedPosted(HWND frame, DWORD deadlineMs = kPatienceMs);
// The text of a control of another process: GetWindowText does not ask a
// window of another process for it, WM_GETTEXT does.
std::string SentText(HWND h);
// Presses a dialog's button as its click would.
void PressRemote(HWND dialog, int id);
