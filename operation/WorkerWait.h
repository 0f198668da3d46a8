// The worker thread of a long operation and the user-interface thread's wait
// for it, shared by the snapshot and the comparison. The wait never blocks the
// user interface: it serves the thread's messages (the worker's sent messages
// to the progress window among them) and the application's idle processing
// until the worker has ended.
#pragma once

#include "framework/WorkerThread.h"

#include <functional>
#include <memory>

class CSnapProgressDlg;

// What the user is told when a worker stops on a failure that nothing inside
// it handled; each text is a whole message box.
struct CWorkerFailureTexts {
    const char* outOfMemory;
    const char* unexpected;
};

// Tells the user of the failure being handled, from inside its catch: the
// abort signal not at all (it was told where it was raised), std::bad_alloc
// as out of memory, anything else as unexpected; in one application-wide box.
void ReportFailure(const CWorkerFailureTexts& texts);

class COperationWorker {
public:
    // progress: the operation's progress window, whose coalesced bar steps
    // are delivered when the work ends; null when it has none.
    COperationWorker(const CWorkerFailureTexts& failure, CSnapProgressDlg* progress);
    // Waits for a worker that is still running (the command that started it
    // is being unwound by an exception), so nothing it uses is destroyed
    // under it.
    ~COperationWorker();
    COperationWorker(const COperationWorker&) = delete;
    COperationWorker& operator=(const COperationWorker&) = delete;

    // Runs work on a new worker thread and returns when it has ended; false
    // when the thread could not be begun. A quit request that arrives during
    // the wait does not end it (the worker still uses the objects of the
    // command that started it); it is posted again once the worker has ended.
    // The abort signal ends the work quietly (it was reported where it was
    // raised); any other failure is reported in one message box.
    bool Run(std::function<void()> work);

    // Whether the last run saw a quit request.
    bool QuitRequested() const { return m_bQuit; }

private:
    static unsigned __stdcall Entry(void* param);
    void Work();
    void Wait();

    CWorkerFailureTexts m_failure;
    CSnapProgressDlg* m_pProgress;
    std::function<void()> m_work;
    std::unique_ptr<CWorkerThread> m_pThread;
    bool m_bQuit = false;
};

// Serves this thread's messages and idle processing until `thread` has ended.
// Returns whether a quit request arrived meanwhile; its code is then in
// quitCode and the request has been taken from the queue.
bool ServeUntilEnded(const CWorkerThread& thread, int& quitCode);
