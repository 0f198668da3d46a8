#include "tests/app/DialogSteps.h"

#include "framework/Wnd.h"

#include <cstring>

HWND WaitForDialog(const char* caption, DWORD timeoutMs)
{
    DWORD start = ::GetTickCount();
    for (;;) {
        if (HWND h = FindDialogOfProcess(caption)) {
            ::Sleep(50);
            return h;
        }
        if (::GetTickCount() - start > timeoutMs)
            return nullptr;
        ::Sleep(20);
    }
}

void Click(HWND dialog, int id)
{
    ::SendMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void SetText(HWND dialog, int id, const std::string& text)
{
    ::SendMessageA(::GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string GetText(HWND dialog, int id)
{
    return GetWindowTextOf(::GetDlgItem(dialog, id));
}

std::vector<std::string> ComboEntries(HWND dialog, int id)
{
    HWND combo = ::GetDlgItem(dialog, id);
    std::vector<std::string> entries;
    int n = static_cast<int>(::SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char text[64] = "";
        ::SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

std::string AnswerBox(const char* caption, int button)
{
    HWND box = WaitForDialog(caption, 5000);
    if (!box)
        return "(no message box)";
    std::string text = ReadDialog(box).MessageText();
    PressButton(box, button);
    WaitGone(box);
    return text;
}

namespace {
struct CountRequest {
    const char* caption;
    int n;
};
BOOL CALLBACK CountProc(HWND h, LPARAM l)
{
    auto* r = reinterpret_cast<CountRequest*>(l);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(h, &pid);
    char cls[64];
    ::GetClassNameA(h, cls, sizeof cls);
    if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(h) && std::strcmp(cls, "#32770") == 0 &&
        GetWindowTextOf(h) == r->caption)
        ++r->n;
    return TRUE;
}
}  // namespace

int CountDialogs(const char* caption)
{
    CountRequest r{caption, 0};
    ::EnumWindows(CountProc, reinterpret_cast<LPARAM>(&r));
    return r.n;
}

CDialogSteps::CDialogSteps(const char* caption, std::function<void(HWND)> steps)
{
    std::string wanted = caption;
    m_thread = std::thread([this, wanted, steps]() {
        HWND h = WaitForDialog(wanted.c_str());
        m_bFound = h != nullptr;
        if (h)
            steps(h);
    });
}
