#include "framework/FileFind.h"

bool CFileFind::FindFirst(const wchar_t* pattern)
{
    Close();
    // The basic level leaves out the short names, which nothing here reads
    // and which cost a lookup each; systems before Windows 7 know only the
    // standard level.
    m_h.Attach(::FindFirstFileExW(pattern, FindExInfoBasic, &m_data, FindExSearchNameMatch, nullptr,
                                  FIND_FIRST_EX_LARGE_FETCH));
    if (!m_h.IsOpen() && ::GetLastError() == ERROR_INVALID_PARAMETER)
        m_h.Attach(::FindFirstFileExW(pattern, FindExInfoStandard, &m_data, FindExSearchNameMatch,
                                      nullptr, 0));
    if (m_h.IsOpen()) {
        m_bListed = true;
        return true;
    }
    // A folder without entries (a drive's empty root, which lists no "."
    // either) answers that no file was found.
    DWORD error = ::GetLastError();
    m_bListed = error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES;
    return false;
}

bool CFileFind::FindNext()
{
    return m_h.IsOpen() && ::FindNextFileW(m_h, &m_data);
}

bool CFileFind::IsDots() const
{
    const wchar_t* n = m_data.cFileName;
    return n[0] == L'.' && (n[1] == 0 || (n[1] == L'.' && n[2] == 0));
}
