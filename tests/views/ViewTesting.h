// What the results-view tests share: a tree read back entry by entry, an
// entry found by its texts, and a command run while a person answers the
// view's information boxes.
#pragma once

#include "framework/TreeCtrl.h"
#include "views/CompareView.h"
#include "operation/AppMessages.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/MessageLoop.h"
#include "tests/support/WaitFor.h"

#include <commctrl.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// Creates a shown pop-up window of 640 by 480 with the view over it, filled
// from the result; returns the pop-up, which the test destroys after the view.
inline HWND ShowInPopup(CCompareView& view, const CCompareMine& result)
{
    HWND parent = ::CreateWindowExA(0, "STATIC", "results", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr,
                                    nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ::SetActiveWindow(parent);
    CWnd host(parent);
    if (!view.CreateView(&host))
        return parent;
    view.MoveWindow(0, 0, 640, 480, TRUE);
    view.ShowComparison(result);
    return parent;
}

// Every entry of a tree in pre-order, one line each: depth, text, picture,
// selected picture, and "+" when it is expanded.
inline std::string EntryListing(const CTreeCtrl& tree)
{
    std::string text;
    std::function<void(HTREEITEM, int)> walk = [&](HTREEITEM at, int depth) {
        for (; at; at = tree.GetNextSiblingItem(at)) {
            TVITEMA tv{};
            tv.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
            tv.stateMask = TVIS_EXPANDED;
            tv.hItem = at;
            tree.SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
            text += std::to_string(depth) + " " + tree.GetItemText(at) + " " + std::to_string(tv.iImage) + "/" +
                    std::to_string(tv.iSelectedImage) + ((tv.state & TVIS_EXPANDED) ? " +" : "") + "\n";
            walk(tree.GetChildItem(at), depth + 1);
        }
    };
    walk(tree.GetRootItem(), 0);
    return text;
}

// The entry below the root that the texts name, one per level; null when
// one is not there.
inline HTREEITEM FindEntry(const CTreeCtrl& tree, const std::vector<std::string>& path)
{
    HTREEITEM at = tree.GetRootItem();
    for (const std::string& name : path) {
        at = tree.GetChildItem(at);
        while (at && tree.GetItemText(at) != name)
            at = tree.GetNextSiblingItem(at);
    }
    return at;
}

// The pixels of a picture of an image list, drawn on white, row by row.
inline std::vector<COLORREF> PicturePixels(HIMAGELIST list, int index)
{
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    RECT all{0, 0, 16, 16};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ImageList_Draw(list, index, dc, 0, 0, ILD_NORMAL);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            pixels.push_back(::GetPixel(dc, x, y));
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

// Right-clicks a tree of the view and returns the command ids of the pop-up
// menu it shows, which a helper reads and closes as a person would.
inline std::vector<UINT> ContextMenuItems(CCompareView& view, bool leftTree)
{
    std::vector<UINT> items;
    std::thread person([&]() {
        HWND menu = nullptr;
        if (!WaitFor([&]() { return (menu = ::FindWindowA("#32768", nullptr)) && ::IsWindowVisible(menu); }))
            return;
        HMENU shown = reinterpret_cast<HMENU>(::SendMessageA(menu, MN_GETHMENU, 0, 0));
        for (int i = 0; i < ::GetMenuItemCount(shown); ++i)
            items.push_back(::GetMenuItemID(shown, i));
        ::PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    CTreeCtrl& tree = leftTree ? view.LeftTree() : view.RightTree();
    UINT id = leftTree ? kLeftTreeId : kRightTreeId;
    NMHDR click{tree.GetSafeHwnd(), id, static_cast<UINT>(NM_RCLICK)};
    LRESULT result = view.SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&click));
    person.join();
    if (result != 0)
        items.push_back(static_cast<UINT>(-1));  // the tree would not go on
    return items;
}

// Runs command while a helper answers the information boxes of the program's
// own windows, as many as come until it has returned; their texts in order.
inline std::vector<std::string> AnsweringNotes(const std::function<void()>& command)
{
    std::atomic<bool> returned{false}, finished{false};
    std::vector<std::string> told;
    std::thread person([&]() {
        while (!returned) {
            HWND box = nullptr;
            WaitFor([&]() { return returned || (box = FindDialogOfProcess(kProgramCaption)) != nullptr; });
            if (!box)
                continue;
            told.push_back(ReadDialog(box).MessageText());
            PressButton(box, IDOK);
            WaitFor([&]() { return !::IsWindow(box); });
        }
        finished = true;
    });
    command();
    returned = true;
    // The helper reads the captions of this thread's windows, which this
    // thread answers only while it serves its messages.
    ServeUntil([&]() { return finished.load(); });
    person.join();
    return told;
}
