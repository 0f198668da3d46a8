// A semaphore shared by every object and every process that names it, and a
// lock built on one that no other process can hold against this one for long.
#pragma once

#include "framework/Handle.h"

#include <windows.h>

#include <atomic>

// How long a wait for a shared lock lasts before it gives up: far longer than
// any copy of the program holds one (the time to copy a few values).
constexpr DWORD kSharedLockPatienceMs = 2000;

class CNamedSemaphore {
public:
    // Holds no semaphore until Create succeeds.
    CNamedSemaphore() = default;
    // Creates as Create does; IsOpen tells whether it succeeded.
    CNamedSemaphore(const char* name, LONG initialCount, LONG maximumCount,
                    SECURITY_ATTRIBUTES* security = nullptr)
    {
        Create(name, initialCount, maximumCount, security);
    }
    CNamedSemaphore(const CNamedSemaphore&) = delete;
    CNamedSemaphore& operator=(const CNamedSemaphore&) = delete;

    // Closes a semaphore already held, then creates the semaphore of that name
    // or opens it when it exists (null: one of this object's own).
    BOOL Create(const char* name, LONG initialCount, LONG maximumCount,
                SECURITY_ATTRIBUTES* security = nullptr);
    bool IsOpen() const { return m_h.IsOpen(); }
    // TRUE exactly when the wait returned WAIT_OBJECT_0; 0 only tries.
    BOOL Lock(DWORD timeoutMs);
    BOOL Unlock(LONG count);

private:
    CHandle m_h;
};

// A lock of one count that every running copy of the program shares by its
// name. A semaphore has no owner, so a copy that died holding it, or any
// process that took its count, would hold it for good: a wait for the shared
// semaphore therefore gives up after `patience`, and from then on this lock is
// one of this process alone. The threads of this process are kept apart by a
// lock of their own in every case, which is taken first; the shared semaphore
// only adds the other copies.
class CSharedLock {
public:
    CSharedLock() = default;
    CSharedLock(const CSharedLock&) = delete;
    CSharedLock& operator=(const CSharedLock&) = delete;

    // False when not even this process's own lock could be made; the lock is
    // then never taken.
    bool Create(const char* name, DWORD patienceMs);
    // wait false: only tries both semaphores once. wait true: waits for this
    // process's own lock without limit and for the shared one up to the patience.
    bool Lock(bool wait);
    void Unlock();
    // Whether the other copies are still kept out (false once a wait gave up,
    // or when the shared semaphore could not be had).
    bool IsShared() const { return m_bShared.load(); }

private:
    CNamedSemaphore m_own;
    CNamedSemaphore m_shared;
    DWORD m_nPatienceMs = 0;
    std::atomic<bool> m_bShared{false};
    // Set by Lock, read by Unlock, under m_own.
    bool m_bHoldsShared = false;
};
