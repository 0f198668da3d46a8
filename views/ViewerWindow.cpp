#include "views/ViewerWindow.h"

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
