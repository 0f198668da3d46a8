#include "framework/AppMessageBox.h"

#include "framework/Dialog.h"

namespace {
HWND g_mainWindow = nullptr;
}

std::string AppName()
{
    char name[256];
    int n = ::LoadStringA(ResourceInstance(), kAppTitleStringId, name, sizeof name);
    return n > 0 ? std::string(name, static_cast<size_t>(n)) : std::string();
}

void SetAppMainWindow(HWND h) { g_mainWindow = h; }
HWND AppMainWindow() { return g_mainWindow; }

int AppMessageBox(const char* text, UINT type)
{
    // Owned by the window the user last worked in: the main window, or the
    // window it shows on top (the progress window), which then stays on top.
    HWND owner = g_mainWindow && ::IsWindow(g_mainWindow) ? ::GetLastActivePopup(g_mainWindow) : nullptr;
    return ::MessageBoxA(owner, text, AppName().c_str(), type);
}

MsgAnswer CAppMessages::Show(const std::string& text, MsgIcon icon, MsgButtons buttons)
{
    UINT type = buttons == MsgButtons::YesNo ? MB_YESNO : MB_OK;
    switch (icon) {
    case MsgIcon::Exclamation: type |= MB_ICONEXCLAMATION; break;
    case MsgIcon::Information: type |= MB_ICONINFORMATION; break;
    case MsgIcon::Question: type |= MB_ICONQUESTION; break;
    }
    switch (AppMessageBox(text.c_str(), type)) {
    case IDYES: return MsgAnswer::Yes;
    case IDNO: return MsgAnswer::No;
    default: return MsgAnswer::Ok;
    }
}

IUserMessages& AppMessages()
{
    static CAppMessages messages;
    return messages;
}
