#include "framework/NamedSemaphore.h"

BOOL CNamedSemaphore::Create(const char* name, LONG initialCount, LONG maximumCount,
                             SECURITY_ATTRIBUTES* security)
{
    m_h.Close();
    return m_h.Attach(::CreateSemaphoreA(security, initialCount, maximumCount, name)) ? TRUE : FALSE;
}

BOOL CNamedSemaphore::Lock(DWORD timeoutMs)
{
    return m_h.IsOpen() && ::WaitForSingleObject(m_h.Get(), timeoutMs) == WAIT_OBJECT_0;
}

BOOL CNamedSemaphore::Unlock(LONG count)
{
    return m_h.IsOpen() && ::ReleaseSemaphore(m_h.Get(), count, nullptr);
}

bool CSharedLock::Create(const char* name, DWORD patienceMs)
{
    m_nPatienceMs = patienceMs;
    m_bShared = m_shared.Create(name, 1, 1) != FALSE;
    return m_own.Create(nullptr, 1, 1) != FALSE;
}

bool CSharedLock::Lock(bool wait)
{
    if (!m_own.Lock(wait ? INFINITE : 0))
        return false;
    m_bHoldsShared = false;
    if (!m_bShared)
        return true;
    if (m_shared.Lock(wait ? m_nPatienceMs : 0)) {
        m_bHoldsShared = true;
        return true;
    }
    if (!wait) {
        // Busy in another copy: this try fails, as a try on the shared lock would.
        m_own.Unlock(1);
        return false;
    }
    // Held far longer than any copy of the program holds it: by a copy that
    // died or by a process that never lets go. Go on without the other copies.
    m_bShared = false;
    return true;
}

void CSharedLock::Unlock()
{
    if (m_bHoldsShared) {
        m_bHoldsShared = false;
        m_shared.Unlock(1);
    }
    m_own.Unlock(1);
}
