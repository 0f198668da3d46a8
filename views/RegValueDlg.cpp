#include "views/RegValueDlg.h"

#include "compare/RegTypes.h"
#include "compare/CompareNode.h"
#include "compare/RegVal.h"
#include "compare/WideChars.h"
#include "res/resource.h"
#include "views/RegValueText.h"
#include "views/ViewerWindow.h"

const char* const kHexDumpFont = "Courier";

CRegValueDlg::CRegValueDlg(UINT templateId, std::string title, const CRegVal& value, CWnd* parent)
    : CViewerDlg(templateId, parent), m_pValue(&value), m_strTitle(std::move(title))
{
    // Names and strings the code page cannot hold are shown as the registry
    // holds them.
    MakeWide();
}

namespace {

const wchar_t* Wide(const std::u16string& text)
{
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

// The value's exact string data as units; a last odd byte is no character.
std::u16string_view ExactUnits(const CRegVal& value)
{
    return std::u16string_view(reinterpret_cast<const char16_t*>(value.GetExactData()), value.GetExactDataSize() / 2);
}

}  // namespace

void CRegValueDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Control(IDC_REG_TYPE, m_staticType);
    dx.Control(IDC_REG_VALUE, m_editValue);
}

BOOL CRegValueDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(m_strTitle.c_str());
    const CCompareName& name = m_pValue->GetStoredName();
    if (name.HasExact()) {
        std::string root;
        m_pValue->GetParent()->GetRoot()->GetName(root);
        ::SetWindowTextW(m_hWnd, Wide(SystemTextToUtf16(root + " : ") + std::u16string(name.Exact())));
    }
    ShowValue();
    // The view keeps the viewer, which may outlive the value's tree: it
    // reads the value only here.
    m_pValue = nullptr;
    return TRUE;
}

void CRegValueDlg::ShowStrings(std::u16string (*exactText)(const char16_t*, uint32_t),
                               std::string (*recordedText)(const uint8_t*, uint32_t))
{
    if (m_pValue->HasExactData()) {
        const std::u16string_view units = ExactUnits(*m_pValue);
        ::SetWindowTextW(m_editValue.GetSafeHwnd(), Wide(exactText(units.data(), static_cast<uint32_t>(units.size()))));
    } else {
        m_editValue.SetWindowText(recordedText(m_pValue->GetData(), m_pValue->GetDataSize()).c_str());
    }
}

CRegStringDlg::CRegStringDlg(std::string title, const CRegVal& value, CWnd* parent)
    : CRegValueDlg(IDD_REG_STRING, std::move(title), value, parent)
{
}

void CRegStringDlg::ShowValue()
{
    // As stored: environment references of REG_EXPAND_SZ stay unexpanded.
    ShowStrings(RegWideStringText, RegStringText);
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
    ShowStrings(RegWideStringListText, RegStringListText);
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
