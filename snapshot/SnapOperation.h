// One snapshot request on its way from the main frame to the worker thread:
// Start begins the worker and keeps the user-interface thread serving its
// messages and idle work until the worker has ended.
#pragma once

#include "operation/WorkerWait.h"
#include "snapshot/ChosenPlaces.h"
#include "snapshot/TaggedObject.h"

#include <windows.h>

#include <memory>
#include <string>

class CWnd;
class CSnapProgressDlg;

class CSnapOperation : public CTaggedObject {
public:
    CSnapOperation();
    ~CSnapOperation() override;

    // kind: 0 registry, 1 file system, anything else nothing. Returns 0 when
    // the worker could not be begun, else 1 once it has ended. A quit message
    // that arrives meanwhile does not end the wait (the worker still uses this
    // object, the progress window and the owner); it is posted again after.
    int Start(CWnd* owner, CSnapProgressDlg* progress, const std::string& path, int kind, char drive,
              BOOL fullPaths);
    // The folders or keys to record, before Start; none: the whole drive or registry.
    void ChoosePlaces(CChosenPlaces places) { m_places = std::move(places); }
    // A file-system snapshot keeps the hash of every file's content.
    void HashContents(bool hash) { m_bHashContents = hash; }

protected:
    // The worker's work, by kind; runs on the worker thread.
    virtual void RunSnapshot();

    BOOL m_bFullPaths = FALSE;
    char m_chDrive = 0;
    int m_nKind = 0;
    CSnapProgressDlg* m_pProgress = nullptr;
    std::string m_strPath;
    CWnd* m_pOwner = nullptr;
    CChosenPlaces m_places;
    bool m_bHashContents = false;

private:
    std::unique_ptr<COperationWorker> m_pWorker;
};

enum : int { kSnapKindRegistry = 0, kSnapKindFileSystem = 1 };

// What the user is told when a snapshot stops on a failure its walker did not
// report itself.
extern const CWorkerFailureTexts kSnapshotFailure;
