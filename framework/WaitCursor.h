// The hourglass while the program is busy: for the life of a CWaitCursor the
// program's windows (and the controls in them, which ask their parent first)
// answer WM_SETCURSOR with the wait cursor, so it stays while the mouse moves
// and while a nested message loop runs; the cursor before it comes back after.
#pragma once

#include <windows.h>

class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    HCURSOR m_hOld;
};

// Whether a CWaitCursor is alive on this thread.
bool IsWaitCursorShown();
