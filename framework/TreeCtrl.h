// A view of a tree control; every method forwards to a message. Items keep
// the order they are inserted in: the results views insert them in the order
// their model holds, so a tree is never sorted here.
#pragma once

#include "framework/Wnd.h"

#include <commctrl.h>

#include <string>

class CTreeCtrl : public CWnd {
public:
    // A child tree control of `parent`; false when none was made.
    bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
    {
        HWND h = ::CreateWindowExA(0, WC_TREEVIEWA, nullptr, style | WS_CHILD, rect.left, rect.top,
                                   rect.right - rect.left, rect.bottom - rect.top, parent->GetSafeHwnd(),
                                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                   ::GetModuleHandleA(nullptr), nullptr);
        Attach(h);
        return h != nullptr;
    }
    // The list stays the caller's; the control only draws from it.
    HIMAGELIST SetImageList(HIMAGELIST images, int kind = TVSIL_NORMAL) const
    {
        return TreeView_SetImageList(m_hWnd, images, kind);
    }

    // An item under `parent` (TVI_ROOT for the top level) right after
    // `after` (an item, TVI_FIRST or TVI_LAST); null when it failed.
    // children, when not negative, says whether the item has a button before
    // its children are inserted (1) or none (0). The text is ANSI, or wide
    // for a text the code page cannot hold (the control keeps either).
    HTREEITEM InsertItem(const char* text, int image, int selectedImage, LPARAM data,
                         HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST, int children = -1) const
    {
        return Insert<TVINSERTSTRUCTA, TVM_INSERTITEMA>(const_cast<char*>(text), image, selectedImage, data, parent,
                                                        after, children);
    }
    HTREEITEM InsertItem(const wchar_t* text, int image, int selectedImage, LPARAM data,
                         HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST, int children = -1) const
    {
        return Insert<TVINSERTSTRUCTW, TVM_INSERTITEMW>(const_cast<wchar_t*>(text), image, selectedImage, data,
                                                        parent, after, children);
    }
    LPARAM GetItemData(HTREEITEM item) const
    {
        TVITEMA tv{};
        tv.mask = TVIF_PARAM;
        tv.hItem = item;
        return SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv)) ? tv.lParam : 0;
    }
    std::string GetItemText(HTREEITEM item) const;
    std::wstring GetItemTextW(HTREEITEM item) const;
    UINT GetItemState(HTREEITEM item, UINT mask) const { return TreeView_GetItemState(m_hWnd, item, mask); }

    HTREEITEM GetRootItem() const { return TreeView_GetRoot(m_hWnd); }
    HTREEITEM GetChildItem(HTREEITEM item) const { return TreeView_GetChild(m_hWnd, item); }
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const { return TreeView_GetNextSibling(m_hWnd, item); }
    HTREEITEM GetParentItem(HTREEITEM item) const { return TreeView_GetParent(m_hWnd, item); }
    HTREEITEM GetSelectedItem() const { return TreeView_GetSelection(m_hWnd); }

    // Makes the item the caret (the selection), scrolling it into view.
    BOOL SelectItem(HTREEITEM item) const { return TreeView_Select(m_hWnd, item, TVGN_CARET); }
    // `code` is one of TVE_EXPAND, TVE_COLLAPSE, TVE_TOGGLE.
    BOOL Expand(HTREEITEM item, UINT code) const { return TreeView_Expand(m_hWnd, item, code); }
    BOOL DeleteAllItems() const { return TreeView_DeleteAllItems(m_hWnd); }
    UINT GetCount() const { return TreeView_GetCount(m_hWnd); }

    // Off while many items go in, so the control paints once when it is on again.
    void SetRedraw(BOOL redraw) const { SendMessage(WM_SETREDRAW, static_cast<WPARAM>(redraw)); }

private:
    template <class InsertStruct, UINT message, class Char>
    HTREEITEM Insert(Char* text, int image, int selectedImage, LPARAM data, HTREEITEM parent, HTREEITEM after,
                     int children) const
    {
        InsertStruct insert{};
        insert.hParent = parent;
        insert.hInsertAfter = after;
        insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
        if (children >= 0) {
            insert.item.mask |= TVIF_CHILDREN;
            insert.item.cChildren = children;
        }
        insert.item.pszText = text;
        insert.item.iImage = image;
        insert.item.iSelectedImage = selectedImage;
        insert.item.lParam = data;
        return reinterpret_cast<HTREEITEM>(SendMessage(message, 0, reinterpret_cast<LPARAM>(&insert)));
    }
};
