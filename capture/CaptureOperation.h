// A capture requested in the window: its steps run on a worker thread while
// the user-interface thread keeps serving messages, and the progress window
// names each step in its caption as it begins. The program runs visibly, for
// the user to answer. The finished comparisons are the result.
#pragma once

#include "capture/Capture.h"
#include "operation/WorkerWait.h"

#include <memory>
#include <string>

class CSnapProgressDlg;

extern const CWorkerFailureTexts kCaptureFailure;
// The progress window's caption while a step runs: "Capture - " and the step.
extern const char* const kCaptureCaptionPrefix;

class CCaptureOperation {
public:
    // The steps' errors go to messages; notes of the walkers are not shown,
    // so that nothing waits for the user between the steps.
    explicit CCaptureOperation(IUserMessages& messages);
    ~CCaptureOperation();

    // Checks the request (the refusal, or ""), before anything is shown.
    std::string Check(const CCaptureRequest& request);
    // Runs the checked request's steps; true when the capture is complete.
    bool Start(CSnapProgressDlg* progress);

    std::unique_ptr<CCompareMine> TakeResult(SnapKind kind) { return m_pCapture->TakeResult(kind); }
    // The two snapshot files of the kind, as the comparison opened them.
    std::string File(SnapKind kind, int n) const;
    // What the user should know of the program: its failure or its end at the time limit, or "".
    const std::string& ProgramNote() const { return m_strNote; }

private:
    class CWatcher;
    class CQuietMessages;
    IUserMessages& m_messages;
    std::unique_ptr<CQuietMessages> m_pQuiet;
    std::unique_ptr<CWatcher> m_pWatcher;
    std::unique_ptr<CNullProgress> m_pNoProgress;
    std::unique_ptr<CCapture> m_pCapture;
    std::string m_strNote;
};
