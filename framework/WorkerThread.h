// A worker thread that runs one function and keeps its handle, valid after the
// thread has ended, until the object is destroyed.
#pragma once

#include "framework/Handle.h"

#include <windows.h>

class CWorkerThread {
public:
    using Entry = unsigned(__stdcall*)(void* param);

    CWorkerThread() = default;
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    // Begins the thread at normal priority with the default stack size.
    bool Begin(Entry entry, void* param);
    HANDLE Handle() const { return m_hThread.Get(); }
    // True once the thread has ended.
    bool HasEnded() const { return ::WaitForSingleObject(m_hThread.Get(), 0) == WAIT_OBJECT_0; }

private:
    CHandle m_hThread;
};
