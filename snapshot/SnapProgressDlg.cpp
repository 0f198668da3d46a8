#include "snapshot/SnapProgressDlg.h"

#include "res/resource.h"
#include "snapshot/ProgressMessages.h"

CSnapProgressDlg::CSnapProgressDlg(BOOL barUpdates)
    : CDialog(IDD_SNAPPROGRESS), m_bBarUpdates(barUpdates)
{
    m_bSharedLock = m_lock.Create(kProgressLockName, 1, 1) != FALSE;
    if (!m_bSharedLock) {
        // Without the named semaphore the values still need guarding between
        // this process's two threads; if even that fails, setters and
        // refreshes find the lock busy and drop their work.
        m_lock.Create(nullptr, 1, 1);
    }
}

CSnapProgressDlg::~CSnapProgressDlg() = default;

void CSnapProgressDlg::SetTitleText(const char* text)
{
    if (m_lock.Lock(0)) {
        m_strTitle = text;
        m_lock.Unlock(1);
    }
}

void CSnapProgressDlg::SetStatusText(const char* text)
{
    if (m_lock.Lock(0)) {
        m_strStatus = text;
        m_lock.Unlock(1);
    }
}

void CSnapProgressDlg::SetPercent(float percent)
{
    if (m_lock.Lock(0)) {
        m_fPercent = percent;
        m_lock.Unlock(1);
    }
}

bool CSnapProgressDlg::Refresh(bool wait)
{
    if (!m_lock.Lock(wait ? INFINITE : 0))
        return false;
    ShowValues();
    return m_lock.Unlock(1) != FALSE;
}

void CSnapProgressDlg::ShowValues()
{
    if (!m_hWnd)
        return;
    ::SendMessageA(GetDlgItem(IDC_PROGRESS_TITLE), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(m_strTitle.c_str()));
    ::SendMessageA(GetDlgItem(IDC_PROGRESS_STATUS), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(m_strStatus.c_str()));
    if (m_bBarUpdates && m_hBar)
        ::SendMessageA(m_hBar, WM_BAR_SETPOS, reinterpret_cast<WPARAM>(&m_fPercent), 0);
    m_nFrame = (m_nFrame + 1) % 4;
}

void CSnapProgressDlg::BarSetPos(float percent)
{
    if (m_hBar)
        ::SendMessageA(m_hBar, WM_BAR_SETPOS, reinterpret_cast<WPARAM>(&percent), 0);
}

void CSnapProgressDlg::BarSetStep(float percent)
{
    if (m_hBar)
        ::SendMessageA(m_hBar, WM_BAR_SETSTEP, reinterpret_cast<WPARAM>(&percent), 0);
}

void CSnapProgressDlg::BarStepIt()
{
    if (m_hBar)
        ::PostMessageA(m_hBar, WM_BAR_STEPIT, 0, 0);
}

int CSnapProgressDlg::BarGetPos()
{
    return m_hBar ? static_cast<int>(::SendMessageA(m_hBar, WM_BAR_GETPOS, 0, 0)) : 0;
}
