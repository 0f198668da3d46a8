#include "operation/SnapProgressDlg.h"

#include "res/resource.h"
#include "operation/ProgressMessages.h"

CSnapProgressDlg::CSnapProgressDlg(BOOL barUpdates)
    : CDialog(IDD_SNAPPROGRESS), m_bBarUpdates(barUpdates)
{
    // If not even this process's own lock can be made, setters and refreshes
    // find the lock busy and drop their work; the operation still runs.
    m_lock.Create(kProgressLockName, kSharedLockPatienceMs);
    const UINT frames[4] = {IDI_ANIMATION_1, IDI_ANIMATION_2, IDI_ANIMATION_3, IDI_ANIMATION_4};
    for (int i = 0; i < 4; ++i)
        m_hAnimation[i].Load(frames[i], 48);
}

BOOL CSnapProgressDlg::Create(UINT iconId, CWnd* parent)
{
    m_nIconId = iconId;
    if (!CreateModeless(parent))
        return FALSE;
    SetTimer(kProgressTimerId, kProgressTimerMs);
    ShowWindow(SW_SHOW);
    UpdateWindow();
    return TRUE;
}

void CSnapProgressDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Control(IDC_PROGRESS_ANIMATION, m_ctlAnimation);
    dx.Control(IDC_PROGRESS_TITLE, m_ctlTitle);
    dx.Control(IDC_PROGRESS_OPICON, m_ctlOperationIcon);
    dx.Control(IDC_PROGRESS_STATUS, m_ctlStatus);
}

BOOL CSnapProgressDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    // The bar lies 10 pixels below the status line, as wide as it, 20 high.
    RECT status;
    m_ctlStatus.GetClientRect(&status);
    ::MapWindowPoints(m_ctlStatus, m_hWnd, reinterpret_cast<POINT*>(&status), 2);
    RECT bar{status.left, status.bottom + 10, status.right, status.bottom + 30};
    m_wndBar.Create(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_BORDER, bar, this, RGB(0, 91, 146),
                    RGB(223, 252, 255), RGB(255, 255, 255), RGB(0, 0, 0), TRUE, nullptr);

    // LoadIcon's icons are the system's to keep.
    m_ctlOperationIcon.SetIcon(::LoadIconA(ResourceInstance(), MAKEINTRESOURCEA(m_nIconId)));
    m_ctlAnimation.SetIcon(m_hAnimation[0]);
    m_nFrame = 0;
    RECT animation;
    m_ctlAnimation.GetWindowRect(&animation);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&animation), 2);
    m_ctlAnimation.MoveWindow(animation.left, animation.top, 48, 48, TRUE);
    return TRUE;
}

INT_PTR CSnapProgressDlg::OnMessage(UINT msg, WPARAM w, LPARAM l)
{
    switch (msg) {
    case WM_TIMER:
        Refresh(false);
        return FALSE;
    case WM_DESTROY:
        KillTimer(kProgressTimerId);
        return FALSE;
    default:
        return CDialog::OnMessage(msg, w, l);
    }
}

// A setter that finds the lock busy keeps its value as pending instead of
// losing it: a title set once, while the timer's refresh held the lock, would
// otherwise never reach the window. The next setter that gets the lock, or the
// worker's waiting refresh, stores every pending value.
void CSnapProgressDlg::SetTitleText(const char* text)
{
    m_pending.title = text;
    m_pending.hasTitle = true;
    TryStorePending();
}

void CSnapProgressDlg::SetStatusText(const char* text)
{
    m_pending.status = text;
    m_pending.hasStatus = true;
    TryStorePending();
}

void CSnapProgressDlg::SetPercent(float percent)
{
    m_pending.percent = percent;
    m_pending.hasPercent = true;
    TryStorePending();
}

void CSnapProgressDlg::TryStorePending()
{
    if (m_lock.Lock(false)) {
        StorePending();
        m_lock.Unlock();
    }
}

void CSnapProgressDlg::StorePending()
{
    if (m_pending.hasTitle)
        m_strTitle.swap(m_pending.title);
    if (m_pending.hasStatus)
        m_strStatus.swap(m_pending.status);
    if (m_pending.hasPercent)
        m_fPercent = m_pending.percent;
    m_pending.hasTitle = m_pending.hasStatus = m_pending.hasPercent = false;
}

bool CSnapProgressDlg::Refresh(bool wait)
{
    if (wait)
        DeliverSteps();
    if (!m_lock.Lock(wait))
        return false;
    // Only the worker waits; the timer's refresh leaves the worker's pending values alone.
    if (wait)
        StorePending();
    ShowValues();
    m_lock.Unlock();
    return true;
}

void CSnapProgressDlg::ShowValues()
{
    if (!m_hWnd)
        return;
    m_ctlTitle.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(m_strTitle.c_str()));
    m_ctlStatus.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(m_strStatus.c_str()));
    if (m_bBarUpdates && GetBarWindow())
        ::SendMessageA(GetBarWindow(), WM_BAR_SETPOS, reinterpret_cast<WPARAM>(&m_fPercent), 0);
    m_nFrame = (m_nFrame + 1) % 4;
    m_ctlAnimation.SetIcon(m_hAnimation[m_nFrame]);
}

void CSnapProgressDlg::DeliverSteps()
{
    HWND bar = GetBarWindow();
    if (bar && m_steps.pending > 0)
        ::SendMessageA(bar, WM_BAR_STEPIT, m_steps.pending, 0);
    m_steps.pending = 0;
    if (m_steps.width >= 0)
        m_steps.shown = CProgressBar::PictureOf(m_steps.position, m_steps.width);
}

void CSnapProgressDlg::BarSetPos(float percent)
{
    DeliverSteps();
    m_steps.position = CProgressBar::Clamp(percent, 0, 100);
    if (HWND bar = GetBarWindow())
        ::SendMessageA(bar, WM_BAR_SETPOS, reinterpret_cast<WPARAM>(&percent), 0);
}

void CSnapProgressDlg::BarSetStep(float percent)
{
    DeliverSteps();
    m_steps.step = percent;
    if (HWND bar = GetBarWindow())
        ::SendMessageA(bar, WM_BAR_SETSTEP, reinterpret_cast<WPARAM>(&percent), 0);
}

// One posted message per step would flood the user-interface thread with
// the hundreds of thousands of records a file holds (and Windows drops posts
// beyond ten thousand waiting): the steps are counted here and sent as one
// message whenever the bar would show them.
void CSnapProgressDlg::BarStepIt()
{
    HWND bar = GetBarWindow();
    if (!bar)
        return;
    if (m_steps.width < 0) {
        RECT client;
        ::GetClientRect(bar, &client);
        m_steps.width = client.right;
        m_steps.shown = CProgressBar::PictureOf(m_steps.position, m_steps.width);
    }
    ++m_steps.pending;
    m_steps.position = CProgressBar::Clamp(m_steps.position + m_steps.step, 0, 100);
    if (CProgressBar::PictureOf(m_steps.position, m_steps.width) != m_steps.shown)
        DeliverSteps();
}

int CSnapProgressDlg::BarGetPos()
{
    DeliverSteps();
    HWND bar = GetBarWindow();
    return bar ? static_cast<int>(::SendMessageA(bar, WM_BAR_GETPOS, 0, 0)) : 0;
}
