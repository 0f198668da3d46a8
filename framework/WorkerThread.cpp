#include "framework/WorkerThread.h"

#include <process.h>

bool CWorkerThread::Begin(Entry entry, void* param)
{
    uintptr_t h = ::_beginthreadex(nullptr, 0, entry, param, 0, nullptr);
    if (h == 0)
        return false;
    m_hThread.Attach(reinterpret_cast<HANDLE>(h));
    return true;
}
