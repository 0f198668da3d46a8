#include "snapshot/SnapOperation.h"

#include "operation/SnapProgressDlg.h"
#include "snapshot/FSSnap.h"
#include "snapshot/RegSnap.h"

const CWorkerFailureTexts kSnapshotFailure = {
    "ERROR: There is not enough memory to complete the snap shot.\n\n"
    "The snap shot is incomplete and cannot be used.",
    "ERROR: An unexpected error stopped the snap shot.\n\n"
    "The snap shot is incomplete and cannot be used.",
};

CSnapOperation::CSnapOperation() : CTaggedObject(kTagOperation) {}

// A worker still running is waited for by the worker object, before the
// fields it uses go.
CSnapOperation::~CSnapOperation()
{
    m_pWorker.reset();
}

int CSnapOperation::Start(CWnd* owner, CSnapProgressDlg* progress, const std::string& path, int kind,
                          char drive, BOOL fullPaths)
{
    m_pOwner = owner;
    m_pProgress = progress;
    m_strPath = path;
    m_nKind = kind;
    m_chDrive = drive;
    m_bFullPaths = fullPaths;

    m_pWorker = std::make_unique<COperationWorker>(kSnapshotFailure, progress);
    bool ran = m_pWorker->Run([this]() {
        if (IsValid())
            RunSnapshot();
    });
    return ran ? 1 : 0;
}

void CSnapOperation::RunSnapshot()
{
    switch (m_nKind) {
    case kSnapKindFileSystem: {
        CFSSnap snapshot(m_strPath, m_chDrive, m_pOwner, m_pProgress);
        snapshot.ChoosePlaces(m_places);
        if (m_bHashContents)
            snapshot.HashContents(0);
        snapshot.Run();
        break;
    }
    case kSnapKindRegistry: {
        CRegSnap snapshot(m_strPath, m_pOwner, m_pProgress, m_bFullPaths);
        snapshot.ChoosePlaces(m_places);
        snapshot.Run();
        break;
    }
    default:
        break;
    }
}
