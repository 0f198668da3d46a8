// corvane-snap: takes a snapshot of a drive's files or of the registry with
// the program's own walkers, into the same .tvrec file the window writes.
//
//   corvane-snap fs X: FILE [--hash [--hash-limit SIZE]] [--force] [--progress]
//   corvane-snap fs FOLDER... FILE [--hash [--hash-limit SIZE]] [--force] [--progress]
//   corvane-snap reg [KEY...] FILE [--full-paths] [--force] [--progress]
//   corvane-snap --version | --help
//
// With folders or keys, only those are recorded, with the path down to each,
// in the same file as a whole snapshot. The walker's question is answered
// Yes. The results text goes to standard output (with a note as its last line
// when the program runs without administrator rights), errors to standard
// error in the program's words; progress goes to standard error on a
// console, or with --progress. An existing FILE is kept unless --force is
// given. Exit code 0 for a complete snapshot, 2 for any
// failure (a file that was begun keeps version 0, as the window leaves it),
// or a folder or key refused before anything is written.
//
// The command line is taken as typed: options are recognised character for
// character, and FILE, folders and keys are used by their wide names, so no
// look-alike passes for another character. What it prints of names is shown
// as corvane-diff shows names: a control byte as "<0A>", and a character the
// code page cannot hold as "?".
#include "capture/AdminRights.h"
#include "compare/AnsiChars.h"
#include "framework/AnsiName.h"
#include "res/Version.h"
#include "snapshot/FSSnap.h"
#include "snapshot/RegSnap.h"
#include "snapshot/QuietSnap.h"
#include "snapshot/TypedPlaces.h"
#include "tools/CommandLine.h"
#include "tools/ConsoleProgress.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

enum ExitCode { kComplete = 0, kFailed = 2 };

const char kUsage[] =
    "usage: corvane-snap fs X: FILE | fs FOLDER... FILE [--hash [--hash-limit SIZE]]\n"
    "       corvane-snap reg [KEY...] FILE [--full-paths]\n"
    "       (either with [--force] [--progress])\n";

const char kHelp[] =
    "\n"
    "Takes a snapshot of a drive's files or of the registry into FILE (.tvrec), the\n"
    "same file the Corvane window writes. Its results text goes to standard output.\n"
    "\n"
    "  fs X: FILE          every folder and file of drive X:\n"
    "  fs FOLDER... FILE   only those folders, with the path down to each\n"
    "  reg FILE            every key and value below HKEY_LOCAL_MACHINE and HKEY_USERS\n"
    "  reg KEY... FILE     only those keys (HKLM\\..., HKU\\... or the roots' full names)\n"
    "  --hash              with fs: keep the SHA-256 of every file's content, so that\n"
    "                      a file rewritten with its old size and times is found changed\n"
    "  --hash-limit SIZE   hash only files up to SIZE (bytes, or 100M, 2G); implies --hash\n"
    "  --full-paths        list the full path of every key that could not be read\n"
    "  --force             overwrite FILE if it exists\n"
    "  --progress          show progress on standard error even when it is not a console\n"
    "  --version           print the version\n"
    "  --help              print this text\n"
    "\n"
    "Exit code: 0 the snapshot is complete, 2 it failed or was refused (a file that\n"
    "was begun is left unreadable, never half-read as a snapshot).\n"
    "Run it as administrator, or folders and keys that need those rights are listed\n"
    "as not accessible. The guide: \"Corvane command-line reference\" in README.html\n"
    "(docs/command-line.md in the sources).\n";

struct CommandLine {
    bool fileSystem = false;
    char drive = 0;
    std::vector<std::wstring> places;  // as typed, in the system's own names
    std::wstring path;
    bool fullPaths = false, force = false, progress = false;
    bool hash = false;
    uint64_t hashLimit = 0;  // 0: none
};

// The letter of "X:" in upper case, as the setup dialog's drive list gives
// it to the walker (the letter is part of the file); 0 for anything else.
char DriveLetter(const std::wstring& text)
{
    if (text.size() != 2 || text[1] != L':')
        return 0;
    wchar_t c = text[0];
    if (c >= L'a' && c <= L'z')
        return static_cast<char>(c - L'a' + 'A');
    return c >= L'A' && c <= L'Z' ? static_cast<char>(c) : 0;
}

