// The application-wide message box: its caption is the application's name,
// string 57344 of the program's resources, and its owner the main window (or
// the last window it showed on top of itself, such as the progress window).
#pragma once

#include "snapshot/UserMessages.h"

#include <windows.h>

#include <string>

constexpr UINT kAppTitleStringId = 57344;

std::string AppName();
void SetAppMainWindow(HWND h);
HWND AppMainWindow();
int AppMessageBox(const char* text, UINT type);

// The portable core's message boxes, shown as application-wide message boxes.
class CAppMessages : public IUserMessages {
public:
    MsgAnswer Show(const std::string& text, MsgIcon icon, MsgButtons buttons) override;
};

IUserMessages& AppMessages();
