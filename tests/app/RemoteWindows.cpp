#include "tests/app/RemoteWindows.h"

#include "res/resource.h"

WindowTest MainFrameWindow()
{
    return [](HWND h) { return ClassOf(h) == "CorvaneFrame"; };
}

bool FrameServedPosted(HWND frame, DWORD deadlineMs)
{
    HWND statusBar = ::GetDlgItem(frame, ID_VIEW_STATUS_BAR);
    if (!statusBar || !::IsWindowVisible(statusBar))
        return false;
    for (bool shown : {false, true}) {
        ::PostMessageA(frame, WM_COMMAND, ID_VIEW_STATUS_BAR, 0);
        if (!WaitFor([&]() { return (::IsWindowVisible(statusBar) != FALSE) == shown; }, deadlineMs))
            return false;
    }
    return true;
}

std::string SentText(HWND h)
{
    LRESULT n = ::SendMessageA(h, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<size_t>(n) + 1, '\0');
    LRESULT got = ::SendMessageA(h, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(got));
    return text;
}

void PressRemote(HWND dialog, int id)
{
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}
