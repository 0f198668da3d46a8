// The program's start-up: runs the one application object. The program takes
// no command line: whatever follows its name is not read, so nothing of it
// goes through a conversion of the ANSI code page.
#include "framework/WinApp.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CWinApp* app = AppGetApp();
    if (!app)
        return 1;
    int code = 1;
    try {
        if (app->InitInstance())
            code = app->Run();
    } catch (...) {
        // A failure at start-up has been reported where it happened.
    }
    return code;
}
