// corvane-capture: what a program changes, in one step. It takes the
// snapshots before, runs the program and waits for it and every process it
// starts, waits --settle seconds more, takes the snapshots after, compares,
// and writes the snapshots and the reports into the --out folder.
//
//   corvane-capture [--fs PLACE]... [--reg KEY]... [--noise] [--exclude PATTERN]...
//                   [--exclude-from FILE]... [--settle SECONDS] [--timeout SECONDS]
//                   [--hash [--hash-limit SIZE]]
//                   [--progress] --out FOLDER -- PROGRAM [ARGUMENTS]
//   corvane-capture --version | --help
//
// A program of its own rather than a command of corvane-snap: it compares
// and writes reports as corvane-diff does, its exit code tells a change as
// corvane-diff's does (0 nothing changed, 1 something did, 2 an error of its
// own), and a script reads one program's options and codes in one place.
// The program's own failure is told on standard error and in the reports; it
// is not the capture's. The steps go to standard error as they begin, the
// text report to standard output at the end.
#include "capture/AdminRights.h"
#include "capture/Capture.h"
#include "compare/AnsiChars.h"
#include "framework/AnsiName.h"
#include "res/Version.h"
#include "tools/CommandLine.h"
#include "tools/ConsoleProgress.h"

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

enum ExitCode { kUnchanged = 0, kChanged = 1, kFailed = 2 };

const char kUsage[] =
    "usage: corvane-capture [--fs PLACE]... [--reg KEY]... [--noise] [--exclude PATTERN]...\n"
    "                       [--exclude-from FILE]... [--settle SECONDS] [--timeout SECONDS]\n"
    "                       [--hash [--hash-limit SIZE]] [--progress] --out FOLDER -- PROGRAM [ARGUMENTS]\n";

const char kHelp[] =
    "\n"
    "Takes snapshots, runs PROGRAM and waits for it and every process it starts,\n"
    "takes snapshots again and writes into FOLDER what changed: the four snapshots,\n"
    "report.txt, report.json (with the program's exit code and each step's time),\n"
    "and for the registry replay.reg and undo.reg. The folder itself is never a change.\n"
    "\n"
    "  --fs PLACE            record this folder, or with X: the whole drive X:\n"
    "  --reg KEY             record this key (HKLM\\..., HKU\\...)\n"
    "                        without --fs and --reg: the system drive and the whole registry;\n"
    "                        with them: only what they name\n"
    "  --noise               leave out what a running system changes by itself\n"
    "  --exclude PATTERN     leave out what the pattern names, as corvane-diff does\n"
    "  --exclude-from FILE   leave out the patterns of FILE, one per line\n"
    "  --settle SECONDS      wait this long after the program for work it handed on\n"
    "  --timeout SECONDS     end the program and what it started after this long\n"
    "  --hash                keep the SHA-256 of every recorded file's content, so that a\n"
    "                        file rewritten with its old size and times is found changed\n"
    "  --hash-limit SIZE     hash only files up to SIZE (bytes, or 100M, 2G); implies --hash\n"
    "  --out FOLDER          where the files go (made when missing)\n"
    "  --progress            show the walks' progress on standard error\n"
    "  --version             print the version\n"
    "  --help                print this text\n"
    "\n"
    "Exit code: 0 nothing changed, 1 something changed, 2 an error of the capture\n"
    "(nothing runs when the places, the program or the folder are refused).\n"
    "Run it as administrator, or folders and keys that need those rights are listed\n"
    "as not accessible. The guide: \"Corvane command-line reference\" in README.html\n"
    "(docs/command-line.md in the sources).\n";

// The steps on standard error, one line each as it begins.
class CStepLines : public ICaptureWatcher {
public:
    explicit CStepLines(CConsoleProgress& progress) : m_progress(progress) {}
    void StepBegins(const std::string& step) override { Line(step + "..."); }
    void Tell(const std::string& text) override { Line(text); }

private:
    void Line(const std::string& text)
    {
        m_progress.ClearLine();
        std::fprintf(stderr, "corvane-capture: %s\n", text.c_str());
        std::fflush(stderr);
    }
    CConsoleProgress& m_progress;
};

