// The operation progress window: title and status lines, the operation's icon,
// an animation and the progress bar. A worker thread reports through the
// shared values (guarded by the "snapprogress" semaphore, shared by every
// progress window of every running copy) and through the bar's messages.
#pragma once

#include "framework/Dialog.h"
#include "snapshot/Progress.h"
#include "snapshot/WinTaggedObjects.h"

#include <string>

constexpr const char* kProgressLockName = "snapprogress";

class CSnapProgressDlg : public CDialog, public IProgress {
public:
    explicit CSnapProgressDlg(BOOL barUpdates);
    ~CSnapProgressDlg() override;

    // Worker side; these work with or without a window.
    void SetTitleText(const char* text) override;
    void SetStatusText(const char* text) override;
    void SetPercent(float percent) override;
    bool Refresh(bool wait) override;
    HWND GetBarWindow() const { return m_hBar; }

    void BarSetPos(float percent) override;
    void BarSetStep(float percent) override;
    void BarStepIt() override;
    int BarGetPos() override;

    // Whether the shared values are guarded by the named semaphore (false
    // when it could not be had and a lock of this process stands in for it).
    bool HasSharedLock() const { return m_bSharedLock; }

protected:
    CNamedSemaphore m_lock;
    bool m_bSharedLock = false;
    HWND m_hBar = nullptr;
    int m_nFrame = 0;
    BOOL m_bBarUpdates;
    float m_fPercent = 0;
    std::string m_strStatus;
    std::string m_strTitle;

private:
    void ShowValues();
};
