#include "tests/app/RemoteWindows.h"

#include "framework/Wnd.h"

namespace {

struct FindRequest {
    DWORD pid;
    const WindowTest* test;
    HWND found;
};

BOOL CALLBACK FindProc(HWND h, LPARAM l)
{
    auto* r = reinterpret_cast<FindRequest*>(l);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(h, &pid);
    if ((r->pid == 0 || pid == r->pid) && ::IsWindowVisible(h) && (*r->test)(h)) {
        r->found = h;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::string ClassOf(HWND h)
{
    char cls[64] = "";
    ::GetClassNameA(h, cls, sizeof cls);
    return cls;
}

HWND WaitForWindow(DWORD pid, const WindowTest& test, DWORD timeoutMs)
{
    DWORD start = ::GetTickCount();
    for (;;) {
        FindRequest r{pid, &test, nullptr};
        ::EnumWindows(FindProc, reinterpret_cast<LPARAM>(&r));
        if (r.found) {
            ::Sleep(100);  // let it finish its initialisation
            return r.found;
        }
        if (::GetTickCount() - start > timeoutMs)
            return nullptr;
        ::Sleep(25);
    }
}

WindowTest DialogWith(const char* caption, int withControl)
{
    std::string wanted = caption;
    return [wanted, withControl](HWND h) {
        return ClassOf(h) == "#32770" && GetWindowTextOf(h) == wanted &&
               (withControl == 0 || ::GetDlgItem(h, withControl) != nullptr);
    };
}

WindowTest MainFrameWindow()
{
    return [](HWND h) { return ClassOf(h) == "CorvaneFrame"; };
}

bool WaitGone(HWND h, DWORD timeoutMs)
{
    DWORD start = ::GetTickCount();
    while (::IsWindow(h) && ::IsWindowVisible(h)) {
        if (::GetTickCount() - start > timeoutMs)
            return false;
        ::Sleep(20);
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