// The arguments as typed: the kind and the options character for character,
// FILE and the places in their wide form, as the system gave them.
bool Parse(int argc, wchar_t** argv, CommandLine& line)
{
    if (argc < 2)
        return false;
    line.fileSystem = ArgumentIs(argv[1], "fs");
    if (!line.fileSystem && !ArgumentIs(argv[1], "reg"))
        return false;
    std::vector<std::wstring> operands;
    for (int i = 2; i < argc; ++i) {
        const wchar_t* arg = argv[i];
        if (ArgumentIs(arg, "--force"))
            line.force = true;
        else if (ArgumentIs(arg, "--progress"))
            line.progress = true;
        else if (ArgumentIs(arg, "--full-paths") && !line.fileSystem)
            line.fullPaths = true;
        else if (ArgumentIs(arg, "--hash") && line.fileSystem)
            line.hash = true;
        else if (ArgumentIs(arg, "--hash-limit") && line.fileSystem && i + 1 < argc) {
            if (!ParseSize(argv[++i], line.hashLimit))
                return false;
            line.hash = true;
        }
        else if (LooksLikeOption(arg))
            return false;
        else
            operands.push_back(arg);
    }
    if (operands.size() < (line.fileSystem ? 2u : 1u))
        return false;
    line.path = std::move(operands.back());
    operands.pop_back();
    // "X:" alone is the whole drive, as the window takes it.
    if (line.fileSystem && operands.size() == 1 && (line.drive = DriveLetter(operands[0])))
        return true;
    line.places = std::move(operands);
    return true;
}

}  // namespace

extern "C" int wmain(int argc, wchar_t** argv)
{
    if (argc == 2 && ArgumentIs(argv[1], "--version")) {
        std::printf("corvane-snap %s\n", CORVANE_VERSION);
        return kComplete;
    }
    if (argc == 2 && ArgumentIs(argv[1], "--help")) {
        std::printf("%s%s", kUsage, kHelp);
        return kComplete;
    }
    CommandLine line;
    if (!Parse(argc, argv, line)) {
        std::fputs(kUsage, stderr);
        return kFailed;
    }
    if (!line.force && ::GetFileAttributesW(line.path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        std::fprintf(stderr, "corvane-snap: %s already exists; give --force to overwrite it.\n",
                     ShownName(StrictAnsiName(line.path)).c_str());
        return kFailed;
    }
    CChosenPlaces places;
    std::string refusal = ChooseTypedPlaces(line.fileSystem, line.places, places);
    if (!refusal.empty()) {
        std::fprintf(stderr, "corvane-snap: %s\n", ShownName(refusal).c_str());
        return kFailed;
    }
    if (line.fileSystem && !places.Empty())
        line.drive = places.Roots().front().recorded[0];

    CConsoleProgress progress(line.progress);
    CConsoleMessages messages(progress);
    std::string results;
    bool complete;
    if (line.fileSystem) {
        CQuietSnap<CFSSnap> walker(line.path, line.drive, nullptr, &progress, &messages);
        walker.SetProgramName("corvane-snap");
        walker.ChoosePlaces(std::move(places));
        if (line.hash)
            walker.HashContents(line.hashLimit);
        complete = RunQuietSnap(walker, messages, results);
    } else {
        CQuietSnap<CRegSnap> walker(line.path, nullptr, &progress, line.fullPaths ? TRUE : FALSE,
                                          &messages);
        walker.SetProgramName("corvane-snap");
        walker.ChoosePlaces(std::move(places));
        complete = RunQuietSnap(walker, messages, results);
    }
    progress.ClearLine();
    if (!complete)
        return kFailed;

    // The text as the results dialog shows it, its lines ended by CR LF.
    if (results.empty() || results.back() != '\n')
        results += "\r\n";
    results = WithRightsNote(std::move(results), "corvane-snap");
    _setmode(_fileno(stdout), _O_BINARY);
    std::fwrite(results.data(), 1, results.size(), stdout);
    return kComplete;
}
