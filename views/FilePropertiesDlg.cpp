#include "views/FilePropertiesDlg.h"

#include "res/resource.h"
#include "views/ViewerWindow.h"

CFilePropertiesDlg::CFilePropertiesDlg(CWnd* parent) : CViewerDlg(IDD_FILE_PROPERTIES, parent)
{
    // Names the code page cannot hold are shown as the file system holds them.
    MakeWide();
}

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
    if (!m_exactName.empty()) {
        auto wide = [](const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); };
        ::SetWindowTextW(m_hWnd, wide(m_exactTitle));
        ::SetDlgItemTextW(m_hWnd, IDC_FILE_NAME, wide(m_exactName));
        ::SetDlgItemTextW(m_hWnd, IDC_FILE_FULLPATH, wide(m_exactFullPath));
    }
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
    dialog->m_exactTitle = texts.m_exactTitle;
    dialog->m_exactName = texts.m_exactName;
    dialog->m_exactFullPath = texts.m_exactFullPath;
    if (!dialog->CreateModeless(parent))
        return nullptr;
    return std::make_unique<CDialogViewerWindow>(std::move(dialog));
}
