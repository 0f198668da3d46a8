#include "tests/support/DialogDriver.h"

#include "framework/Wnd.h"

#include <cstring>

namespace {

struct FindRequest {
    const char* caption;
    HWND found;
};

BOOL CALLBACK FindProc(HWND h, LPARAM l)
{
    auto* request = reinterpret_cast<FindRequest*>(l);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(h, &pid);
    if (pid != ::GetCurrentProcessId() || !::IsWindowVisible(h))
        return TRUE;
    char cls[64];
    ::GetClassNameA(h, cls, sizeof cls);
    if (std::strcmp(cls, "#32770") != 0)
        return TRUE;
    if (GetWindowTextOf(h) == request->caption) {
        request->found = h;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK ReadChild(HWND h, LPARAM l)
{
    auto* seen = reinterpret_cast<SeenDialog*>(l);
    char cls[64];
    ::GetClassNameA(h, cls, sizeof cls);
    std::string text = GetWindowTextOf(h);
    if (_stricmp(cls, "Static") == 0) {
        LONG style = ::GetWindowLongA(h, GWL_STYLE);
        if ((style & SS_TYPEMASK) == SS_ICON) {
            // A message box shows its icon in a static control next to its text.
            return TRUE;
        }
        seen->statics.push_back(text);
        if (::GetDlgCtrlID(h) == 0xFFFF)
            seen->messageText = text;
    } else if (_stricmp(cls, "Edit") == 0) {
        seen->edits.push_back(text);
    } else if (_stricmp(cls, "Button") == 0) {
        seen->buttons.push_back(text);
    }
    return TRUE;
}

}  // namespace

HWND FindDialogOfProcess(const char* caption)
{
    FindRequest request{caption, nullptr};
    ::EnumWindows(FindProc, reinterpret_cast<LPARAM>(&request));
    return request.found;
}

SeenDialog ReadDialog(HWND dialog)
{
    SeenDialog seen;
    seen.seen = true;
    seen.caption = GetWindowTextOf(dialog);
    ::EnumChildWindows(dialog, ReadChild, reinterpret_cast<LPARAM>(&seen));
    return seen;
}

void PressButton(HWND dialog, int buttonId)
{
    HWND button = ::GetDlgItem(dialog, buttonId);
    if (button)
        ::PostMessageA(button, BM_CLICK, 0, 0);
    else
        ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0);
}

void CDialogDriver::Answer(const char* caption, std::vector<int> buttonIds, DWORD timeoutMs)
{
    Join();
    m_seen.clear();
    std::string wanted = caption;
    m_thread = std::thread([this, wanted, buttonIds, timeoutMs]() {
        for (int id : buttonIds) {
            DWORD start = ::GetTickCount();
            HWND dialog = nullptr;
            while (!dialog && ::GetTickCount() - start < timeoutMs) {
                dialog = FindDialogOfProcess(wanted.c_str());
                if (!dialog)
                    ::Sleep(20);
            }
            if (!dialog)
                return;
            // Let the dialog finish its initialisation before reading it.
            ::Sleep(50);
            m_seen.push_back(ReadDialog(dialog));
            PressButton(dialog, id);
            // Wait until this dialog is gone before looking for the next one.
            while (::IsWindow(dialog) && ::GetTickCount() - start < timeoutMs)
                ::Sleep(10);
        }
    });
}

const std::vector<SeenDialog>& CDialogDriver::Join()
{
    if (m_thread.joinable())
        m_thread.join();
    return m_seen;
}
