// Driving a dialog of this process from a helper thread, control by control,
// as a person would: the dialog runs modally on the test's thread meanwhile.
#pragma once

#include "tests/app/RemoteWindows.h"
#include "tests/support/DialogDriver.h"

#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

// Clicks a button (also a radio button or check box) and lets it act.
void Click(HWND dialog, int id);
void SetText(HWND dialog, int id, const std::string& text);
std::string GetText(HWND dialog, int id);
std::vector<std::string> ComboEntries(HWND dialog, int id);
// Answers the next message box with the caption by pressing `button` and
// waits until it is destroyed; returns its text.
std::string AnswerBox(const char* caption, int button);

// Runs `steps` on a helper thread once the dialog appeared.
class CDialogSteps {
public:
    CDialogSteps(const char* caption, std::function<void(HWND)> steps);
    ~CDialogSteps() { Join(); }
    void Join()
    {
        if (m_thread.joinable())
            m_thread.join();
    }
    bool Found() const { return m_bFound; }

private:
    std::thread m_thread;
    bool m_bFound = false;
};
