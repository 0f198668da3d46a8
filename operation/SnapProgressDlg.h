// The operation progress window: title and status lines, the operation's icon,
// an animation and the progress bar. A worker thread reports through the
// shared values (guarded by the "snapprogress" semaphore, shared by every
// progress window of every running copy) and through the bar's messages.
#pragma once

#include "operation/ProgressBar.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "framework/NamedSemaphore.h"
#include "seams/Progress.h"

#include <string>

constexpr const char* kProgressLockName = "snapprogress";
constexpr UINT_PTR kProgressTimerId = 5;
constexpr UINT kProgressTimerMs = 200;

class CSnapProgressDlg : public CDialog, public IProgress {
public:
    explicit CSnapProgressDlg(BOOL barUpdates);

    // Opens the window (modeless, from template 158) showing the operation's
    // icon, starts the refresh timer and paints it at once.
    virtual BOOL Create(UINT iconId, CWnd* parent);

    // Worker side; these work with or without a window.
    void SetTitleText(const char* text) override;
    void SetStatusText(const char* text) override;
    void SetPercent(float percent) override;
    bool Refresh(bool wait) override;
    HWND GetBarWindow() const { return m_wndBar.GetSafeHwnd(); }

    // The bar's messages. Steps are coalesced: the bar receives their sum
    // when what it shows would change, before any other bar message, on a
    // waiting refresh, and by DeliverSteps, so it never drowns in them and
    // still ends exactly where the steps one by one would put it.
    void BarSetPos(float percent) override;
    void BarSetStep(float percent) override;
    void BarStepIt() override;
    int BarGetPos() override;
    // Hands the bar the steps not yet delivered; on the worker thread, or on
    // any thread once the worker has ended.
    void DeliverSteps();

    // Whether the shared values are also guarded against the other copies by
    // the named semaphore (false when it could not be had, or was held by
    // another process past all patience).
    bool HasSharedLock() const { return m_lock.IsShared(); }

protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    INT_PTR OnMessage(UINT msg, WPARAM w, LPARAM l) override;
    // The window stays until the worker has ended: neither Enter, Escape nor
    // its close box closes it.
    void OnOK() override {}
    void OnCancel() override {}

    CSharedLock m_lock;
    CStatic m_ctlAnimation;
    CStatic m_ctlTitle;
    CStatic m_ctlOperationIcon;
    CStatic m_ctlStatus;
    int m_nFrame = 0;
    BOOL m_bBarUpdates;
    UINT m_nIconId = 0;
    CIcon m_hAnimation[4];
    float m_fPercent = 0;
    std::string m_strStatus;
    std::string m_strTitle;
    CProgressBar m_wndBar;

private:
    void ShowValues();
    void TryStorePending();
    void StorePending();  // with the lock held, on the worker thread

    // Values set by the worker while the lock was busy; touched only by the
    // worker thread, so they need no lock of their own.
    struct PendingValues {
        std::string title, status;
        float percent = 0;
        bool hasTitle = false, hasStatus = false, hasPercent = false;
    } m_pending;

    // The worker's view of the bar, to coalesce its steps: touched only by
    // the worker (or after it ended). The bar's own position may differ when
    // the window's refresh sets it; the steps themselves are always exact.
    struct BarSteps {
        unsigned pending = 0;  // steps not yet sent
        float step = 1.0f;
        float position = 0.0f;  // with the pending steps
        int width = -1;         // of the bar, taken once it exists
        CBarPicture shown{0, "0%"};
    } m_steps;
};
