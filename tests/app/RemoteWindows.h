// Finding and driving the windows of another process (corvane.exe) through
// their classes, captions, command ids and control ids.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

using WindowTest = std::function<bool(HWND)>;

std::string ClassOf(HWND h);
// Waits for a visible top-level window (of process `pid`, or of any when 0) that passes.
HWND WaitForWindow(DWORD pid, const WindowTest& test, DWORD timeoutMs = 20000);
// A dialog with the caption, and with the control when withControl is not 0.
WindowTest DialogWith(const char* caption, int withControl);
WindowTest MainFrameWindow();
bool WaitGone(HWND h, DWORD timeoutMs = 20000);
// The text of a control of another process: GetWindowText does not ask a
// window of another process for it, WM_GETTEXT does.
std::string SentText(HWND h);
// Presses a dialog's button as its click would.
void PressRemote(HWND dialog, int id);
