// corvane-diff: compares two snapshot files of the same kind with the
// comparison engine and prints the result in one of several formats. The kind,
// file system or registry, is told by the version word of snapshot 1.
//
//   corvane-diff [--format NAME] [--reverse] [--types] [--utf8] [--exclude PATTERN]...
//                [--exclude-from FILE]... [--noise] SNAPSHOT1 SNAPSHOT2
//   corvane-diff --version | --help
//
// Exit code 0 when the snapshots are identical (after the exclusions), 1 when
// they differ, 2 when a file cannot be opened or is refused, or the output
// cannot be written, and 3 when a registry patch was written that carries
// some values only nearly (the reasons go to standard error).
//
// On Windows the command line is read wide: files are opened by the names
// typed, options are recognised character for character, and a pattern is
// taken into the ANSI code page of the snapshots' names only when it
// converts exactly; a pattern holding a character the code page lacks is
// matched against the exact names the snapshots kept, never through a
// best-fit look-alike.
#include "compare/AnsiChars.h"
#include "compare/FSMine.h"
#include "compare/RegMine.h"
#include "res/Version.h"
#include "snapshot/SnapFormat.h"
#include "snapshot/StdioFile.h"
#include "report/AnsiText.h"
#include "report/DiffFilter.h"
#include "report/DiffWriter.h"
#include "report/TextSink.h"
#include "tools/CommandLine.h"

#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <unordered_set>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

enum ExitCode { kIdentical = 0, kDifferent = 1, kRefused = 2, kNotExact = 3 };

// The engine's messages, one line each on standard error.
class CStderrMessages : public IUserMessages {
public:
    MsgAnswer Show(const std::string& text, MsgIcon, MsgButtons buttons) override
    {
        std::fprintf(stderr, "%s\n", text.c_str());
        return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
    }
};

uint16_t PeekVersion(IInputFile& file)
{
    uint8_t word[2] = {};
    file.SeekToBegin();
    file.Read(word, 2);
    file.SeekToBegin();
    return GetLE16(word);
}

// The engine for the kind of snapshot 1, told by its version word: 225 is a
// registry snapshot; the file-system kind takes every other file and
// refuses, with its own message, one that is no snapshot at all.
struct CEngineChoice {
    SnapKind kind;
    std::unique_ptr<CCompareMine> mine;
};

CEngineChoice ChooseEngine(uint16_t version, IUserMessages& messages)
{
    if (version == kRegSnapVersion)
        return CEngineChoice{SnapKind::Registry, std::make_unique<CRegMine>(messages)};
    return CEngineChoice{SnapKind::FileSystem, std::make_unique<CFSMine>(messages)};
}

const char kUsage[] =
    "usage: corvane-diff [--format report|tree|csv|json|html|reg] [--reverse] [--types]\n"
    "                    [--allow-hive-changes] [--utf8]\n"
    "                    [--exclude PATTERN]... [--exclude-from FILE]... [--noise]\n"
    "                    SNAPSHOT1 SNAPSHOT2\n";

const char kHelp[] =
    "\n"
    "Compares two snapshot files of the same kind and writes what changed from\n"
    "SNAPSHOT1 to SNAPSHOT2 to standard output.\n"
    "\n"
    "  --format report        the text report (the default)\n"
    "  --format tree          both trees of differences, as the window shows them\n"
    "  --format csv           one line per difference\n"
    "  --format json          one record per difference, names and data exact\n"
    "  --format html          a web page of the report\n"
    "  --format reg           a registry patch that makes SNAPSHOT1's state SNAPSHOT2's\n"
    "  --reverse              (reg) the patch back from SNAPSHOT2's state to SNAPSHOT1's\n"
    "  --allow-hive-changes   (reg) let the patch delete or create whole hives\n"
    "  --types                a value whose type alone changed counts as changed\n"
    "  --utf8                 the report and the tree in UTF-8, names exact\n"
    "  --exclude PATTERN      leave out what the pattern names (* any name part, ** any depth)\n"
    "  --exclude-from FILE    leave out the patterns of FILE, one per line\n"
    "  --noise                leave out what a running system changes by itself\n"
    "  --version              print the version\n"
    "  --help                 print this text\n"
    "\n"
    "Exit code: 0 identical, 1 different, 2 a file refused or an error, 3 a patch\n"
    "was written that carries some values only nearly (named on standard error).\n"
    "The guide: \"Corvane command-line reference\" in README.html\n"
    "(docs/command-line.md in the sources).\n";

int Usage()
{
    std::fputs(kUsage, stderr);
    return kRefused;
}

int Refuse(const std::string& text)
{
    std::fprintf(stderr, "%s\n", text.c_str());
    return kRefused;
}

}  // namespace

