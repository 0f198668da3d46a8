#include "tests/support/DialogDriver.h"

#include "framework/Wnd.h"

#include <cstring>

namespace {

std::string IconName(HWND control)
{
    HICON shown = reinterpret_cast<HICON>(::SendMessageA(control, STM_GETICON, 0, 0));
    if (!shown || !::IsWindowVisible(control))
        return std::string();
    // The system's icons are shared: each has one handle in a process.
    const struct {
        LPCSTR id;
        const char* name;
    } icons[] = {{IDI_EXCLAMATION, "exclamation"},
                 {IDI_ASTERISK, "information"},
                 {IDI_QUESTION, "question"},
                 {IDI_HAND, "error"}};
    for (const auto& icon : icons)
        if (::LoadIconA(nullptr, icon.id) == shown)
            return icon.name;
    return "other";
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
            seen->icon = IconName(h);
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
    return FindShownWindow(::GetCurrentProcessId(), DialogWith(caption));
}

HWND WaitForDialog(const char* caption, DWORD deadlineMs)
{
    return WaitForWindow(::GetCurrentProcessId(), DialogWith(caption), deadlineMs);
}

int CountDialogs(const char* caption)
{
    return static_cast<int>(FindWindows(::GetCurrentProcessId(), DialogWith(caption)).size());
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

void CDialogDriver::Answer(const char* caption, std::vector<int> buttonIds, DWORD deadlineMs)
{
    Join();
    m_seen.clear();
    std::string wanted = caption;
    m_thread = std::thread([this, wanted, buttonIds, deadlineMs]() {
        for (int id : buttonIds) {
            HWND dialog = WaitForDialog(wanted.c_str(), deadlineMs);
            if (!dialog)
                return;
            m_seen.push_back(ReadDialog(dialog));
            PressButton(dialog, id);
            // This dialog must be gone before the next one is looked for.
            if (!WaitDestroyed(dialog, deadlineMs))
                return;
        }
    });
}

const std::vector<SeenDialog>& CDialogDriver::Join()
{
    if (m_thread.joinable())
        m_thread.join();
    return m_seen;
}
