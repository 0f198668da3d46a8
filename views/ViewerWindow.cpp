#include "views/ViewerWindow.h"

void CViewerDlg::OnOK()
{
    ShowWindow(SW_HIDE);
}

void CViewerDlg::OnCancel()
{
    ShowWindow(SW_HIDE);
}

bool CViewerDlg::PreTranslateMessage(MSG* msg)
{
    // The dialog manager would hand Enter to the default button, of which a
    // viewer has none, and a multi-line field would then keep it.
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN && !(::GetKeyState(VK_CONTROL) & 0x8000)) {
        OnOK();
        return true;
    }
    return false;
}

INT_PTR CViewerDlg::OnMessage(UINT msg, WPARAM w, LPARAM l)
{
    if (msg == WM_CLOSE) {
        // The dialog manager would take the close box for Cancel, which only hides.
        DestroyWindow();
        return TRUE;
    }
    return CDialog::OnMessage(msg, w, l);
}

bool CDialogViewerWindow::IsOpen() const
{
    // The dialog forgets its handle once its window is destroyed.
    return m_pDialog->IsWindow();
}

void CDialogViewerWindow::BringToFront()
{
    if (!IsOpen())
        return;
    m_pDialog->ShowWindow(SW_SHOW);
    m_pDialog->SetActiveWindow();
    m_pDialog->SetForegroundWindow();
    m_pDialog->SetFocus();
}

void CDialogViewerWindow::Destroy()
{
    if (IsOpen())
        m_pDialog->DestroyWindow();
}
