// A walker run without its results dialog, for the programs that take a
// snapshot without the snapshot operation (corvane-snap, a capture): the
// results text is kept, and a failure nothing inside the walk handled is told
// in the operation's words.
#pragma once

#include "seams/Abort.h"
#include "seams/UserMessages.h"
#include "snapshot/SnapOperation.h"

#include <new>
#include <string>

// A walker that keeps its results text instead of showing the dialog; the
// snapshot is complete when it has one.
template <typename Walker>
class CQuietSnap : public Walker {
public:
    using Walker::Walker;
    bool complete = false;
    std::string results;

protected:
    void ShowResults(const std::string& text) override
    {
        complete = true;
        results = text;
    }
};

// Runs the walker as the snapshot worker does. True with the results text
// when the snapshot is complete.
template <typename Walker>
bool RunQuietSnap(CQuietSnap<Walker>& walker, IUserMessages& messages, std::string& results)
{
    try {
        walker.Run();
    } catch (const CAbortSignal&) {
        // Reported where it was raised.
    } catch (const std::bad_alloc&) {
        messages.Error(kSnapshotFailure.outOfMemory);
    } catch (...) {
        messages.Error(kSnapshotFailure.unexpected);
    }
    results = walker.results;
    return walker.complete;
}
