// corvane-snap.exe run as a child process on a mapped drive and on the
// prefix's registry: its file equals byte for byte the snapshot the program
// takes of the same state through the snapshot operation, with the real
// progress window, question, note and results dialog, and its standard output
// is that dialog's text. Refusals, failures and progress lines, exactly; names
// as typed. Its progress reads the bar back as the progress window does.
#include "compare/AnsiChars.h"
#include "operation/SnapProgressDlg.h"
#include "res/resource.h"
#include "snapshot/FSSnap.h"
#include "snapshot/RegSnap.h"
#include "snapshot/ResultsText.h"
#include "snapshot/SnapOperation.h"
#include "snapshot/TypedPlaces.h"
#include "tests/support/ChildRun.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/DriveFixture.h"
#include "tests/support/SnapshotFiles.h"
#include "tools/ConsoleProgress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <regex>
#include <thread>

namespace {

std::string TempPath(const char* name)
{
    char dir[MAX_PATH];
    ::GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

const std::string kFile = TempPath("corvane-snap-cli.tvrec");
// A folder for the files of names as typed; the host's folder of odd names.
const std::string kDir = TempPath("corvane-typed");
const std::string kOdd = "Z:" + std::regex_replace(CORVANE_ODD_FOLDER, std::regex("/"), "\\");

// The text with {file}, {dir}, {odd}, {drive} ("s:"), {DRIVE} ("S:"), {free}
// (a letter that is no drive) and the program's messages filled in; for a pattern, as
// literal text, with each line ended by CR LF as standard error writes it.
std::string Expand(std::string text, bool pattern = false)
{
    const char drive = FixtureDriveLetter();
    char free = 'Y';
    while (::GetFileAttributesA((std::string(1, free) + ":\\").c_str()) != INVALID_FILE_ATTRIBUTES)
        --free;
    const std::pair<const char*, std::string> fills[] = {
        {"{file}", kFile}, {"{dir}", kDir}, {"{odd}", kOdd},
        {"{drive}", std::string(1, static_cast<char>(drive - 'A' + 'a')) + ":"},
        {"{DRIVE}", std::string(1, drive) + ":"}, {"{free}", std::string(1, free) + ":"},
        {"{free error}", FSSnapDriveError(free) + "\n"}, {"{fs write error}", kFSSnapWriteError + std::string("\n")},
        {"{reg write error}", kRegSnapWriteError + std::string("\n")}, {"{note}", kRegSnapIgnoredRootsNote + std::string("\n")},
        {"{usage}", "usage: corvane-snap fs X: FILE | fs FOLDER... FILE [--hash [--hash-limit SIZE]]\n"
                    "       corvane-snap reg [KEY...] FILE [--full-paths]\n"
                    "       (either with [--force] [--progress])\n"}};
    for (const auto& fill : fills) {
        std::string literal = pattern ? std::regex_replace(ToCrLf(fill.second), std::regex("[.^$|()\\[\\]{}*+?\\\\]"), "\\$&")
                                      : fill.second;
        for (size_t at; (at = text.find(fill.first)) != std::string::npos;)
            text.replace(at, std::strlen(fill.first), literal);
    }
    return text;
}

// corvane-snap.exe, or another program, with the arguments expanded.
ChildRun RunSnap(const std::vector<std::string>& args, const char* program = CORVANE_SNAP_EXE)
{
    std::vector<std::string> expanded;
    for (const std::string& arg : args)
        expanded.push_back(Expand(arg));
    return RunChild(program, expanded, 4 * kPatienceMs);
}

// The snapshot as the window's command takes it once the setup dialog (which
// creates the file empty, passes the drive letter in upper case and takes the
// folders or keys typed one a line) is done: the operation with its progress
// window, the question answered Yes, the registry's note OK'd. Returns the
// results dialog's text.
std::string WindowSnapshot(CSnapProgressDlg& progress, int kind, BOOL fullPaths, const std::string& path,
                           const std::vector<std::wstring>& places)
{
    MakeFile(path, "");
    std::string results;
    std::thread person([&]() {
        const DWORD self = ::GetCurrentProcessId();
        for (int button : kind == kSnapKindRegistry ? std::vector<int>{IDYES, IDOK} : std::vector<int>{IDYES}) {
            HWND box = WaitForWindow(self, DialogWith("Corvane", 0xFFFF));
            if (!box)
                return;
            PressButton(box, button);
            WaitDestroyed(box);
        }
        if (HWND dialog = WaitForWindow(self, DialogWith("Results", IDC_RESULTS_TEXT), 4 * kPatienceMs)) {
            results = GetWindowTextOf(::GetDlgItem(dialog, IDC_RESULTS_TEXT));
            PressButton(dialog, IDCANCEL);
        }
    });
    CChosenPlaces chosen;
    EXPECT_EQ(ChooseTypedPlaces(kind == kSnapKindFileSystem, places, chosen), "");
    CSnapOperation operation;
    char drive = chosen.Empty() ? FixtureDriveLetter() : chosen.Roots().front().recorded[0];
    operation.ChoosePlaces(std::move(chosen));
    operation.Start(nullptr, &progress, path, kind, drive, fullPaths);
    person.join();
    return results;
}

enum class FileAfter { SameAsWindow, None, Untouched, VersionZero, NotLooked };

struct SnapCase {
    std::vector<std::string> args;
    const char* before;  // the file's content before, or null for none
    DWORD code;
    const char* err;  // a pattern of standard error
    FileAfter file;
};

const char kFSProgress[] =
    "0% Creating snap shot file\\.\\.\\.\r\n(\\d+% (Initializing snap shot\\.\\.\\.|{DRIVE}.*)\r\n)*100% {DRIVE}.*\r\n";
const char kRegProgress[] = "0% Creating snap shot file\\.\\.\\.\r\n{note}(\\d+% Keys written: \\d+\r\n)*100% Keys written: \\d+\r\n";

// The registry first: this process shows its first window in that case.
const SnapCase kCases[] = {
    {{"reg", "{file}"}, nullptr, 0, "", FileAfter::SameAsWindow},
    {{"reg", "--full-paths", "{file}", "--progress"}, nullptr, 0, kRegProgress, FileAfter::SameAsWindow},
    {{"fs", "{drive}", "{file}"}, nullptr, 0, "", FileAfter::SameAsWindow},
    // What the setup dialog's chosen places record, the same.
    {{"reg", "HKLM\\Software\\Wine", "hku\\.DEFAULT\\Software", "{file}"}, nullptr, 0, "", FileAfter::SameAsWindow},
    {{"fs", "{DRIVE}\\Data", "{file}"}, nullptr, 0, "", FileAfter::SameAsWindow},
    {{"fs", "--force", "{DRIVE}", "{file}", "--progress"}, "an older file", 0, kFSProgress, FileAfter::SameAsWindow},
    {{"fs", "{DRIVE}", "{file}"}, "keep me", 2, "corvane-snap: {file} already exists; give --force to overwrite it\\.\r\n",
     FileAfter::Untouched},
    {{"fs", "{DRIVE}", "Z:\\dev\\full", "--force"}, nullptr, 2, "{fs write error}", FileAfter::NotLooked},
    {{"reg", "--force", "Z:\\dev\\full"}, nullptr, 2, "{reg write error}", FileAfter::NotLooked},
    {{"fs", "{free}", "{file}"}, nullptr, 2, "{free error}", FileAfter::VersionZero},
    {{}, nullptr, 2, "{usage}", FileAfter::None},
    {{"disk", "{file}"}, nullptr, 2, "{usage}", FileAfter::None},
    {{"fs", "1:", "{file}"}, nullptr, 2, "corvane-snap: 1: is not on a drive\\.\r\n", FileAfter::None},
    {{"fs", "{DRIVE}", "{file}", "--full-paths"}, nullptr, 2, "{usage}", FileAfter::None},
    {{"reg", "{file}", "--hash"}, nullptr, 2, "{usage}", FileAfter::None},
    {{"fs", "{DRIVE}", "{file}", "--hash-limit", "0"}, nullptr, 2, "{usage}", FileAfter::None},
    {{"reg", "{file}", "{file}"}, nullptr, 2,
     "corvane-snap: {file} is not below HKEY_LOCAL_MACHINE or HKEY_USERS\\.\r\n", FileAfter::None},
};

TEST(CorvaneSnap, EachCommandLineEndsAsItMust)
{
    std::string root = Expand("{DRIVE}");
    ASSERT_NE(FixtureDriveLetter(), 0) << "run through scripts/with-drive";
    for (const char* folder : {"\\Data", "\\Data\\Deep", "\\Empty"})
        ASSERT_TRUE(MakeFolder(root + folder));
    ASSERT_TRUE(MakeFile(root + "\\readme.txt", "Corvane") && MakeFile(root + "\\Data\\a.bin", std::string(5000, 'a')) &&
                MakeFile(root + "\\Data\\Deep\\b.txt", "b"));
    const std::string windowFile = TempPath("corvane-snap-window.tvrec");
    for (const SnapCase& c : kCases) {
        std::string line;
        for (const std::string& arg : c.args)
            line += " " + arg;
        SCOPED_TRACE(line);
        ::DeleteFileA(kFile.c_str());
        if (c.before)
            MakeFile(kFile, c.before);
        // Windows are up in this process before the child runs: Wine rewrites
        // its display driver's DriverDateData when a process first shows one.
        bool registry = !c.args.empty() && c.args[0] == "reg";
        std::unique_ptr<CSnapProgressDlg> progress;
        if (c.file == FileAfter::SameAsWindow) {
            progress = std::make_unique<CSnapProgressDlg>(TRUE);
            ASSERT_TRUE(progress->Create(registry ? IDI_REGISTRY_OP : IDI_FILESYSTEM_OP, nullptr));
        }
        ChildRun run = RunSnap(c.args);
        EXPECT_EQ(run.code, c.code);
        EXPECT_TRUE(std::regex_match(run.err, std::regex(Expand(c.err, true)))) << run.err;
        std::string results;
        if (progress) {
            bool fullPaths = std::find(c.args.begin(), c.args.end(), "--full-paths") != c.args.end();
            // The places: the operands after the kind but the file and a drive alone.
            std::vector<std::wstring> places;
            for (size_t i = 1; i < c.args.size(); ++i) {
                std::string operand = Expand(c.args[i]);
                if (operand.compare(0, 2, "--") != 0 && operand.size() > 2 && c.args[i] != "{file}")
                    places.push_back(Utf8ToWide(operand));
            }
            results = WindowSnapshot(*progress, registry ? kSnapKindRegistry : kSnapKindFileSystem, fullPaths,
                                     windowFile, places);
            ASSERT_NE(results, "");
        }
        EXPECT_EQ(run.out, results.empty() || results.back() == '\n' ? results : results + "\r\n");
        std::vector<uint8_t> bytes = ReadWholeFile(kFile);
        if (c.file == FileAfter::SameAsWindow) {
            EXPECT_GT(bytes.size(), 100u);
            // The same records; the appendices name each its own writer.
            std::vector<uint8_t> window = ReadWholeFile(windowFile), records = RecordsOf(bytes);
            EXPECT_TRUE(records == RecordsOf(window)) << bytes.size() << " bytes";
            CSnapAppendix tool, shown;
            ASSERT_TRUE(ReadAppendixAt(bytes, records.size(), tool) &&
                        ReadAppendixAt(window, RecordsOf(window).size(), shown));
            EXPECT_EQ(tool.program, "corvane-snap");
            EXPECT_EQ(shown.program, "corvane");
            EXPECT_EQ(tool.places, shown.places);
        } else if (c.file == FileAfter::None) {
            EXPECT_FALSE(FileExists(kFile));
        } else if (c.file == FileAfter::Untouched) {
            EXPECT_EQ(std::string(bytes.begin(), bytes.end()), c.before);
        } else if (c.file == FileAfter::VersionZero) {
            ASSERT_GT(bytes.size(), 7u);
            EXPECT_EQ(bytes[0] | bytes[1], 0);
        }
    }
    ::DeleteFileA(windowFile.c_str());
    ::DeleteFileA(kFile.c_str());
}

// Names are taken as typed. {dir} holds Lukasz.tvrec before each case, which
// must stay byte for byte as it was; a case writes at most the one file it
// names, whose snapshot is complete when its results are printed. {odd} is a
// host folder holding Ctl\a<01>b, which Windows lists but cannot open: it is
// taken and listed as ignored.
struct TypedCase {
    std::vector<std::string> args;  // UTF-8
    DWORD code;
    const char* err;      // standard error, exactly
    const char* written;  // the file written into {dir}, or null
    const char* out;      // a line that standard output holds
};

const TypedCase kTypedCases[] = {
    {{"reg", "HKLM\\Software\\Wine", "{dir}\\Łukasz.tvrec", "--force"}, 0, "", "Łukasz.tvrec",
     "HKEY_LOCAL_MACHINE\\Software\\Wine"},
    {{"reg", "HKLM\\Software\\Wine", "{dir}\\Lukasz.tvrec", "－－force"}, 2, "{usage}", nullptr, nullptr},
    {{"reg", "HKLM＼Software＼Wine", "{dir}\\Wine.tvrec"}, 2,
     "corvane-snap: HKLM?Software?Wine is not below HKEY_LOCAL_MACHINE or HKEY_USERS.\n", nullptr, nullptr},
    {{"reg", "HKLM\\Software＼Wine", "{dir}\\Wine.tvrec"}, 2, "corvane-snap: HKLM\\Software?Wine does not exist.\n",
     nullptr, nullptr},
    {{"fs", "{odd}\\Ctl", "{dir}\\Ctl.tvrec"}, 0, "", "Ctl.tvrec", "{odd}\\Ctl\\a<01>b"},
    {{"fs", "{odd}\\Ctl\\a\x01" "b", "{dir}\\Ctl.tvrec"}, 0, "", "Ctl.tvrec",
     "Only the following directories and their contents were recorded:\r\n{odd}\\Ctl\\a<01>b"},
};

// The names of the files in the folder, UTF-8, sorted.
std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW(Utf8ToWide(folder + "\\*").c_str(), &found);
    for (bool more = find != INVALID_HANDLE_VALUE; more; more = ::FindNextFileW(find, &found)) {
        char name[MAX_PATH * 3];
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            ::WideCharToMultiByte(CP_UTF8, 0, found.cFileName, -1, name, sizeof name, nullptr, nullptr))
            names.push_back(name);
    }
    ::FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

TEST(CorvaneSnap, NamesAreTakenAsTyped)
{
    auto clear = []() {
        for (const std::string& name : FilesIn(kDir))
            ::DeleteFileW(Utf8ToWide(kDir + "\\" + name).c_str());
    };
    MakeFolder(kDir);
    const std::string kept = "keep me, I am Lukasz";
    for (const TypedCase& c : kTypedCases) {
        SCOPED_TRACE(ShownName(c.args[1] + " " + c.args[2]));
        clear();
        ASSERT_TRUE(MakeFile(kDir + "\\Lukasz.tvrec", kept));

        ChildRun run = RunSnap(c.args);
        EXPECT_EQ(run.code, c.code);
        EXPECT_EQ(run.err, ToCrLf(Expand(c.err)));
        std::vector<std::string> files{"Lukasz.tvrec"};
        if (c.written) {
            files.push_back(c.written);
            std::sort(files.begin(), files.end());
            EXPECT_NE(run.out.find("\r\n" + Expand(c.out) + "\r\n"), std::string::npos) << run.out;
        }
        EXPECT_EQ(FilesIn(kDir), files);
        std::vector<uint8_t> lukasz = ReadWholeFile(kDir + "\\Lukasz.tvrec");
        EXPECT_EQ(std::string(lukasz.begin(), lukasz.end()), kept);
    }
    clear();
    ::RemoveDirectoryA(kDir.c_str());
}

// Snapshots of chosen folders and keys, each compared by corvane-diff with a
// whole snapshot of the same moment and of a later one, and with itself
// taken again after a change inside and outside the chosen places.
struct PartCase {
    std::vector<std::string> places;
    const char* listed;   // the places as the results list them; null: refused
    const char* refusal;  // when refused
};

const PartCase kPartCases[] = {
    {{"fs", "{DRIVE}\\Chosen\\A"}, "{DRIVE}\\Chosen\\A\n", nullptr},
    {{"fs", "{drive}\\chosen\\a\\deep\\", "{DRIVE}\\Chosen\\B"}, "{DRIVE}\\Chosen\\A\\Deep\n{DRIVE}\\Chosen\\B\n", nullptr},
    {{"fs", "{DRIVE}\\Chosen"}, "{DRIVE}\\Chosen\n", nullptr},
    {{"reg", "HKLM\\Software\\Chosen\\A"}, "HKEY_LOCAL_MACHINE\\Software\\Chosen\\A\n", nullptr},
    {{"reg", "hkey_local_machine\\software\\chosen\\a\\deep", "HKU\\.Default\\Software\\Chosen"},
     "HKEY_LOCAL_MACHINE\\Software\\Chosen\\A\\Deep\nHKEY_USERS\\.Default\\Software\\Chosen\n", nullptr},
    {{"fs", "{DRIVE}\\Nope"}, nullptr, "{DRIVE}\\Nope does not exist."},
    {{"fs", "{DRIVE}\\Chosen\\top.txt"}, nullptr, "{DRIVE}\\Chosen\\top.txt is a file, not a folder."},
    {{"fs", "{DRIVE}\\Chosen", "C:\\windows"}, nullptr, "C:\\windows is on another drive than {DRIVE}\\Chosen."},
    {{"fs", "{DRIVE}\\Chosen\\A", "{drive}\\chosen\\a"}, nullptr, "{drive}\\chosen\\a is named twice."},
    {{"fs", "{DRIVE}\\Chosen\\A", "{DRIVE}\\Chosen"}, nullptr,
     "{DRIVE}\\Chosen\\A lies inside {DRIVE}\\Chosen; name only one of them."},
    {{"reg", "HKLM\\Software\\Chosen\\Nope"}, nullptr, "HKLM\\Software\\Chosen\\Nope does not exist."},
    {{"reg", "HKCU\\Software"}, nullptr, "HKCU\\Software is not below HKEY_LOCAL_MACHINE or HKEY_USERS."},
    {{"reg", "HKLM\\Software\\Chosen\\A\\Deep", "HKLM\\Software\\Chosen"}, nullptr,
     "HKLM\\Software\\Chosen\\A\\Deep lies inside HKLM\\Software\\Chosen; name only one of them."},
};

// The test's files and keys; each version changes every file and value, in
// and outside the chosen places.
void MakeChosenPlaces(DWORD version)
{
    for (const char* file : {"\\top.txt", "\\A\\a.txt", "\\A\\Deep\\d.txt", "\\B\\b.txt"}) {
        std::string path = Expand("{DRIVE}\\Chosen") + file;
        MakeFolder(path.substr(0, path.rfind('\\')));
        ASSERT_TRUE(MakeFile(path, std::string(version, 'x'))) << path;
    }
    const std::pair<HKEY, const char*> values[] = {
        {HKEY_LOCAL_MACHINE, "Software\\Chosen\\A"}, {HKEY_LOCAL_MACHINE, "Software\\Chosen\\A\\Deep"},
        {HKEY_LOCAL_MACHINE, "Software\\Chosen\\B"}, {HKEY_USERS, ".Default\\Software\\Chosen"}};
    for (const auto& key : values)
        ASSERT_EQ(::RegSetKeyValueA(key.first, key.second, "v", REG_DWORD, &version, sizeof version), ERROR_SUCCESS);
    ::RegSetKeyValueA(HKEY_LOCAL_MACHINE, "Software\\Chosen", "top", REG_DWORD, &version, sizeof version);
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(text.substr(at, end - at - (end > at && text[end - 1] == '\r')));
    return lines;
}

TEST(CorvaneSnap, ChosenPlacesHoldExactlyWhatTheWholeSnapshotHoldsBelowThem)
{
    ASSERT_NE(FixtureDriveLetter(), 0) << "run through scripts/with-drive";
    auto file = [](const std::string& kind, int version, size_t part) {
        return TempPath(("part-" + kind + std::to_string(version) + "-" + std::to_string(part) + ".tvrec").c_str());
    };
    auto diff = [](const std::string& one, const std::string& two) {
        return Lines(RunSnap({one, two}, CORVANE_DIFF_EXE).out);
    };
    // Each version: the whole drive and registry, then every case's places.
    std::vector<std::vector<std::string>> listed(std::size(kPartCases));
    for (DWORD version : {1, 2}) {
        MakeChosenPlaces(version);
        ASSERT_EQ(RunSnap({"fs", "{DRIVE}", file("fs", version, 0), "--force"}).code, 0u);
        ASSERT_EQ(RunSnap({"reg", file("reg", version, 0), "--force"}).code, 0u);
        for (size_t i = 0; i < std::size(kPartCases); ++i) {
            const PartCase& c = kPartCases[i];
            SCOPED_TRACE(c.places.back());
            std::vector<std::string> args = c.places;
            args.push_back(file(c.places[0], version, i + 1));
            ::DeleteFileA(args.back().c_str());
            ChildRun run = RunSnap(args);
            if (!c.listed) {
                EXPECT_EQ(run.code, 2u);
                EXPECT_EQ(run.err, "corvane-snap: " + Expand(c.refusal) + "\r\n");
                EXPECT_FALSE(FileExists(args.back()));
                continue;
            }
            ASSERT_EQ(run.code, 0u) << run.err;
            std::vector<std::string> out = Lines(run.out);
            listed[i].assign(out.begin() + 3, std::find(out.begin() + 3, out.end(), ""));
            EXPECT_EQ(listed[i], Lines(Expand(c.listed)));
        }
    }
    for (size_t i = 0; i < std::size(kPartCases); ++i) {
        const PartCase& c = kPartCases[i];
        if (!c.listed)
            continue;
        SCOPED_TRACE(c.places.back());
        // Only what lies inside the places is compared, and the report says
        // which they are: against the whole snapshot of the same moment
        // nothing differs; against a whole one taken after the change, and
        // against itself taken again, exactly the whole pair's differences
        // below the places.
        std::vector<std::string> compared, below;
        for (const std::string& place : listed[i])
            compared.push_back("compared:  " + place + "\\");
        for (const std::string& line : diff(file(c.places[0], 1, 0), file(c.places[0], 2, 0)))
            for (const std::string& place : listed[i])
                if (line.find(" " + place + "\\") != std::string::npos)
                    below.push_back(line);
        EXPECT_FALSE(below.empty());
        EXPECT_EQ(diff(file(c.places[0], 1, 0), file(c.places[0], 1, i + 1)), compared);
        below.insert(below.begin(), compared.begin(), compared.end());
        EXPECT_EQ(diff(file(c.places[0], 1, i + 1), file(c.places[0], 2, 0)), below);
        EXPECT_EQ(diff(file(c.places[0], 1, i + 1), file(c.places[0], 2, i + 1)), below);
    }
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Chosen");
    ::RegDeleteTreeA(HKEY_USERS, ".Default\\Software\\Chosen");
}

TEST(ConsoleProgress, ItsBarReadsBackWhatTheProgressWindowsBarReads)
{
    CSnapProgressDlg window(TRUE);
    ASSERT_TRUE(window.Create(IDI_REGISTRY_OP, nullptr));
    CConsoleProgress console(false);
    std::vector<int> read[2];
    IProgress* both[2] = {&window, &console};
    for (int i = 0; i < 2; ++i) {
        IProgress& p = *both[i];
        // The registry walker's share of a root subkey added to what it reads back.
        for (int share = 0; share < 2; ++share) {
            p.SetPercent(16.67f + static_cast<float>(read[i].empty() ? 0 : read[i].back()));
            p.Refresh(true);
            read[i].push_back(p.BarGetPos());
        }
        for (float position : {250.0f, -4.0f}) {
            p.BarSetPos(position);
            read[i].push_back(p.BarGetPos());
        }
        for (float step : {0.1f, 40.0f}) {
            p.BarSetStep(step);
            for (int s = 0; s < 30; ++s)
                p.BarStepIt();
            read[i].push_back(p.BarGetPos());
        }
    }
    EXPECT_EQ(read[1], read[0]);
    EXPECT_EQ(read[1], (std::vector<int>{16, 32, 100, 0, 2, 100}));
}

}  // namespace
