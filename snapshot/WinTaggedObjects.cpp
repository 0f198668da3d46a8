#include "snapshot/WinTaggedObjects.h"

BOOL CRegKeyHandle::Open(HKEY parent, const char* subkey)
{
    if (m_h)
        return FALSE;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(parent, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return FALSE;
    m_h = key;
    return TRUE;
}

LONG CRegKeyHandle::Close()
{
    LONG result = 0;
    if (m_h)
        result = ::RegCloseKey(m_h);
    m_h = nullptr;
    return result;
}
