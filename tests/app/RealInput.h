// Input as the mouse and the keyboard give it: through the system's input
// queue to the window under the pointer or to the focus of the foreground
// window, with the key state (Ctrl, Shift) that goes with it, so that the
// program's own message loop sees and translates it.
#pragma once

#include "tests/support/WaitFor.h"

#include <windows.h>

#include <initializer_list>

// Makes window the foreground window, as a click on it would; false when it
// did not become so within the deadline.
bool BringToFront(HWND window, DWORD deadlineMs = kPatienceMs);
// Moves the pointer to the screen point.
void MoveTo(POINT screen);
// Moves the pointer to the screen point and clicks the left button there.
void ClickAt(POINT screen);
// Presses the keys in order and releases them in the reverse order: a chord
// such as Ctrl+Shift+R.
void PressKeys(std::initializer_list<WORD> keys);
