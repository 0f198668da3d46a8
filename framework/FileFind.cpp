#include "framework/FileFind.h"

bool CFileFind::FindFirst(const char* pattern)
{
    Close();
    m_h = ::FindFirstFileA(pattern, &m_data);
    return m_h != INVALID_HANDLE_VALUE;
}

bool CFileFind::FindNext()
{
    return m_h != INVALID_HANDLE_VALUE && ::FindNextFileA(m_h, &m_data);
}

void CFileFind::Close()
{
    if (m_h != INVALID_HANDLE_VALUE)
        ::FindClose(m_h);
    m_h = INVALID_HANDLE_VALUE;
}

bool CFileFind::IsDots() const
{
    const char* n = m_data.cFileName;
    return n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0));
}
