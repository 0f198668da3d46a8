#include "framework/FileDialog.h"

#include <commdlg.h>

#include <vector>

CFileDialog::CFileDialog(bool open, const char* defaultExtension, const char* fileName, DWORD flags,
                         const char* filter, CWnd* owner)
    : m_bOpen(open), m_strExtension(defaultExtension ? defaultExtension : ""),
      m_strFileName(fileName ? fileName : ""), m_strFilter(filter ? filter : ""), m_nFlags(flags),
      m_hOwner(owner ? owner->GetSafeHwnd() : nullptr)
{
    for (char& c : m_strFilter)
        if (c == '|')
            c = '\0';
}

bool CFileDialog::DoModal()
{
    std::vector<char> file(MAX_PATH * 4, '\0');
    m_strFileName.copy(file.data(), file.size() - 1);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hOwner;
    ofn.lpstrFilter = m_strFilter.empty() ? nullptr : m_strFilter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrDefExt = m_strExtension.empty() ? nullptr : m_strExtension.c_str();
    ofn.lpstrTitle = m_strTitle.empty() ? nullptr : m_strTitle.c_str();
    ofn.Flags = m_nFlags | OFN_EXPLORER;
    BOOL ok = m_bOpen ? ::GetOpenFileNameA(&ofn) : ::GetSaveFileNameA(&ofn);
    if (!ok)
        return false;
    m_strPath = file.data();
    m_nFilterIndex = static_cast<int>(ofn.nFilterIndex);
    return true;
}
