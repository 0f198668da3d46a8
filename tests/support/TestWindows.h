// Plain windows that stand in for the program's own in a test.
#pragma once

#include <windows.h>

// A visible captioned pop-up window owned by owner, made the active window.
inline HWND MakeActivePopup(HWND owner, const char* title)
{
    HWND h = ::CreateWindowExA(0, "STATIC", title, WS_POPUP | WS_CAPTION | WS_VISIBLE, 100, 100, 300, 200, owner,
                               nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ::SetActiveWindow(h);
    return h;
}
