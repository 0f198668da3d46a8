#include "views/RegValueDlg.h"

#include "compare/RegTypes.h"
#include "compare/RegVal.h"
#include "res/resource.h"
#include "views/RegValueText.h"
#include "views/ViewerWindow.h"

const char* const kHexDumpFont = "Courier";

CRegValueDlg::CRegValueDlg(UINT templateId, std::string title, const CRegVal& value, CWnd* parent)
    : CViewerDlg(templateId, parent), m_pValue(&value), m_strTitle(std::move(title))
{
}

void CRegValueDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Control(IDC_REG_TYPE, m_staticType);
    dx.Control(IDC_REG_VALUE, m_editValue);
}

BOOL CRegValueDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(m_strTitle.c_str());
    ShowValue();
    // The view keeps the viewer, which may outlive the value's tree: it
    // reads the value only here.
    m_pValue = nullptr;
    return TRUE;
}

CRegStringDlg::CRegStringDlg(std::string title, const CRegVal& value, CWnd* parent)
    : CRegValueDlg(IDD_REG_STRING, std::move(title), value, parent)
{
}

void CRegStringDlg::ShowValue()
{
    // As stored: environment references of REG_EXPAND_SZ stay unexpanded.
    m_editValue.SetWindowText(RegStringText(m_pValue->GetData(), m_pValue->GetDataSize()).c_str());
    m_staticType.SetWindowText(RegTypeLine(m_pValue->GetType()).c_str());
}

CRegDwordDlg::CRegDwordDlg(std::string title, const CRegVal& value, CWnd* parent)
    : CRegValueDlg(IDD_REG_DWORD, std::move(title), value, parent)
{
}

void CRegDwordDlg::ShowValue()
{
    m_editValue.SetWindowText(RegDwordText(m_pValue->GetData(), m_pValue->GetDataSize()).c_str());
    m_staticType.SetWindowText(RegTypeLine(kRegDword).c_str());
}

CRegBinaryDlg::CRegBinaryDlg(std::string title, const CRegVal& value, CWnd* parent)
    : CRegValueDlg(IDD_REG_BINARY, std::move(title), value, parent)
{
}

void CRegBinaryDlg::ShowValue()
{
    m_font.CreateFontIndirect(FontDescription(kHexDumpFont, 14));
    m_staticType.SetWindowText(RegTypeLine(m_pValue->GetType()).c_str());
    if (RegTypeOf(m_pValue->GetType()).view == RegDataView::StringList)
        ShowStringList();
    else
        ShowHexDump();
}

void CRegBinaryDlg::ShowHexDump()
{
    if (m_font.Get())
        m_editValue.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Get()), TRUE);
    m_editValue.SetWindowText(RegHexDump(m_pValue->GetData(), m_pValue->GetDataSize()).c_str());
}

void CRegBinaryDlg::ShowStringList()
{
    // In the dialog's own font.
    m_editValue.SetWindowText(RegStringListText(m_pValue->GetData(), m_pValue->GetDataSize()).c_str());
}

std::unique_ptr<CDialogViewerWindow> OpenRegValueWindow(RegViewerKind kind, const std::string& caption,
                                                        const CRegVal& value, CWnd* parent)
{
    std::unique_ptr<CDialog> dialog;
    switch (kind) {
    case RegViewerKind::String:
        dialog = std::make_unique<CRegStringDlg>(caption, value, parent);
        break;
    case RegViewerKind::Dword:
        dialog = std::make_unique<CRegDwordDlg>(caption, value, parent);
        break;
    case RegViewerKind::Binary:
        dialog = std::make_unique<CRegBinaryDlg>(caption, value, parent);
        break;
    }
    if (!dialog || !dialog->CreateModeless(parent))
        return nullptr;
    return std::make_unique<CDialogViewerWindow>(std::move(dialog));
}
