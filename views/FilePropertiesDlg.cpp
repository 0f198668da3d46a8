#include "views/FilePropertiesDlg.h"

#include "res/resource.h"
#include "views/ViewerWindow.h"

CFilePropertiesDlg::CFilePropertiesDlg(CWnd* parent) : CViewerDlg(IDD_FILE_PROPERTIES, parent) {}

void CFilePropertiesDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Text(IDC_FILE_CREATED, m_strCreated);
    dx.Text(IDC_FILE_MODIFIED, m_strModified);
    dx.Text(IDC_FILE_NAME, m_strName);
    dx.Text(IDC_FILE_FULLPATH, m_strFullPath);
    dx.Text(IDC_FILE_SIZE, m_strSize);
}

BOOL CFilePropertiesDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(m_strTitle.c_str());
    // No field takes the focus, so none opens with its text selected.
    return FALSE;
}

INT_PTR CFilePropertiesDlg::OnMessage(UINT msg, WPARAM w, LPARAM l)
{
    if (msg == WM_SETFOCUS) {
        // The focus stays with the window itself: the dialog manager would
        // hand it to the first field, selecting its text. A field the user
        // chose gets it back when the window is activated again.
        return TRUE;
    }
    return CViewerDlg::OnMessage(msg, w, l);
}

std::unique_ptr<CDialogViewerWindow> OpenFilePropertiesWindow(const CFilePropertiesTexts& texts, CWnd* parent)
{
    auto dialog = std::make_unique<CFilePropertiesDlg>(parent);
    dialog->m_strTitle = texts.m_strTitle;
    dialog->m_strCreated = texts.m_strCreated;
    dialog->m_strModified = texts.m_strModified;
    dialog->m_strName = texts.m_strName;
    dialog->m_strFullPath = texts.m_strFullPath;
    dialog->m_strSize = texts.m_strSize;
    if (!dialog->CreateModeless(parent))
        return nullptr;
    return std::make_unique<CDialogViewerWindow>(std::move(dialog));
}
