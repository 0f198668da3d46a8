#include "capture/CaptureOperation.h"

#include "framework/AnsiName.h"
#include "operation/SnapProgressDlg.h"

const CWorkerFailureTexts kCaptureFailure = {
    "ERROR: There is not enough memory to complete the capture.",
    "ERROR: An unexpected error stopped the capture.",
};
const char* const kCaptureCaptionPrefix = "Capture - ";

// Errors reach the user; the walkers' notes (the registry's keys it leaves
// out) would stop the capture between its steps and are not shown.
class CCaptureOperation::CQuietMessages : public IUserMessages {
public:
    explicit CQuietMessages(IUserMessages& messages) : m_messages(messages) {}
    MsgAnswer Show(const std::string& text, MsgIcon icon, MsgButtons buttons) override
    {
        if (icon == MsgIcon::Information && buttons == MsgButtons::Ok)
            return MsgAnswer::Ok;
        return m_messages.Show(text, icon, buttons);
    }

private:
    IUserMessages& m_messages;
};

class CCaptureOperation::CWatcher : public ICaptureWatcher {
public:
    explicit CWatcher(std::string& note) : m_note(note) {}
    CSnapProgressDlg* progress = nullptr;
    // The caption names the step; the walks set title and status of their
    // own, the other steps say what they do there too.
    void StepBegins(const std::string& step) override
    {
        if (!progress || !progress->GetSafeHwnd())
            return;
        ::SetWindowTextA(progress->GetSafeHwnd(), (kCaptureCaptionPrefix + step).c_str());
        progress->SetTitleText((step + "...").c_str());
        progress->SetStatusText("");
        progress->Refresh(false);
    }
    void Tell(const std::string& text) override { m_note = text; }

private:
    std::string& m_note;
};

CCaptureOperation::CCaptureOperation(IUserMessages& messages)
    : m_messages(messages), m_pQuiet(std::make_unique<CQuietMessages>(messages)),
      m_pWatcher(std::make_unique<CWatcher>(m_strNote)), m_pNoProgress(std::make_unique<CNullProgress>())
{
}

CCaptureOperation::~CCaptureOperation() = default;

std::string CCaptureOperation::Check(const CCaptureRequest& request)
{
    m_pCapture = std::make_unique<CCapture>(request, *m_pNoProgress, *m_pQuiet, *m_pWatcher);
    return m_pCapture->Check();
}

bool CCaptureOperation::Start(CSnapProgressDlg* progress)
{
    if (!m_pCapture)
        return false;
    m_pWatcher->progress = progress;
    m_pCapture->SetProgress(progress ? static_cast<IProgress&>(*progress) : *m_pNoProgress);
    bool complete = false;
    COperationWorker worker(kCaptureFailure, progress);
    if (!worker.Run([&]() { complete = m_pCapture->Run(); }))
        return false;
    return complete;
}

std::string CCaptureOperation::File(SnapKind kind, int n) const
{
    const bool fs = kind == SnapKind::FileSystem;
    CaptureFile file = n == 1 ? (fs ? kFSBefore : kRegBefore) : (fs ? kFSAfter : kRegAfter);
    return m_pCapture ? StrictAnsiName(m_pCapture->FilePath(file)) : std::string();
}
