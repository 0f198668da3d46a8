// Answers dialogs the way a person would: a helper thread waits for a window
// of this process with a given caption, reads what it shows, and presses one
// of its buttons.
#pragma once

#include "tests/support/WindowFinder.h"

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

struct SeenDialog {
    bool seen = false;
    std::string caption;
    std::vector<std::string> statics;  // texts of the static controls, in z-order
    std::vector<std::string> edits;    // texts of the edit controls
    std::vector<std::string> buttons;  // captions of the buttons
    // The text of a message box (its static control 0xFFFF).
    std::string MessageText() const { return messageText; }
    std::string messageText;
    // The system icon a message box shows: "exclamation", "information",
    // "question", "error", "other" for one of its own, "" for none.
    std::string icon;
};

// Finds a visible top-level dialog of this process with the caption, or null.
HWND FindDialogOfProcess(const char* caption);
// Waits for one, until it has finished its initialisation; null when none came.
HWND WaitForDialog(const char* caption, DWORD deadlineMs = kPatienceMs);
// Counts the visible dialogs of this process with the caption.
int CountDialogs(const char* caption);
SeenDialog ReadDialog(HWND dialog);
// Presses a button as a click would.
void PressButton(HWND dialog, int buttonId);

class CDialogDriver {
public:
    CDialogDriver() = default;
    ~CDialogDriver() { Join(); }
    CDialogDriver(const CDialogDriver&) = delete;
    CDialogDriver& operator=(const CDialogDriver&) = delete;

    // Answers the next dialogs with this caption, one after the other, by pressing
    // the buttons in order; each is waited for up to deadlineMs, and its end too.
    void Answer(const char* caption, std::vector<int> buttonIds, DWORD deadlineMs = kPatienceMs);
    void Answer(const char* caption, int buttonId, DWORD deadlineMs = kPatienceMs)
    {
        Answer(caption, std::vector<int>{buttonId}, deadlineMs);
    }
    // Waits for the helper; returns what each answered dialog showed.
    const std::vector<SeenDialog>& Join();

private:
    std::thread m_thread;
    std::vector<SeenDialog> m_seen;
};
