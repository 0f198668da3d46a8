// Menus and accelerator tables: CMenu owns a menu loaded from the resources
// and destroys it with itself unless it was handed over (Detach, to a frame's
// menu bar for example); CPopupMenu only views one of its popups, which go
// with their menu. CAccelerators owns an accelerator table.
#pragma once

#include "framework/Handle.h"

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

class CMenu : public COwnedHandle<CClosedBy<HMENU, ::DestroyMenu>> {
public:
    using COwnedHandle::COwnedHandle;

    // Menu resource `id` of the program; false when there is none.
    bool LoadMenu(UINT id) { return Attach(::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id))); }
    int GetItemCount() const { return ::GetMenuItemCount(Get()); }
    // Popup `index` of the menu bar, valid while this menu lives.
    CPopupMenu GetSubMenu(int index) const { return CPopupMenu(::GetSubMenu(Get(), index)); }
};

class CAccelerators : public COwnedHandle<CClosedBy<HACCEL, ::DestroyAcceleratorTable>> {
public:
    using COwnedHandle::COwnedHandle;

    // Accelerator resource `id` of the program; false when there is none.
    bool Load(UINT id) { return Attach(::LoadAcceleratorsA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id))); }
};
