#include "snapshot/SnapOperation.h"

#include "framework/WinApp.h"
#include "snapshot/FSSnap.h"
#include "snapshot/RegSnap.h"
#include "operation/SnapProgressDlg.h"

CSnapOperation::CSnapOperation() : CTaggedObject(kTagOperation) {}

CSnapOperation::~CSnapOperation() = default;

int CSnapOperation::Start(CWnd* owner, CSnapProgressDlg* progress, const std::string& path, int kind,
                          char drive, BOOL fullPaths)
{
    m_pOwner = owner;
    m_pProgress = progress;
    m_strPath = path;
    m_nKind = kind;
    m_chDrive = drive;
    m_bFullPaths = fullPaths;

    m_pThread = std::make_unique<CWorkerThread>();
    if (!m_pThread->Begin(WorkerEntry, this)) {
        m_pThread.reset();
        return 0;
    }
    WaitForWorker();
    return 1;
}

void CSnapOperation::WaitForWorker()
{
    HANDLE thread = m_pThread->Handle();
    bool quit = false;
    int quitCode = 0;
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
        if (m_pThread->HasEnded())
            break;
        // Sleeps until a message, a sent message or the end of the worker.
        ::MsgWaitForMultipleObjectsEx(1, &thread, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    if (quit)
        ::PostQuitMessage(quitCode);
}

unsigned __stdcall CSnapOperation::WorkerEntry(void* param)
{
    auto* self = static_cast<CSnapOperation*>(param);
    if (!self->IsValid())
        return 1;
    try {
        self->RunSnapshot();
    } catch (const CAbortSignal&) {
        // Reported where it was raised.
    } catch (...) {
        // Nothing may unwind out of the thread.
    }
    return 0;
}

void CSnapOperation::RunSnapshot()
{
    switch (m_nKind) {
    case kSnapKindFileSystem: {
        CFSSnap snapshot(m_strPath, m_chDrive, m_pOwner, m_pProgress);
        snapshot.Run();
        break;
    }
    case kSnapKindRegistry: {
        CRegSnap snapshot(m_strPath, m_pOwner, m_pProgress, m_bFullPaths);
        snapshot.Run();
        break;
    }
    default:
        break;
    }
}
