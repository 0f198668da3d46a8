#include "snapshot/WinTaggedObjects.h"

CNamedSemaphore::CNamedSemaphore(const char* name, LONG initialCount, LONG maximumCount,
                                 SECURITY_ATTRIBUTES* security)
    : CTaggedObject(kTagNamedSemaphore)
{
    if (!Create(name, initialCount, maximumCount, security))
        RaiseAbortSignal();
}

CNamedSemaphore::~CNamedSemaphore()
{
    CloseHandle();
}

void CNamedSemaphore::CloseHandle()
{
    if (m_h)
        ::CloseHandle(m_h);
    m_h = nullptr;
}

BOOL CNamedSemaphore::Create(const char* name, LONG initialCount, LONG maximumCount,
                             SECURITY_ATTRIBUTES* security)
{
    CloseHandle();
    m_h = ::CreateSemaphoreA(security, initialCount, maximumCount, name);
    return m_h != nullptr;
}

BOOL CNamedSemaphore::Lock(DWORD timeoutMs)
{
    return m_h && ::WaitForSingleObject(m_h, timeoutMs) == WAIT_OBJECT_0;
}

BOOL CNamedSemaphore::Unlock(LONG count)
{
    return m_h && ::ReleaseSemaphore(m_h, count, nullptr);
}

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
