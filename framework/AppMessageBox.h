// The application-wide message box: its caption is the application's name,
// string 57344 of the program's resources, and its owner the main window (or
// the last window it showed on top of itself, such as the progress window).
#pragma once

#include <windows.h>

#include <string>

constexpr UINT kAppTitleStringId = 57344;

std::string AppName();
void SetAppMainWindow(HWND h);
HWND AppMainWindow();
// The window the user last worked in: the main window, or the window it shows
// on top of itself (the progress window); null without a main window. Message
// boxes and dialogs of a worker thread are owned by it, so they stay on top of
// the program and share its taskbar button.
HWND AppPopupOwner();
int AppMessageBox(const char* text, UINT type);
