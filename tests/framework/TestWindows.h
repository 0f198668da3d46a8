// Windows the framework's tests build on: parents of each kind the program
// has (a window made by CWnd::CreateEx and a dialog from a real template),
// which write down what reaches their handlers, and a pump that waits for a
// condition with a deadline.
#pragma once

#include "framework/Dialog.h"
#include "framework/Wnd.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

// What reached a parent's OnNotify and OnContextMenu.
struct SeenByParent {
    std::vector<UINT> codes;            // every notification, in order
    HWND from = nullptr;                // of the last one
    UINT_PTR id = 0;
    HTREEITEM selected = nullptr;       // of the last TVN_SELCHANGEDA
    LPARAM selectedData = 0;
    std::vector<HWND> menuWindows;      // every context menu request
    std::vector<POINT> menuPoints;
    int otherMessages = 0;              // handled by the WindowProc or OnMessage override

    bool vetoSelectionChange = false;   // answer TVN_SELCHANGINGA with TRUE

    bool Saw(UINT code) const;
};

// The answers of the parents, as a results view would give them.
constexpr LRESULT kDoubleClickAnswer = 0x5A5A;
constexpr UINT kOtherMessage = WM_APP + 7;

// A parent window of the given kind, made and shown; null when it failed.
enum class ParentKind { Window, Dialog };
std::unique_ptr<CWnd> MakeParent(ParentKind kind, SeenByParent& seen);
const char* ParentName(ParentKind kind);

// Serves this thread's messages until done() holds, at most `ms`; true when it held.
template <typename Done>
bool PumpUntil(Done done, DWORD ms = 5000)
{
    DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > ms)
            return false;
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}
