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

HWND AppPopupOwner()
{
    return g_mainWindow && ::IsWindow(g_mainWindow) ? ::GetLastActivePopup(g_mainWindow) : nullptr;
}

int AppMessageBox(const char* text, UINT type)
{
    return ::MessageBoxA(AppPopupOwner(), text, AppName().c_str(), type);
}
