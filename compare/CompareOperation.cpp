#include "compare/CompareOperation.h"

#include "compare/FSMine.h"
#include "compare/RegMine.h"
#include "framework/FileDialog.h"
#include "framework/WaitCursor.h"
#include "operation/AppMessages.h"
#include "operation/SnapProgressDlg.h"
#include "operation/WorkerWait.h"
#include "res/resource.h"

#include <commdlg.h>

const char* const kCompareTitle = "Snap Shot Comparison...";
const char* const kCompareSetupStatus = "Snap shot comparison setup...";
const char* const kCompareOpeningStatus = "Setting up operation...";
const char* const kSelectSnapshot1 = "Select Snap Shot 1";
const char* const kSelectSnapshot2 = "Select Snap Shot 2";
const char* const kOpenFailedFile1 = "Failed to open file 1.";
const char* const kOpenFailedFile2 = "Failed to open file 2.";

const CWorkerFailureTexts kComparisonFailure = {
    kCompareOutOfMemory,
    "ERROR: An unexpected error stopped the comparison.",
};

namespace {

// Kinds as the snapshot operation numbers them.
enum : int { kCompareRegistry = 0, kCompareFileSystem = 1 };

}  // namespace

CCompareOperation::CCompareOperation(IUserMessages* messages, IUserMessages* programMessages)
    : CTaggedObject(kTagOperation), m_messages(messages ? *messages : AppMessages()),
      m_programMessages(programMessages ? *programMessages : ProgramMessages())
{
}

// Closes both files (their members go with the object).
CCompareOperation::~CCompareOperation() = default;

bool CCompareOperation::AskForSnapshot(CFileDialog& dialog, const char* title, std::string& path)
{
    dialog.SetTitle(title);
    if (!dialog.DoModal())
        return false;
    path = dialog.GetPathName();
    return true;
}

std::unique_ptr<CCompareMine> CCompareOperation::CreateMine(int kind)
{
    switch (kind) {
    case kCompareFileSystem:
        return std::make_unique<CFSMine>(m_messages);
    case kCompareRegistry:
        return std::make_unique<CRegMine>(m_messages, m_programMessages);
    default:
        return nullptr;
    }
}

std::unique_ptr<CCompareMine> CCompareOperation::Start(CWnd* owner, int kind, const std::string* files)
{
    m_nKind = kind;
    m_pResult.reset();
    // The comparison's readers drive the bar themselves.
    CSnapProgressDlg progress(FALSE);
    if (!progress.Create(kind == kCompareRegistry ? IDI_REGISTRY_OP : IDI_FILESYSTEM_OP, owner))
        return nullptr;
    m_pProgress = &progress;
    progress.SetTitleText(kCompareTitle);
    progress.SetStatusText(kCompareSetupStatus);

    // One dialog object for both files, so the second opens where the first was found.
    // The default extension is given without its dot, as the system expects it.
    CFileDialog dialog(true, "tvrec", nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                       "Snap Shot (*.tvrec)|*.tvrec||", owner);
    std::string& path1 = m_strFiles[0];
    std::string& path2 = m_strFiles[1];
    bool chosen = true;
    if (files) {
        path1 = files[0];
        path2 = files[1];
    } else {
        chosen = AskForSnapshot(dialog, kSelectSnapshot1, path1) && AskForSnapshot(dialog, kSelectSnapshot2, path2);
    }
    if (chosen) {
        progress.SetStatusText(kCompareOpeningStatus);
        // Without sharing: nothing may change a file while it is read, and the
        // same file chosen twice cannot be opened a second time.
        const unsigned flags = CFile::modeRead | CFile::shareExclusive;
        if (!m_file1.Open(path1.c_str(), flags)) {
            m_messages.Error(kOpenFailedFile1);
            chosen = false;
        } else if (!m_file2.Open(path2.c_str(), flags)) {
            m_messages.Error(kOpenFailedFile2);
            chosen = false;
        }
    }
    if (chosen) {
        // Made after the progress window and gone before it: the worker uses it to the end.
        COperationWorker worker(kComparisonFailure, &progress);
        CWaitCursor wait;
        worker.Run([this]() { RunComparison(); });
    }
    m_pProgress = nullptr;
    return std::move(m_pResult);
}

void CCompareOperation::RunComparison()
{
    if (!IsValid())
        return;
    m_pResult.reset();
    std::unique_ptr<CCompareMine> mine = CreateMine(m_nKind);
    if (!mine)
        return;
    if (mine->Compare(m_pProgress, m_file1, m_file2))
        m_pResult = std::move(mine);
    else
        m_messages.Error(kComparisonFailed);
}
