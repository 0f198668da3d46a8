#include "tests/app/RealInput.h"

#include <vector>

bool BringToFront(HWND window, DWORD deadlineMs)
{
    return WaitFor(
        [&]() {
            if (::GetForegroundWindow() == window)
                return true;
            ::SetForegroundWindow(window);
            return false;
        },
        deadlineMs);
}

namespace {

// A mouse event at the screen point: the pointer goes there first, in the
// same queue as the buttons, so a click lands where it was aimed.
INPUT MouseAt(POINT screen, DWORD flags)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>(MulDiv(screen.x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1));
    input.mi.dy = static_cast<LONG>(MulDiv(screen.y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1));
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return input;
}

}  // namespace

void MoveTo(POINT screen)
{
    INPUT move = MouseAt(screen, 0);
    ::SendInput(1, &move, sizeof move);
}

void ClickAt(POINT screen)
{
    INPUT input[3] = {MouseAt(screen, 0), MouseAt(screen, MOUSEEVENTF_LEFTDOWN), MouseAt(screen, MOUSEEVENTF_LEFTUP)};
    ::SendInput(3, input, sizeof(INPUT));
}

void PressKeys(std::initializer_list<WORD> keys)
{
    std::vector<INPUT> input;
    for (WORD key : keys) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = key;
        input.push_back(down);
    }
    for (auto key = keys.end(); key != keys.begin();) {
        INPUT up{};
        up.type = INPUT_KEYBOARD;
        up.ki.wVk = *--key;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        input.push_back(up);
    }
    ::SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}
