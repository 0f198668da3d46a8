// Views of the standard controls of a dialog; every method forwards to a message.
#pragma once

#include "framework/Wnd.h"

#include <string>

class CButton : public CWnd {
public:
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int state) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(state)); }
};

class CStatic : public CWnd {
public:
    // A child static control of `parent` showing text in the system's
    // dialog font; false when none was made.
    bool Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id)
    {
        HWND h = ::CreateWindowExA(0, "STATIC", text, style | WS_CHILD, rect.left, rect.top,
                                   rect.right - rect.left, rect.bottom - rect.top, parent->GetSafeHwnd(),
                                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                   ::GetModuleHandleA(nullptr), nullptr);
        Attach(h);
        if (h)
            SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)));
        return h != nullptr;
    }
    HICON SetIcon(HICON icon) const
    {
        return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon)));
    }
};

class CEdit : public CWnd {};

class CComboBox : public CWnd {
public:
    int AddString(const char* text) const
    {
        return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) const { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index))); }
    std::string GetLBText(int index) const;
};
