#include "tests/support/WindowFinder.h"

#include "framework/Wnd.h"

namespace {

struct FindRequest {
    DWORD pid;
    const WindowTest* test;
    bool hiddenToo;
    std::vector<HWND> found;
};

BOOL CALLBACK FindProc(HWND h, LPARAM l)
{
    auto* request = reinterpret_cast<FindRequest*>(l);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(h, &pid);
    if ((request->pid == 0 || pid == request->pid) && (request->hiddenToo || ::IsWindowVisible(h)) &&
        (*request->test)(h))
        request->found.push_back(h);
    return TRUE;
}

}  // namespace

std::string ClassOf(HWND h)
{
    char cls[64] = "";
    ::GetClassNameA(h, cls, sizeof cls);
    return cls;
}

WindowTest DialogWith(const char* caption, int withControl)
{
    std::string wanted = caption;
    return [wanted, withControl](HWND h) {
        return ClassOf(h) == "#32770" && GetWindowTextOf(h) == wanted &&
               (withControl == 0 || ::GetDlgItem(h, withControl) != nullptr);
    };
}

std::vector<HWND> FindWindows(DWORD pid, const WindowTest& test, bool hiddenToo)
{
    FindRequest request{pid, &test, hiddenToo, {}};
    ::EnumWindows(FindProc, reinterpret_cast<LPARAM>(&request));
    return request.found;
}

HWND FindShownWindow(DWORD pid, const WindowTest& test)
{
    std::vector<HWND> found = FindWindows(pid, test);
    return found.empty() ? nullptr : found.front();
}

bool WaitServing(HWND h, DWORD deadlineMs)
{
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(h, WM_NULL, 0, 0, SMTO_NORMAL, deadlineMs, &result) != 0;
}

HWND WaitForWindow(DWORD pid, const WindowTest& test, DWORD deadlineMs)
{
    HWND found = nullptr;
    if (!WaitFor([&]() { return (found = FindShownWindow(pid, test)) != nullptr; }, deadlineMs))
        return nullptr;
    return WaitServing(found, deadlineMs) ? found : nullptr;
}

bool WaitGone(HWND h, DWORD deadlineMs)
{
    return WaitFor([h]() { return !::IsWindow(h) || !::IsWindowVisible(h); }, deadlineMs);
}

bool WaitDestroyed(HWND h, DWORD deadlineMs)
{
    return WaitFor([h]() { return !::IsWindow(h); }, deadlineMs);
}
