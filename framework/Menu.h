// Menus: CMenu owns a menu loaded from the resources and destroys it with
// itself; CPopupMenu only views one of its popups, which go with their menu.
#pragma once

#include <windows.h>

class CPopupMenu {
public:
    explicit CPopupMenu(HMENU h = nullptr) : m_h(h) {}

    HMENU Get() const { return m_h; }
    int GetItemCount() const { return ::GetMenuItemCount(m_h); }
    // The command of item `index`; 0 for a separator, UINT(-1) for a popup.
    UINT GetItemID(int index) const { return ::GetMenuItemID(m_h, index); }
    CPopupMenu GetSubMenu(int index) const { return CPopupMenu(::GetSubMenu(m_h, index)); }
    // Shows the popup at a screen point until the user picks or leaves; the
    // picked command goes to `owner` as WM_COMMAND. False when nothing was shown.
    BOOL TrackPopupMenu(POINT screen, HWND owner) const
    {
        return ::TrackPopupMenu(m_h, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, owner, nullptr);
    }

private:
    HMENU m_h;
};

class CMenu {
public:
    CMenu() = default;
    ~CMenu() { DestroyMenu(); }
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    // Menu resource `id` of the program; false when there is none.
    bool LoadMenu(UINT id)
    {
        DestroyMenu();
        m_h = ::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
        return m_h != nullptr;
    }
    HMENU Get() const { return m_h; }
    // Gives the menu away, to a frame's menu bar for example (see ReplaceMenu).
    HMENU Detach() { HMENU h = m_h; m_h = nullptr; return h; }
    int GetItemCount() const { return ::GetMenuItemCount(m_h); }
    // Popup `index` of the menu bar, valid while this menu lives.
    CPopupMenu GetSubMenu(int index) const { return CPopupMenu(::GetSubMenu(m_h, index)); }
    void DestroyMenu()
    {
        if (m_h)
            ::DestroyMenu(m_h);
        m_h = nullptr;
    }

private:
    HMENU m_h = nullptr;
};
