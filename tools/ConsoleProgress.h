// The progress of a snapshot taken from the command line: the percentage and
// the walker's status on standard error, at most ten times a second. On a
// console it is one line, rewritten in place and cut to the console's width;
// redirected, it is a plain line each time, and only when asked for.
//
// The walkers read the bar's position back (the registry walker adds each
// root subkey's share to it), so the bar is the progress window's own bar
// model, fed as the window feeds it: the bar messages at once, the percentage
// each time the values are shown.
#pragma once

#include "operation/ProgressBar.h"
#include "seams/Progress.h"
#include "seams/UserMessages.h"

#include <windows.h>

#include <string>

class CConsoleProgress : public IProgress {
public:
    // asked: --progress was given, so lines are written even when standard
    // error is no console.
    explicit CConsoleProgress(bool asked);
    ~CConsoleProgress() override;

    // Whether progress is written at all (a console, or asked for).
    bool Shown() const { return m_mode != Mode::Off; }
    // Takes the rewritten line off the console, before other text is written.
    void ClearLine();

    // The title names the kind of snapshot, which the command line gave.
    void SetTitleText(const char*) override {}
    void SetStatusText(const char* text) override;
    void SetPercent(float percent) override;
    bool Refresh(bool wait) override;

    void BarSetPos(float percent) override { m_bar.SetPos(percent); }
    void BarSetStep(float percent) override { m_bar.SetStep(percent); }
    void BarStepIt() override { m_bar.StepIt(); }
    int BarGetPos() override;

private:
    enum class Mode { Off, Console, Lines };

    // Shows the values when the last showing is a tenth of a second ago.
    void Tick();
    void ShowValues();

    Mode m_mode = Mode::Off;
    HANDLE m_hErr;
    std::string m_strStatus;
    float m_fPercent = 0;
    CProgressBar m_bar;  // never a window: only its position and steps
    DWORD m_lastShown = 0;
    bool m_bShownOnce = false;
    bool m_bLineOnConsole = false;
};

// The walkers' and engines' messages without boxes: the question is answered
// Yes, errors go to standard error, notes only along with the progress.
class CConsoleMessages : public IUserMessages {
public:
    explicit CConsoleMessages(CConsoleProgress& progress) : m_progress(progress) {}
    MsgAnswer Show(const std::string& text, MsgIcon icon, MsgButtons buttons) override;

private:
    CConsoleProgress& m_progress;
};
