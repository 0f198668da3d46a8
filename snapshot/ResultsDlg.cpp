#include "snapshot/ResultsDlg.h"

#include "framework/AppMessageBox.h"
#include "res/resource.h"

CResultsDlg::CResultsDlg(CWnd* parent) : CDialog(IDD_RESULTS, parent) {}

void CResultsDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Text(IDC_RESULTS_TEXT, m_strResults);
}

BOOL CResultsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // The dialog manager would select the whole text of the box it focuses.
    HWND text = GetDlgItem(IDC_RESULTS_TEXT);
    ::SetFocus(text);
    ::SendMessageA(text, EM_SETSEL, 0, 0);
    return FALSE;
}

void ShowSnapshotResults(const std::string& text)
{
    CWnd owner(AppPopupOwner());
    CResultsDlg results(owner.GetSafeHwnd() ? &owner : nullptr);
    results.m_strResults = text;
    results.DoModal();
}