static int Main(int argc, SystemChar** argv)
{
    if (argc == 2 && ArgumentIs(argv[1], "--version")) {
        std::printf("corvane-diff %s\n", CORVANE_VERSION);
        return kIdentical;
    }
    if (argc == 2 && ArgumentIs(argv[1], "--help")) {
        std::printf("%s%s", kUsage, kHelp);
        return kIdentical;
    }
    CDiffOptions options;
    std::vector<std::string> excludes;
    std::vector<std::u16string> exactExcludes;
    std::vector<SystemString> excludeFiles;
    bool noise = false;
    SystemString paths[2];
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        const SystemChar* arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (ArgumentIs(arg, "--tree")) {
            options.format = "tree";
        } else if (ArgumentIs(arg, "--format") && hasValue) {
            options.format = SystemTextToAnsi(argv[++i]);
        } else if (ArgumentIs(arg, "--reverse")) {
            options.reverse = true;
        } else if (ArgumentIs(arg, "--types")) {
            options.types = true;
        } else if (ArgumentIs(arg, "--allow-hive-changes")) {
            options.allowHiveChanges = true;
        } else if (ArgumentIs(arg, "--utf8")) {
            options.utf8 = true;
        } else if (ArgumentIs(arg, "--exclude") && hasValue) {
            // A pattern the code page cannot hold is matched against the
            // exact names, never through a look-alike.
            std::string lost;
            std::string ansi = SystemTextToAnsi(argv[++i], &lost);
            if (lost.empty())
                excludes.push_back(std::move(ansi));
            else
                exactExcludes.emplace_back(argv[i], argv[i] + std::char_traits<SystemChar>::length(argv[i]));
        } else if (ArgumentIs(arg, "--exclude-from") && hasValue) {
            excludeFiles.push_back(argv[++i]);
        } else if (ArgumentIs(arg, "--noise")) {
            noise = true;
        } else if (count < 2 && !LooksLikeOption(arg)) {
            paths[count++] = arg;
        } else {
            return Usage();
        }
    }
    if (count != 2)
        return Usage();
    const CDiffFormat* format = FindDiffFormat(options.format);
    if (!format)
        return Refuse("corvane-diff: unknown format \"" + ShownName(options.format) + "\".");
    if (options.reverse && options.format != "reg")
        return Refuse("corvane-diff: --reverse applies to --format reg only.");
    if (options.allowHiveChanges && options.format != "reg")
        return Refuse("corvane-diff: --allow-hive-changes applies to --format reg only.");
    if (options.utf8 && options.format != "report" && options.format != "tree")
        return Refuse("corvane-diff: --utf8 applies to the report and --tree only; the other formats are UTF-8 already.");

    CStderrMessages messages;
    CStdioFile file1, file2;
    if (!file1.OpenRead(paths[0])) {
        messages.Error("Failed to open file 1.");
        return kRefused;
    }
    if (!file2.OpenRead(paths[1])) {
        messages.Error("Failed to open file 2.");
        return kRefused;
    }

    CEngineChoice engine = ChooseEngine(PeekVersion(file1), messages);
    if (engine.kind == SnapKind::Registry) {
        // A patch must give back the other state exactly, types included,
        // and must not take one of two siblings of one name for the other.
        const bool patch = options.format == "reg";
        static_cast<CRegMine&>(*engine.mine).SetTypesCompared(options.types || patch);
        engine.mine->SetMarkTwins(patch);
    }
    CPathFilter filter;
    for (const std::string& pattern : excludes)
        filter.Add(pattern);
    for (const std::u16string& pattern : exactExcludes)
        filter.AddExact(pattern);
    for (const SystemString& path : excludeFiles) {
        std::string error;
        if (!filter.AddFromFile(path, error))
            return Refuse("corvane-diff: " + error);
    }
    if (noise)
        filter.AddNoise(engine.kind);

#ifdef _WIN32
    if (format->binary)
        _setmode(_fileno(stdout), _O_BINARY);
#endif
    CTextSink out(stdout);
    std::string message;
    FormatOutcome outcome;
    try {
        if (!engine.mine->Compare(nullptr, file1, file2)) {
            messages.Error(kComparisonFailed);
            return kRefused;
        }
        std::unordered_set<const CCompareNode*> trimmed;
        filter.Apply(*engine.mine, &trimmed);

        CDiffOutput diff{*engine.mine, engine.kind, {SystemTextToAnsi(paths[0]), FileDate(paths[0])},
                         {SystemTextToAnsi(paths[1]), FileDate(paths[1])}};
        outcome = format->write(CFormatInput{diff, *DescriberFor(engine.kind), options, trimmed}, out, message);
    } catch (const std::bad_alloc&) {
        // Both trees are read whole; two snapshots too large for the
        // address space end here rather than in the runtime's abort.
        messages.Error(kCompareOutOfMemory);
        return kRefused;
    }
    if (outcome == FormatOutcome::Refused)
        return Refuse(message);
    if (!out.Flush())
        return Refuse("corvane-diff: cannot write the output.");
    if (outcome == FormatOutcome::NotExact) {
        std::fprintf(stderr, "%s\n", message.c_str());
        return kNotExact;
    }
    return TreesIdentical(*engine.mine) ? kIdentical : kDifferent;
}

#ifdef _WIN32
extern "C" int wmain(int argc, wchar_t** argv)
#else
int main(int argc, char** argv)
#endif
{
    return Main(argc, argv);
}
