#include "capture/Capture.h"

#include "capture/AdminRights.h"
#include "compare/AnsiChars.h"
#include "compare/FSMine.h"
#include "compare/RegMine.h"
#include "compare/TreeListing.h"
#include "compare/WideChars.h"
#include "framework/AnsiName.h"
#include "report/AnsiText.h"
#include "report/DiffFilter.h"
#include "report/DiffFormats.h"
#include "report/DiffWriter.h"
#include "snapshot/FSSnap.h"
#include "snapshot/QuietSnap.h"
#include "snapshot/RegSnap.h"
#include "snapshot/StdioFile.h"
#include "snapshot/TypedPlaces.h"

#include <cstdio>
#include <cwctype>
#include <new>
#include <unordered_set>

const wchar_t* const kCaptureFiles[8] = {L"fs-before.tvrec",  L"fs-after.tvrec", L"registry-before.tvrec",
                                         L"registry-after.tvrec", L"report.txt", L"report.json",
                                         L"replay.reg",       L"undo.reg"};

namespace {

const char kProgram[] = "corvane-capture";

// The walkers' messages: their question is answered Yes, everything else
// goes where the capture's messages go.
class CAnsweredMessages : public IUserMessages {
public:
    explicit CAnsweredMessages(IUserMessages& messages) : m_messages(messages) {}
    MsgAnswer Show(const std::string& text, MsgIcon icon, MsgButtons buttons) override
    {
        return buttons == MsgButtons::YesNo ? MsgAnswer::Yes : m_messages.Show(text, icon, buttons);
    }

private:
    IUserMessages& m_messages;
};

std::string Shown(const std::wstring& name)
{
    return ShownName(StrictAnsiName(name));
}

// The pattern that names the folder and everything below it: in the code
// page when it holds the path, else exact.
void AddPathPattern(CPathFilter& filter, const std::wstring& path)
{
    std::string lost;
    std::string ansi = StrictAnsiName(path, &lost);
    if (lost.empty())
        filter.Add(ansi);
    else
        filter.AddExact(std::u16string(path.begin(), path.end()));
}

bool MakeFolders(const std::wstring& path)
{
    if (::CreateDirectoryW(path.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS) {
        DWORD attributes = ::GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos || slash < 3 || !MakeFolders(path.substr(0, slash)))
        return false;
    return ::CreateDirectoryW(path.c_str(), nullptr) != 0;
}

bool WriteWholeFile(const std::wstring& path, const std::string& text, bool binary)
{
    std::FILE* file = OpenStdioFile(path, binary ? "wb" : "w");
    if (!file)
        return false;
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

// Walks the places (none: the whole drive or registry); true with the
// results text kept when the snapshot is complete.
template <typename Walker>
bool Walk(CQuietSnap<Walker>& walker, const CChosenPlaces& places, IUserMessages& messages,
          std::vector<std::string>& results)
{
    walker.SetProgramName(kProgram);
    walker.ChoosePlaces(places);
    std::string text;
    if (!RunQuietSnap(walker, messages, text))
        return false;
    results.push_back(text);
    return true;
}

std::string Seconds(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", seconds);
    return text;
}

}  // namespace

CCapture::CCapture(CCaptureRequest request, IProgress& progress, IUserMessages& messages, ICaptureWatcher& watcher)
    : m_request(std::move(request)), m_progress(&progress), m_messages(messages), m_watcher(watcher)
{
}

CCapture::~CCapture() = default;

std::wstring CCapture::FilePath(CaptureFile file) const
{
    return m_folder + L"\\" + kCaptureFiles[file];
}

std::string CCapture::Check()
{
    const CCaptureRequest& r = m_request;
    if (!r.fileSystem && !r.registry)
        return "nothing to record: neither the file system nor the registry is chosen.";
    std::wstring found = FindProgram(r.program);
    if (found.empty())
        return Shown(r.program) + ": there is no such program.";
    m_commandLine = ProgramCommandLine(found, r.arguments, r.argumentLine);

    wchar_t full[MAX_PATH * 4];
    DWORD n = r.folder.empty() ? 0 : ::GetFullPathNameW(r.folder.c_str(), MAX_PATH * 4, full, nullptr);
    if (n == 0 || n >= MAX_PATH * 4)
        return "no folder for the capture's files.";
    m_folder = full;
    while (m_folder.size() > 3 && (m_folder.back() == L'\\' || m_folder.back() == L'/'))
        m_folder.pop_back();
    DWORD attributes = ::GetFileAttributesW(m_folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Shown(m_folder) + " is a file, not a folder.";
    for (const wchar_t* name : kCaptureFiles)
        if (::GetFileAttributesW((m_folder + L"\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES)
            return Shown(m_folder) + " already holds " + Shown(name) + " of an earlier capture; give another folder.";

    if (r.fileSystem) {
        std::string refusal = ChooseTypedPlaces(true, r.folders, m_folders);
        if (!refusal.empty())
            return ShownName(refusal);
        if (!m_folders.Empty()) {
            m_request.drive = m_folders.Roots().front().recorded[0];
            m_driveText = "the chosen folders";
        } else {
            if (!m_request.drive) {
                wchar_t windows[MAX_PATH];
                if (!::GetWindowsDirectoryW(windows, MAX_PATH))
                    return "cannot tell the system drive.";
                m_request.drive = static_cast<char>(towupper(windows[0]));
            }
            m_driveText = std::string(1, m_request.drive) + ":";
            if (::GetFileAttributesA((m_driveText + "\\").c_str()) == INVALID_FILE_ATTRIBUTES)
                return m_driveText + " is no drive.";
        }
    }
    if (r.registry) {
        std::string refusal = ChooseTypedPlaces(false, r.keys, m_keys);
        if (!refusal.empty())
            return ShownName(refusal);
    }
    for (const std::wstring& pattern : r.excludes) {
        std::string fault = CPathFilter::Fault(StrictAnsiName(pattern));
        if (!fault.empty())
            return "--exclude " + Shown(pattern) + ": " + fault;
    }
    for (const std::wstring& path : r.excludeFiles) {
        CPathFilter filter;
        std::string error;
        if (!filter.AddFromFile(path, error))
            return error;
    }
    return "";
}

void CCapture::Step(const std::string& name)
{
    m_steps.push_back(CCaptureStep{name, 0});
    m_stepStart = ::GetTickCount64();
    m_watcher.StepBegins(name);
}

void CCapture::EndStep()
{
    if (!m_steps.empty())
        m_steps.back().seconds = static_cast<double>(::GetTickCount64() - m_stepStart) / 1000.0;
}

bool CCapture::Snapshot(bool after)
{
    CAnsweredMessages answered(m_messages);
    const char* when = after ? " after" : " before";
    if (m_request.fileSystem) {
        Step("Snap shot of " + m_driveText + when);
        CQuietSnap<CFSSnap> walker(FilePath(after ? kFSAfter : kFSBefore), m_request.drive, nullptr, m_progress,
                                   &answered);
        if (m_request.hash)
            walker.HashContents(m_request.hashLimit);
        bool complete = Walk(walker, m_folders, answered, m_walkResults);
        EndStep();
        if (!complete)
            return false;
    }
    if (m_request.registry) {
        Step(std::string(m_keys.Empty() ? "Snap shot of the registry" : "Snap shot of the chosen keys") + when);
        CQuietSnap<CRegSnap> walker(FilePath(after ? kRegAfter : kRegBefore), nullptr, m_progress, FALSE,
                                    &answered);
        bool complete = Walk(walker, m_keys, answered, m_walkResults);
        EndStep();
        if (!complete)
            return false;
    }
    return true;
}

namespace {

// A comparison of the capture's two files of the kind, with what is left out
// taken out for good. Null when it failed (the user has been told).
std::unique_ptr<CCompareMine> CompareFiles(SnapKind kind, bool forPatch, const std::wstring& first,
                                           const std::wstring& second, const CPathFilter& filter,
                                           IProgress& progress, IUserMessages& messages,
                                           std::unordered_set<const CCompareNode*>& trimmed)
{
    std::unique_ptr<CCompareMine> mine;
    if (kind == SnapKind::FileSystem) {
        mine = std::make_unique<CFSMine>(messages);
    } else {
        auto reg = std::make_unique<CRegMine>(messages);
        // A patch gives back the other state exactly, types included, and
        // never takes one of two siblings of one name for the other.
        reg->SetTypesCompared(forPatch);
        reg->SetMarkTwins(forPatch);
        mine = std::move(reg);
    }
    CStdioFile file1, file2;
    if (!file1.OpenRead(first)) {
        messages.Error("Failed to open file 1.");
        return nullptr;
    }
    if (!file2.OpenRead(second)) {
        messages.Error("Failed to open file 2.");
        return nullptr;
    }
    try {
        if (!mine->Compare(&progress, file1, file2)) {
            messages.Error(kComparisonFailed);
            return nullptr;
        }
        filter.Apply(*mine, &trimmed);
    } catch (const std::bad_alloc&) {
        messages.Error(kCompareOutOfMemory);
        return nullptr;
    }
    return mine;
}

}  // namespace

bool CCapture::Compare(SnapKind kind)
{
    const bool fs = kind == SnapKind::FileSystem;
    Step(fs ? "Comparing the file system" : "Comparing the registry");
    // The capture's own folder is never a change; what the user left out is
    // taken out as corvane-diff takes it out.
    CPathFilter filter;
    if (fs)
        AddPathPattern(filter, m_folder);
    for (const std::wstring& pattern : m_request.excludes)
        AddPathPattern(filter, pattern);
    for (const std::wstring& path : m_request.excludeFiles) {
        std::string error;
        filter.AddFromFile(path, error);
    }
    if (m_request.noise)
        filter.AddNoise(kind);

    const std::wstring first = FilePath(fs ? kFSBefore : kRegBefore), second = FilePath(fs ? kFSAfter : kRegAfter);
    std::unordered_set<const CCompareNode*> trimmed;
    std::unique_ptr<CCompareMine> mine =
        CompareFiles(kind, false, first, second, filter, *m_progress, m_messages, trimmed);
    if (!mine) {
        EndStep();
        return false;
    }
    const bool identical = TreesIdentical(*mine);
    m_changed = m_changed || !identical;
    CDiffOutput diff{*mine, kind, {StrictAnsiName(first), FileDate(first)}, {StrictAnsiName(second), FileDate(second)}};
    auto describer = DescriberFor(kind);
    for (const char* name : {"report", "json"}) {
        CDiffOptions options;
        options.format = name;
        std::string& text = options.format == "report" ? m_reports[static_cast<int>(kind)] : m_jsons[static_cast<int>(kind)];
        CTextSink sink(text);
        std::string message;
        FindDiffFormat(name)->write(CFormatInput{diff, *describer, options, trimmed}, sink, message);
    }
    if (identical)
        m_reports[static_cast<int>(kind)] += "No changes.\n";
    m_results[static_cast<int>(kind)] = std::move(mine);
    EndStep();
    if (fs)
        return true;

    // The patches from a comparison of their own, as corvane-diff makes them.
    Step("Writing the registry patches");
    trimmed.clear();
    std::unique_ptr<CCompareMine> patchMine =
        CompareFiles(kind, true, first, second, filter, *m_progress, m_messages, trimmed);
    if (!patchMine) {
        EndStep();
        return false;
    }
    CDiffOutput patchDiff{*patchMine, kind, diff.first, diff.second};
    for (bool reverse : {false, true}) {
        CDiffOptions options;
        options.format = "reg";
        options.reverse = reverse;
        std::string text, message;
        FormatOutcome outcome;
        {
            CTextSink sink(text);
            outcome = FindDiffFormat("reg")->write(CFormatInput{patchDiff, *describer, options, trimmed}, sink, message);
        }
        const std::string prefix = "corvane-diff: ";
        if (message.compare(0, prefix.size(), prefix) == 0)
            message.erase(0, prefix.size());
        if (outcome == FormatOutcome::Refused) {
            m_patchNote = message;
            break;
        }
        if (outcome == FormatOutcome::NotExact && m_patchNote.empty())
            m_patchNote = message;
        if (!WriteWholeFile(FilePath(reverse ? kUndoPatch : kReplayPatch), text, true)) {
            m_messages.Error("ERROR: Could not write " + Shown(FilePath(reverse ? kUndoPatch : kReplayPatch)) + ".");
            EndStep();
            return false;
        }
        m_patchesWritten = !reverse || m_patchesWritten;
    }
    EndStep();
    return true;
}

bool CCapture::Run()
{
    m_steps.clear();
    // The desktop exists before the snapshots: a system that starts its
    // desktop process on first use (Wine) would otherwise start it from the
    // program, inside the job, where it lives on and is waited for, and
    // record what starting it writes as the program's change.
    ::GetDesktopWindow();
    if (!MakeFolders(m_folder)) {
        m_messages.Error("ERROR: Could not make the folder " + Shown(m_folder) + ".");
        return false;
    }
    if (!Snapshot(false))
        return false;

    Step("Running " + Shown(m_request.program));
    CWatchedProcess process;
    std::string error;
    if (!process.Start(m_commandLine, m_request.shareConsole, error)) {
        EndStep();
        m_messages.Error(Shown(m_request.program) + ": " + error);
        return false;
    }
    m_outcome = process.Wait(m_request.timeoutSeconds);
    EndStep();
    if (m_outcome.timedOut || m_outcome.exitCode != 0)
        m_watcher.Tell(ProgramLine());

    if (m_request.settleSeconds) {
        Step("Waiting " + std::to_string(m_request.settleSeconds) + " s for work that goes on");
        ::Sleep(1000 * m_request.settleSeconds);
        EndStep();
    }
    if (!Snapshot(true))
        return false;
    if (m_request.fileSystem && !Compare(SnapKind::FileSystem))
        return false;
    if (m_request.registry && !Compare(SnapKind::Registry))
        return false;
    return WriteReports();
}

std::unique_ptr<CCompareMine> CCapture::TakeResult(SnapKind kind)
{
    return std::move(m_results[static_cast<int>(kind)]);
}

std::string CCapture::ProgramLine() const
{
    if (m_outcome.timedOut)
        return "The program did not end within " + std::to_string(m_request.timeoutSeconds) +
               " s; it and the programs it started were ended.";
    if (m_outcome.exitCodeKnown)
        return "The program ended with exit code " + std::to_string(m_outcome.exitCode) + ".";
    return "The program's exit code cannot be told.";
}

bool CCapture::WriteReports()
{
    const bool admin = RunsAsAdministrator();
    std::string text = "Capture of: " + Shown(m_commandLine) + "\n" + ProgramLine() + "\n";
    if (!admin)
        text += std::string(kWithoutAdminRightsNote) + "\n";
    if (m_request.fileSystem) {
        text += "\nFile system (" + m_driveText + "):\n";
        text += m_reports[static_cast<int>(SnapKind::FileSystem)];
    }
    if (m_request.registry) {
        text += std::string("\nRegistry") + (m_keys.Empty() ? "" : " (the chosen keys)") + ":\n";
        text += m_reports[static_cast<int>(SnapKind::Registry)];
        if (m_patchesWritten)
            text += "Registry patches: replay.reg makes the changes again, undo.reg takes them back.\n";
        else
            text += "No registry patches: " + m_patchNote + "\n";
        if (m_patchesWritten && !m_patchNote.empty())
            text += m_patchNote + "\n";
    }
    text += "\nSteps:\n";
    for (const CCaptureStep& step : m_steps)
        text += "  " + step.name + ": " + Seconds(step.seconds) + "\n";
    text += "\nSnap shots:\n";
    for (const std::string& results : m_walkResults) {
        std::string lines = results;
        for (size_t at; (at = lines.find('\r')) != std::string::npos;)
            lines.erase(at, 1);
        text += lines + (lines.empty() || lines.back() != '\n' ? "\n" : "") + "\n";
    }
    m_report = text;

    std::string json = "{\n  \"program\": {\"command\": " + JsonString(Utf16ToUtf8(std::u16string(m_commandLine.begin(), m_commandLine.end()))) + ", \"exit_code\": ";
    json += m_outcome.exitCodeKnown ? std::to_string(m_outcome.exitCode) : "null";
    json += std::string(", \"timed_out\": ") + (m_outcome.timedOut ? "true" : "false") + "},\n";
    json += "  \"settle_seconds\": " + std::to_string(m_request.settleSeconds) +
            ",\n  \"timeout_seconds\": " + std::to_string(m_request.timeoutSeconds) + ",\n";
    json += std::string("  \"administrator\": ") + (admin ? "true" : "false") + ",\n";
    json += std::string("  \"changed\": ") + (m_changed ? "true" : "false") + ",\n  \"steps\": [";
    for (size_t i = 0; i < m_steps.size(); ++i) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.3f", m_steps[i].seconds);
        json += std::string(i ? ",\n" : "\n") + "    {\"step\": " + JsonString(AnsiToUtf8(m_steps[i].name)) +
                ", \"seconds\": " + seconds + "}";
    }
    json += "\n  ],\n";
    const char* names[2] = {"file_system", "registry"};
    for (int kind = 0; kind < 2; ++kind) {
        std::string& part = m_jsons[kind];
        while (!part.empty() && (part.back() == '\n' || part.back() == '\r'))
            part.pop_back();
        for (size_t at = 0; (at = part.find('\n', at)) != std::string::npos; at += 3)
            part.insert(at + 1, "  ");
        json += std::string("  \"") + names[kind] + "\": " + (part.empty() ? "null" : part) + ",\n";
    }
    json += "  \"patches\": ";
    if (!m_request.registry)
        json += "null";
    else if (m_patchesWritten)
        json += "{\"replay\": \"replay.reg\", \"undo\": \"undo.reg\"" +
                (m_patchNote.empty() ? std::string() : ", \"note\": " + JsonString(AnsiToUtf8(m_patchNote))) + "}";
    else
        json += "{\"refused\": " + JsonString(AnsiToUtf8(m_patchNote)) + "}";
    json += "\n}\n";

    if (!WriteWholeFile(FilePath(kReportText), text, false) || !WriteWholeFile(FilePath(kReportJson), json, true)) {
        m_messages.Error("ERROR: Could not write the reports into " + Shown(m_folder) + ".");
        return false;
    }
    return true;
}
