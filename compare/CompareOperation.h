// One comparison request of the main frame: asks for the two snapshot files,
// opens them so that nobody can change them while they are read, shows the
// progress window and runs the engine of the kind on a worker thread while the
// user interface stays alive. The finished engine is the result.
#pragma once

#include "compare/CompareMine.h"
#include "operation/DiskSnapFile.h"
#include "operation/WorkerWait.h"
#include "snapshot/TaggedObject.h"

#include <memory>
#include <string>

class CFileDialog;
class CSnapProgressDlg;
class CWnd;

// What the user is told of a comparison stopped by a failure nothing inside
// it handled.
extern const CWorkerFailureTexts kComparisonFailure;

class CCompareOperation : public CTaggedObject {
public:
    // messages: where the operation's and the engine's boxes go; the
    // application-wide message boxes when none is given. programMessages:
    // the boxes of the program's own windows (the registry reader's refusal).
    explicit CCompareOperation(IUserMessages* messages = nullptr, IUserMessages* programMessages = nullptr);
    ~CCompareOperation() override;

    // kind: 0 registry, 1 file system. The finished engine, which the caller
    // then owns, or null when the user cancelled, a file could not be opened,
    // the worker could not be begun or the comparison failed (the user has
    // been told of every error).
    // files: the two snapshot files, which the Open dialogs then do not ask
    // for (Re-Compare).
    std::unique_ptr<CCompareMine> Start(CWnd* owner, int kind, const std::string* files = nullptr);
    // The files the last Start compared, as chosen.
    const std::string& File(int n) const { return m_strFiles[n == 2 ? 1 : 0]; }

protected:
    // Shows the Open dialog with the title; false when the user cancelled.
    virtual bool AskForSnapshot(CFileDialog& dialog, const char* title, std::string& path);
    // The engine of the kind, or null for any other; runs on the worker thread.
    virtual std::unique_ptr<CCompareMine> CreateMine(int kind);

private:
    void RunComparison();

    CDiskSnapFile m_file2;
    CDiskSnapFile m_file1;
    std::unique_ptr<CCompareMine> m_pResult;
    int m_nKind = 0;
    std::string m_strFiles[2];
    CSnapProgressDlg* m_pProgress = nullptr;
    IUserMessages& m_messages;
    IUserMessages& m_programMessages;
};

extern const char* const kCompareTitle;
extern const char* const kCompareSetupStatus;
extern const char* const kCompareOpeningStatus;
extern const char* const kSelectSnapshot1;
extern const char* const kSelectSnapshot2;
extern const char* const kOpenFailedFile1;
extern const char* const kOpenFailedFile2;