bool Seconds(const wchar_t* text, unsigned& seconds)
{
    wchar_t* end = nullptr;
    unsigned long value = std::wcstoul(text, &end, 10);
    if (!*text || *end || text[0] == L'-' || text[0] == L'+' || value > 7 * 24 * 3600)
        return false;
    seconds = static_cast<unsigned>(value);
    return true;
}

// The letter of "X:" alone, or 0.
char DriveOf(const std::wstring& place)
{
    if (place.size() != 2 || place[1] != L':' || !iswalpha(place[0]) || place[0] > 0x7F)
        return 0;
    return static_cast<char>(towupper(place[0]));
}

bool Parse(int argc, wchar_t** argv, CCaptureRequest& request, bool& progress)
{
    std::vector<std::wstring> fs;
    int i = 1;
    for (; i < argc; ++i) {
        const wchar_t* arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (ArgumentIs(arg, "--")) {
            ++i;
            break;
        }
        if (ArgumentIs(arg, "--fs") && hasValue)
            fs.push_back(argv[++i]);
        else if (ArgumentIs(arg, "--reg") && hasValue)
            request.keys.push_back(argv[++i]);
        else if (ArgumentIs(arg, "--noise"))
            request.noise = true;
        else if (ArgumentIs(arg, "--exclude") && hasValue)
            request.excludes.push_back(argv[++i]);
        else if (ArgumentIs(arg, "--exclude-from") && hasValue)
            request.excludeFiles.push_back(argv[++i]);
        else if (ArgumentIs(arg, "--settle") && hasValue) {
            if (!Seconds(argv[++i], request.settleSeconds))
                return false;
        } else if (ArgumentIs(arg, "--timeout") && hasValue) {
            if (!Seconds(argv[++i], request.timeoutSeconds))
                return false;
        } else if (ArgumentIs(arg, "--hash")) {
            request.hash = true;
        } else if (ArgumentIs(arg, "--hash-limit") && hasValue) {
            if (!ParseSize(argv[++i], request.hashLimit))
                return false;
            request.hash = true;
        } else if (ArgumentIs(arg, "--out") && hasValue)
            request.folder = argv[++i];
        else if (ArgumentIs(arg, "--progress"))
            progress = true;
        else
            return false;
    }
    if (i >= argc || request.folder.empty())
        return false;
    request.program = argv[i];
    request.arguments.assign(argv + i + 1, argv + argc);
    // Places name what is recorded; none, everything.
    if (!fs.empty() || !request.keys.empty()) {
        request.fileSystem = !fs.empty();
        request.registry = !request.keys.empty();
    }
    // "X:" alone is the whole drive, as corvane-snap takes it.
    if (fs.size() == 1 && (request.drive = DriveOf(fs[0])))
        fs.clear();
    request.folders = std::move(fs);
    request.shareConsole = true;
    return true;
}

}  // namespace

extern "C" int wmain(int argc, wchar_t** argv)
{
    if (argc == 2 && ArgumentIs(argv[1], "--version")) {
        std::printf("corvane-capture %s\n", CORVANE_VERSION);
        return kUnchanged;
    }
    if (argc == 2 && ArgumentIs(argv[1], "--help")) {
        std::printf("%s%s", kUsage, kHelp);
        return kUnchanged;
    }
    CCaptureRequest request;
    bool progressAsked = false;
    if (!Parse(argc, argv, request, progressAsked)) {
        std::fputs(kUsage, stderr);
        return kFailed;
    }
    CConsoleProgress progress(progressAsked);
    CConsoleMessages messages(progress);
    CStepLines steps(progress);
    CCapture capture(std::move(request), progress, messages, steps);
    std::string refusal = capture.Check();
    if (!refusal.empty()) {
        std::fprintf(stderr, "corvane-capture: %s\n", refusal.c_str());
        return kFailed;
    }
    if (!RunsAsAdministrator())
        std::fprintf(stderr, "corvane-capture: %s\n", kWithoutAdminRightsNote);
    bool done = capture.Run();
    progress.ClearLine();
    if (!done)
        return kFailed;
    std::fputs(capture.ReportText().c_str(), stdout);
    return capture.Changed() ? kChanged : kUnchanged;
}
