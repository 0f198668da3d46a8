// A capture: what a program changes, in one step. Snapshots before, the
// program run and followed with everything it starts, a pause for work that
// goes on after it, snapshots after, both comparisons, and the files a user
// or a script reads: the four snapshots, the text report, the JSON report and
// the registry patches, all in one folder, which is itself never reported as
// a change. The command line's corvane-capture and the window's Capture...
// run the same steps; the caller shows them as they go.
#pragma once

#include "capture/ProcessWatch.h"
#include "compare/CompareMine.h"
#include "seams/Progress.h"
#include "report/DiffRecords.h"
#include "seams/UserMessages.h"
#include "snapshot/ChosenPlaces.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct CCaptureRequest {
    // What is recorded: the file system (chosen folders, or the whole drive)
    // and the registry (chosen keys, or the whole of it).
    bool fileSystem = true, registry = true;
    char drive = 0;  // the whole drive's letter; 0: the system drive
    // The files' contents hashed, up to hashLimit bytes (0: any size).
    bool hash = false;
    uint64_t hashLimit = 0;
    std::vector<std::wstring> folders, keys;
    // What the comparisons leave out, as corvane-diff's options of the same names.
    bool noise = false;
    std::vector<std::wstring> excludes, excludeFiles;
    unsigned settleSeconds = 0;
    unsigned timeoutSeconds = 0;  // 0: the program may take as long as it takes
    std::wstring folder;          // where the files go; made when missing
    std::wstring program;
    std::vector<std::wstring> arguments;  // each passed on as one argument
    std::wstring argumentLine;            // typed as a command line, passed on as it is
    bool shareConsole = false;  // the program writes to this process's console
};

struct CCaptureStep {
    std::string name;
    double seconds = 0;
};

// What the capture tells as it goes.
class ICaptureWatcher {
public:
    virtual ~ICaptureWatcher() = default;
    virtual void StepBegins(const std::string& step) = 0;
    // Something the user must know that is no error of the capture: the
    // program failed or was ended.
    virtual void Tell(const std::string& text) = 0;
};

// The capture's files in its folder.
extern const wchar_t* const kCaptureFiles[8];
enum CaptureFile { kFSBefore, kFSAfter, kRegBefore, kRegAfter, kReportText, kReportJson, kReplayPatch, kUndoPatch };

class CCapture {
public:
    CCapture(CCaptureRequest request, IProgress& progress, IUserMessages& messages, ICaptureWatcher& watcher);
    ~CCapture();

    // Checks the places, the exclusions, the program and the folder before
    // anything runs; the refusal in the program's words, or "".
    std::string Check();
    // Where the walks and comparisons report from now on.
    void SetProgress(IProgress& progress) { m_progress = &progress; }
    // Runs every step, after a Check that refused nothing. False on an error
    // of the capture's own (told through the messages); the program's
    // failure is no error of the capture.
    bool Run();

    // After Run: whether the comparisons, after the exclusions, found any change.
    bool Changed() const { return m_changed; }
    // After Run: the comparison of the kind, the capture's folder left out
    // (null when the kind was not recorded); the caller then owns it.
    std::unique_ptr<CCompareMine> TakeResult(SnapKind kind);
    std::wstring FilePath(CaptureFile file) const;
    // The capture's text report, as report.txt holds it.
    const std::string& ReportText() const { return m_report; }

private:
    bool Snapshot(bool after);
    bool Compare(SnapKind kind);
    bool WriteReports();
    // What became of the program, in a line.
    std::string ProgramLine() const;
    void Step(const std::string& name);
    void EndStep();

    CCaptureRequest m_request;
    IProgress* m_progress;
    IUserMessages& m_messages;
    ICaptureWatcher& m_watcher;
    CChosenPlaces m_folders, m_keys;
    std::string m_driveText;  // "C:" or "the chosen folders"
    std::wstring m_commandLine;
    std::wstring m_folder;  // full path, without a closing backslash

    std::vector<CCaptureStep> m_steps;
    unsigned long long m_stepStart = 0;
    CProcessOutcome m_outcome;
    bool m_changed = false;
    std::unique_ptr<CCompareMine> m_results[2];  // by SnapKind
    std::string m_reports[2], m_jsons[2];         // by SnapKind
    std::vector<std::string> m_walkResults;       // each snapshot's results text
    std::string m_patchNote;                      // why there are no patches, or what they carry only nearly
    bool m_patchesWritten = false;
    std::string m_report;
};
