#include "app/FilterDialogs.h"

#include "framework/FileDialog.h"
#include "operation/AppMessages.h"
#include "compare/WideChars.h"
#include "report/AnsiText.h"
#include "report/DiffFilter.h"
#include "res/resource.h"
#include "snapshot/StdioFile.h"

#include <cstdio>

const char* const kPatternFileTypes = "Pattern files (*.txt)|*.txt|All files (*.*)|*.*||";

std::string WithCrLf(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out += '\r';
        out += text[i];
    }
    return out;
}

CFiltersDlg::CFiltersDlg(const std::string& patterns, CWnd* parent)
    : CDialog(IDD_FILTERS, parent), m_strPatterns(patterns)
{
    MakeWide();
}

void CFiltersDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Control(IDC_FILTER_PATTERNS, m_editPatterns);
    if (!dx.IsSaving())
        SetBoxText(m_strPatterns);
}

std::string CFiltersDlg::BoxText() const
{
    const std::wstring text = m_editPatterns.GetWindowTextWide();
    return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

void CFiltersDlg::SetBoxText(const std::string& utf8)
{
    const std::u16string text = Utf8ToUtf16(utf8);
    ::SetWindowTextW(m_editPatterns.GetSafeHwnd(), std::wstring(text.begin(), text.end()).c_str());
}

bool CFiltersDlg::OnCommand(UINT id, UINT code, HWND control)
{
    switch (id) {
    case IDC_FILTER_LOAD:
        if (code == BN_CLICKED)
            OnLoad();
        return true;
    case IDC_FILTER_SAVE:
        if (code == BN_CLICKED)
            OnSaveAs();
        return true;
    default:
        return CDialog::OnCommand(id, code, control);
    }
}

void CFiltersDlg::Tell(const std::string& text, UINT icon) const
{
    ::MessageBoxA(m_hWnd, text.c_str(), kProgramCaption, MB_OK | icon);
}

// The file's bytes as they are, but for the byte-order mark, which the box
// would show as three odd letters; the patterns read it either way.
void CFiltersDlg::OnLoad()
{
    CFileDialog open(true, "txt", nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, kPatternFileTypes, this);
    if (!open.DoModal())
        return;
    std::string text;
    std::FILE* file = OpenStdioFile(open.GetPathName(), "rb");
    bool read = file != nullptr;
    if (file) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            text.append(buffer, n);
        read = !std::ferror(file);
        std::fclose(file);
    }
    if (!read) {
        Tell("ERROR: Cannot read the pattern file " + open.GetPathName() + ".", MB_ICONEXCLAMATION);
        return;
    }
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    // A file of UTF-8 is taken as it is, any other as text in the code page.
    if (!IsUtf8(text))
        text = AnsiToUtf8(text);
    SetBoxText(WithCrLf(text));
}

void CFiltersDlg::OnSaveAs()
{
    CFileDialog save(false, "txt", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kPatternFileTypes, this);
    if (!save.DoModal())
        return;
    std::string text = BoxText();
    if (!text.empty() && text.back() != '\n')
        text += "\r\n";
    std::FILE* file = OpenStdioFile(save.GetPathName(), "wb");
    bool written = file && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (file && std::fclose(file) != 0)
        written = false;
    if (!written)
        Tell("ERROR: Cannot write the pattern file " + save.GetPathName() + ".", MB_ICONEXCLAMATION);
}

void CFiltersDlg::OnOK()
{
    std::string text = BoxText();
    CPathFilter check;
    std::string error;
    if (!check.AddLines(text, error)) {
        Tell("The filters were not changed: " + Utf8ToAnsi(error), MB_ICONEXCLAMATION);
        return;
    }
    m_strPatterns = text;
    EndDialog(IDOK);
}

CFindDlg::CFindDlg(const std::wstring& text, CWnd* parent) : CDialog(IDD_FIND, parent), m_strText(text)
{
    MakeWide();
}

void CFindDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Text(IDC_FIND_TEXT, m_strText);
}
