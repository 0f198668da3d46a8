#include "operation/WorkerWait.h"

#include "framework/WinApp.h"
#include "operation/AppMessages.h"
#include "operation/SnapProgressDlg.h"
#include "seams/Abort.h"

#include <new>

void ReportFailure(const CWorkerFailureTexts& texts)
{
    try {
        throw;
    } catch (const CAbortSignal&) {
        // Told where it was raised.
    } catch (const std::bad_alloc&) {
        AppMessages().Error(texts.outOfMemory);
    } catch (...) {
        AppMessages().Error(texts.unexpected);
    }
}

bool ServeUntilEnded(const CWorkerThread& thread, int& quitCode)
{
    HANDLE handle = thread.Handle();
    bool quit = false;
    for (;;) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            int code = 0;
            if (!AppPumpMessage(code)) {
                quit = true;
                quitCode = code;
            }
        }
        for (LONG count = 0; AppOnIdle(count); ++count) {
        }
        if (thread.HasEnded())
            return quit;
        // Sleeps until a message, a sent message or the end of the worker.
        ::MsgWaitForMultipleObjectsEx(1, &handle, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

COperationWorker::COperationWorker(const CWorkerFailureTexts& failure, CSnapProgressDlg* progress)
    : m_failure(failure), m_pProgress(progress)
{
}

COperationWorker::~COperationWorker()
{
    if (m_pThread && !m_pThread->HasEnded())
        Wait();
}

bool COperationWorker::Run(std::function<void()> work)
{
    if (m_pThread && !m_pThread->HasEnded())
        Wait();
    m_work = std::move(work);
    m_bQuit = false;
    m_pThread = std::make_unique<CWorkerThread>();
    if (!m_pThread->Begin(Entry, this)) {
        m_pThread.reset();
        return false;
    }
    Wait();
    return true;
}

void COperationWorker::Wait()
{
    int quitCode = 0;
    if (ServeUntilEnded(*m_pThread, quitCode)) {
        m_bQuit = true;
        ::PostQuitMessage(quitCode);
    }
}

unsigned __stdcall COperationWorker::Entry(void* param)
{
    static_cast<COperationWorker*>(param)->Work();
    return 0;
}

void COperationWorker::Work()
{
    // Nothing may unwind out of the thread.
    try {
        try {
            m_work();
        } catch (...) {
            ReportFailure(m_failure);
        }
        if (m_pProgress)
            m_pProgress->DeliverSteps();
    } catch (...) {
    }
}
