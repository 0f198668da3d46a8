// The tagged objects that own Windows handles: a named semaphore, shared by
// every object and every process that names it, and an open registry key.
#pragma once

#include "snapshot/TaggedObject.h"

#include <windows.h>

class CNamedSemaphore : public CTaggedObject {
public:
    // Holds no semaphore until Create succeeds.
    CNamedSemaphore() : CTaggedObject(kTagNamedSemaphore) {}
    // Raises the abort signal when the semaphore can be neither created nor opened.
    CNamedSemaphore(const char* name, LONG initialCount, LONG maximumCount,
                    SECURITY_ATTRIBUTES* security = nullptr);
    ~CNamedSemaphore() override;

    BOOL Create(const char* name, LONG initialCount, LONG maximumCount,
                SECURITY_ATTRIBUTES* security = nullptr);
    // TRUE exactly when the wait returned WAIT_OBJECT_0; 0 only tries.
    BOOL Lock(DWORD timeoutMs);
    BOOL Unlock(LONG count);

private:
    void CloseHandle();
    HANDLE m_h = nullptr;
};

class CRegKeyHandle : public CTaggedObject {
public:
    CRegKeyHandle() : CTaggedObject(kTagRegKeyHandle) {}
    ~CRegKeyHandle() override { Close(); }

    BOOL Open(HKEY parent, const char* subkey);
    LONG Close();
    HKEY Get() const { return m_h; }

private:
    HKEY m_h = nullptr;
};
