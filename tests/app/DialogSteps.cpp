#include "tests/app/DialogSteps.h"

#include "framework/Wnd.h"

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
    HWND box = WaitForDialog(caption);
    if (!box)
        return "(no message box)";
    std::string text = ReadDialog(box).MessageText();
    PressButton(box, button);
    if (!WaitDestroyed(box))
        return "(the message box stayed)";
    return text;
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
