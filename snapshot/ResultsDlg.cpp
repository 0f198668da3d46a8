#include "snapshot/ResultsDlg.h"

#include "res/resource.h"

CResultsDlg::CResultsDlg(CWnd* parent) : CDialog(IDD_RESULTS, parent) {}

void CResultsDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Text(IDC_RESULTS_TEXT, m_strResults);
}
