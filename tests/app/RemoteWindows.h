// Finding and driving the windows of another process (corvane.exe) through
// their classes, captions, command ids and control ids.
#pragma once

#include "tests/support/WindowFinder.h"

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

WindowTest MainFrameWindow();
// Returns once the main frame's thread has served every message posted to the
// frame before, and what those posted to it in turn: two commands that toggle
// the status bar, hidden or shown, are served after them, in order, and leave
// it as it was; the second has been carried out to its end. False when the
// deadline passed first.
bool FrameServedPosted(HWND frame, DWORD deadlineMs = kPatienceMs);
// The text of a control of another process: GetWindowText does not ask a
// window of another process for it, WM_GETTEXT does.
std::string SentText(HWND h);
// Presses a dialog's button as its click would.
void PressRemote(HWND dialog, int id);

// The frame's status bar, and the text of a pane: the message pane by
// default; "" for a pane it does not have.
HWND FindStatusBar(HWND frame);
std::string StatusBarText(HWND frame, int pane = 0);
// The frame's toolbar, found by its class wherever it sits: in the frame or a
// container of it, or in a floating window of the program that the frame owns.
HWND FindToolBar(HWND frame);
// The screen rectangle of the toolbar's button of the command; false when the
// toolbar has none.
bool ToolBarButtonRect(HWND toolBar, UINT command, RECT& screen);

// A buffer in another process, for the messages of its controls that carry a
// pointer; freed with the object.
class CRemoteMemory {
public:
    // In the process of window.
    CRemoteMemory(HWND window, size_t size);
    ~CRemoteMemory();
    CRemoteMemory(const CRemoteMemory&) = delete;
    CRemoteMemory& operator=(const CRemoteMemory&) = delete;

    bool IsOpen() const { return m_at != nullptr; }
    // The address of the byte at offset, in the other process.
    LPARAM At(size_t offset = 0) const { return reinterpret_cast<LPARAM>(m_at + offset); }
    bool Write(size_t offset, const void* data, size_t size);
    bool Read(size_t offset, void* data, size_t size);

private:
    HANDLE m_process = nullptr;
    char* m_at = nullptr;
    size_t m_size;
};

// The left or right tree of the comparison view in the frame's host window,
// once it is there and shown; null when it did not come within the deadline.
HWND FindCompareTree(HWND frame, bool left, DWORD deadlineMs = kPatienceMs);

// A tree control of another process, read and clicked as a person would: the
// tree messages that carry a pointer get one into a buffer in the tree's own
// process.
class CRemoteTree {
public:
    explicit CRemoteTree(HWND tree);
    CRemoteTree(const CRemoteTree&) = delete;
    CRemoteTree& operator=(const CRemoteTree&) = delete;

    bool IsOpen() const { return m_memory.IsOpen(); }
    HWND Get() const { return m_hTree; }

    std::string Text(HTREEITEM entry);
    // The entry's picture and selected picture, and whether it is expanded.
    bool Images(HTREEITEM entry, int& image, int& selectedImage, bool& expanded);
    // Every entry in pre-order, one line each: depth, text, picture/selected
    // picture, and " +" when it is expanded. From top down only, at depth 0,
    // when it is given.
    std::string Listing(HTREEITEM top = nullptr);
    // The entries from the root down to the one the texts name; empty when one
    // of them is not there.
    std::vector<HTREEITEM> Path(const std::vector<std::string>& texts);
    void Expand(HTREEITEM entry);
    // A click on the entry's text, posted as the mouse would; true once the
    // entry is selected and its tree has the focus.
    bool Click(HTREEITEM entry);
    // A second click at once: a double-click on the selected entry.
    bool DoubleClick(HTREEITEM entry);

private:
    bool EntryPoint(HTREEITEM entry, LPARAM& at);

    HWND m_hTree;
    CRemoteMemory m_memory;
};
