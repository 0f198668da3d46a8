#include "views/FilePropertiesDlg.h"

#include "res/resource.h"
#include "views/ViewerWindow.h"

#include <algorithm>

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
    if (!m_strHash.empty())
        ShowHashRow();
    // No field takes the focus, so none opens with its text selected.
    return FALSE;
}

// The hash row lies below the window's bottom edge until it is shown: the
// window grows by the row's height, and wider where the whole hash would not
// fit its field, so that it can be read against another at a glance.
void CFilePropertiesDlg::ShowHashRow()
{
    HWND field = ::GetDlgItem(m_hWnd, IDC_FILE_HASH);
    ::SetWindowTextA(field, m_strHash.c_str());
    ::ShowWindow(field, SW_SHOWNA);
    ::ShowWindow(::GetDlgItem(m_hWnd, IDC_FILE_HASH_LABEL), SW_SHOWNA);

    RECT row = {0, 0, 4, 16};  // the row's height, and the margin the edit keeps
    ::MapDialogRect(m_hWnd, &row);
    RECT fieldRect;
    ::GetWindowRect(field, &fieldRect);
    SIZE text = {};
    if (HDC dc = ::GetDC(field)) {
        HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(field, WM_GETFONT, 0, 0)));
        ::GetTextExtentPoint32A(dc, m_strHash.c_str(), static_cast<int>(m_strHash.size()), &text);
        ::SelectObject(dc, old);
        ::ReleaseDC(field, dc);
    }
    const int fieldWidth = fieldRect.right - fieldRect.left;
    const int wider = std::max(0L, std::min(text.cx + row.right - fieldWidth, ::GetSystemMetrics(SM_CXSCREEN) / 2L));
    ::SetWindowPos(field, nullptr, 0, 0, fieldWidth + wider, fieldRect.bottom - fieldRect.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT window;
    ::GetWindowRect(m_hWnd, &window);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, window.right - window.left + wider, window.bottom - window.top + row.bottom,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
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
    dialog->m_strHash = texts.m_strHash;
    dialog->m_exactTitle = texts.m_exactTitle;
    dialog->m_exactName = texts.m_exactName;
    dialog->m_exactFullPath = texts.m_exactFullPath;
    if (!dialog->CreateModeless(parent))
        return nullptr;
    return std::make_unique<CDialogViewerWindow>(std::move(dialog));
}
