#include "snapshot/WinTaggedObjects.h"

LONG CRegKeyHandle::Open(HKEY parent, const wchar_t* subkey, REGSAM access)
{
    if (m_h)
        return ERROR_ALREADY_EXISTS;
    HKEY key = nullptr;
    LONG result = ::RegOpenKeyExW(parent, subkey, 0, access, &key);
    if (result == ERROR_SUCCESS)
        m_h = key;
    return result;
}

LONG CRegKeyHandle::Close()
{
    LONG result = 0;
    if (m_h)
        result = ::RegCloseKey(m_h);
    m_h = nullptr;
    return result;
}
