// corvane-capture.exe run as a console user runs it, around the programs of
// CaptureSubject.cpp on a mapped drive and a key of the prefix's registry:
// what it reports, its exit code, the files it leaves, and what it refuses
// before anything runs. Also what all three command-line programs tell of
// themselves: --help and their manifests.
#include "tests/support/ChildRun.h"
#include "tests/support/DemoInstaller.h"
#include "tests/support/DriveFixture.h"
#include "tests/support/WaitFor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <regex>

namespace {

const char kKey[] = "Software\\CorvaneCaptureTest";

std::string Drive()
{
    return std::string(1, FixtureDriveLetter()) + ":";
}

std::string Fill(std::string text)
{
    const std::pair<const char*, std::string> fills[] = {
        {"{D}", Drive()}, {"{subject}", CAPTURE_SUBJECT_EXE}, {"{key}", kKey}};
    for (const auto& fill : fills)
        for (size_t at; (at = text.find(fill.first)) != std::string::npos;)
            text.replace(at, std::strlen(fill.first), fill.second);
    return text;
}

std::string WithoutCr(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

std::string FileText(const std::string& path)
{
    std::vector<uint8_t> bytes = ReadWholeFile(path);
    return WithoutCr(std::string(bytes.begin(), bytes.end()));
}

bool ValueExists(const char* name)
{
    return ::RegGetValueA(HKEY_LOCAL_MACHINE, kKey, name, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

struct CaptureCase {
    std::vector<std::string> options, args;  // the capture's options; the subject's arguments
    DWORD code;
    const char* err;     // standard error, a pattern
    const char* report;  // report.txt and standard output up to "Steps:", a pattern; null: nothing made
    const char* json;    // a pattern report.json holds
};

// Each case writes into {D}\Work\out, which lies inside the recorded folder.
const std::vector<std::string> kPlaces = {"--fs", "{D}\\Work", "--reg", "HKLM\\{key}", "--out", "{D}\\Work\\out"};
const char kSteps[] =
    "(corvane-capture: (Snap shot of the chosen (folders|keys) (before|after)|Running [^\n]*|Comparing the "
    "(file system|registry)|Writing the registry patches)\\.\\.\\.\n)*";

const CaptureCase kCases[] = {
    // The program ends at once; the child it started writes a second later.
    {{}, {"parent", "{D}\\Work", "{key}"}, 1, "",
     "The program ended with exit code 0\\.\n\nFile system \\(the chosen folders\\):\ncompared:  {D}\\\\Work\\\\\n"
     "only in 2: {D}\\\\Work\\\\child\\.txt \\(5 bytes, modified .*\\)\n\nRegistry \\(the chosen keys\\):\n"
     "compared:  HKEY_LOCAL_MACHINE\\\\Software\\\\CorvaneCaptureTest\\\\\n"
     "only in 2: HKEY_LOCAL_MACHINE\\\\Software\\\\CorvaneCaptureTest\\\\Child .*\n"
     "Registry patches: replay\\.reg makes the changes again, undo\\.reg takes them back\\.\n",
     "\"exit_code\": 0, \"timed_out\": false"},
    // A program that fails: its exit code told, the capture done; the files'
    // contents hashed (the empty file's SHA-256).
    {{"--hash"}, {"fail", "7", "{D}\\Work"}, 1, "corvane-capture: The program ended with exit code 7\\.\n",
     "The program ended with exit code 7\\.\n\nFile system \\(the chosen folders\\):\ncompared:  {D}\\\\Work\\\\\n"
     "only in 2: {D}\\\\Work\\\\failed\\.txt \\(0 bytes, .*\\)\n\nRegistry \\(the chosen keys\\):\n"
     "compared:  HKEY_LOCAL_MACHINE\\\\Software\\\\CorvaneCaptureTest\\\\\nNo changes\\.\n"
     "Registry patches: .*\n",
     "\"exit_code\": 7, \"timed_out\": false[\\s\\S]*failed\\.txt\"[^}]*\"after\": \\{[^}]*"
     "\"sha256\": \"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855\"\\}"},
    // A program that never ends: ended at the time limit, the snapshots after still taken.
    {{"--timeout", "2"}, {"forever"}, 0,
     "corvane-capture: The program did not end within 2 s; it and the programs it started were ended\\.\n",
     "The program did not end within 2 s; it and the programs it started were ended\\.\n\n"
     "File system \\(the chosen folders\\):\ncompared:  {D}\\\\Work\\\\\nNo changes\\.\n\nRegistry \\(the chosen keys\\):\n"
     "compared:  HKEY_LOCAL_MACHINE\\\\Software\\\\CorvaneCaptureTest\\\\\nNo changes\\.\nRegistry patches: .*\n",
     "\"exit_code\": null, \"timed_out\": true"},
};

// Refused before anything runs: nothing is made, the program never starts.
struct RefusedCase {
    std::vector<std::string> args;
    const char* err;  // exactly
};

const char kUsage[] =
    "usage: corvane-capture [--fs PLACE]... [--reg KEY]... [--noise] [--exclude PATTERN]...\n"
    "                       [--exclude-from FILE]... [--settle SECONDS] [--timeout SECONDS]\n"
    "                       [--hash [--hash-limit SIZE]] [--progress] --out FOLDER -- PROGRAM [ARGUMENTS]\n";

const RefusedCase kRefused[] = {
    {{"--fs", "{D}\\Nope", "--out", "{D}\\Work\\out", "--", "{subject}", "fail", "0", "{D}\\Work"},
     "corvane-capture: {D}\\Nope does not exist.\n"},
    {{"--reg", "HKLM\\Software\\No\\Such", "--out", "{D}\\Work\\out", "--", "{subject}", "fail", "0", "{D}\\Work"},
     "corvane-capture: HKLM\\Software\\No\\Such does not exist.\n"},
    {{"--fs", "{D}\\Work", "--out", "{D}\\Work\\out", "--", "no-such-program", "fail"},
     "corvane-capture: no-such-program: there is no such program.\n"},
    {{"--fs", "{D}\\Work", "--out", "{D}\\Work\\out", "{subject}", "fail", "0", "{D}\\Work"},
     kUsage},
};

class CorvaneCapture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(FixtureDriveLetter(), 0) << "run through scripts/with-drive";
        Clean();
        ASSERT_TRUE(MakeFolder(Drive() + "\\Work"));
        ASSERT_TRUE(MakeFile(Drive() + "\\Work\\kept.txt", "kept"));
        HKEY key;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), 0);
        ::RegCloseKey(key);
    }
    void TearDown() override { Clean(); }
    void Clean()
    {
        ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKey);
        ASSERT_TRUE(RemoveTree(Drive() + "\\Work"));
    }
};

ChildRun Capture(const std::vector<std::string>& args)
{
    std::vector<std::string> filled;
    for (const std::string& arg : args)
        filled.push_back(Fill(arg));
    return RunChild(CORVANE_CAPTURE_EXE, filled, 4 * kPatienceMs);
}

TEST_F(CorvaneCapture, ReportsWhatTheProgramAndItsChildrenChangedAndNothingOfItsOwn)
{
    for (const CaptureCase& c : kCases) {
        SCOPED_TRACE(c.args[0]);
        SetUp();
        std::vector<std::string> args = c.options;
        args.insert(args.end(), kPlaces.begin(), kPlaces.end());
        args.push_back("--");
        args.push_back("{subject}");
        args.insert(args.end(), c.args.begin(), c.args.end());
        ChildRun run = Capture(args);
        EXPECT_EQ(run.code, c.code);
        std::string err = WithoutCr(run.err);
        EXPECT_TRUE(std::regex_match(err, std::regex(kSteps + Fill(c.err) + kSteps))) << err;
        std::string out = FileText(Drive() + "\\Work\\out\\report.txt");
        EXPECT_EQ(WithoutCr(run.out), out);
        EXPECT_TRUE(std::regex_search(out, std::regex("^Capture of: .*\n" + Fill(c.report) + "\nSteps:\n")))
            << out;
        EXPECT_TRUE(std::regex_search(FileText(Drive() + "\\Work\\out\\report.json"), std::regex(c.json)));
        EXPECT_TRUE(FileExists(Drive() + "\\Work\\out\\registry-after.tvrec"));
        if (c.args[0] == "parent") {
            // The undo patch, imported, takes the child's value away again.
            ASSERT_TRUE(ValueExists("Child"));
            DWORD code = 0;
            RunProgram("C:\\windows\\regedit.exe", "/s \"" + Drive() + "\\Work\\out\\undo.reg\"", code);
            EXPECT_FALSE(ValueExists("Child"));
            // A second capture into the same folder would mix two.
            ChildRun again = Capture(args);
            EXPECT_EQ(again.code, 2u);
            EXPECT_EQ(WithoutCr(again.err),
                      Fill("corvane-capture: {D}\\Work\\out already holds fs-before.tvrec of an earlier capture; give "
                           "another folder.\n"));
        }
    }
}

TEST_F(CorvaneCapture, RefusesBadPlacesAndAMissingProgramBeforeAnythingRuns)
{
    for (const RefusedCase& c : kRefused) {
        SCOPED_TRACE(c.err);
        ChildRun run = Capture(c.args);
        EXPECT_EQ(run.code, 2u);
        EXPECT_EQ(WithoutCr(run.err), Fill(c.err));
        EXPECT_EQ(run.out, "");
        EXPECT_FALSE(FileExists(Drive() + "\\Work\\out"));
        EXPECT_FALSE(FileExists(Drive() + "\\Work\\failed.txt"));
    }
}

// The demonstration installer run silently: exactly its folder and its keys,
// and the undo patch, imported, takes its keys away again.
TEST_F(CorvaneCapture, FindsExactlyWhatTheDemonstrationInstallerWrites)
{
    ASSERT_TRUE(RemoveDemo());
    ChildRun run = Capture({"--fs", "C:\\Program Files", "--reg", "HKLM\\Software", "--out", "{D}\\Work\\demo", "--",
                            DEMO_INSTALLER_EXE, "/S"});
    EXPECT_EQ(run.code, 1u) << run.err;
    std::string out = WithoutCr(run.out);
    EXPECT_NE(out.find("The program ended with exit code 0.\n\n"
                       "File system (the chosen folders):\n"
                       "compared:  C:\\Program Files\\\n"
                       "only in 2: C:\\Program Files\\Pellix Demo\\ (holding 1 folders, 5 files)\n\n"
                       "Registry (the chosen keys):\n"
                       "compared:  HKEY_LOCAL_MACHINE\\Software\\\n"
                       "only in 2: HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\PellixDemo\\ "
                       "(holding 0 keys, 9 values)\n"
                       "only in 2: HKEY_LOCAL_MACHINE\\Software\\Pellix\\ (holding 2 keys, 8 values)\n"
                       "Registry patches: "),
              std::string::npos)
        << out;
    DWORD code = 0;
    RunProgram("C:\\windows\\regedit.exe", "/s \"" + Drive() + "\\Work\\demo\\undo.reg\"", code);
    for (const char* key : kDemoKeys)
        EXPECT_FALSE(MachineKeyExists(key)) << key;
    EXPECT_TRUE(RemoveDemo());
}

// Without administrator rights, corvane-snap and corvane-capture say that
// what needs them is listed as not accessible: on standard error and as the
// last line of the results text.
TEST_F(CorvaneCapture, WithoutAdministratorRightsTheProgramsSaySo)
{
    HANDLE token = TokenWithoutAdministrators();
    ASSERT_NE(token, nullptr);
    const std::string note =
        "Note - Not run as administrator: folders and keys that only administrators may read are listed as not "
        "accessible.\n";
    ChildRun snap = RunChild(CORVANE_SNAP_EXE, {"reg", "HKLM\\" + std::string(kKey), Drive() + "\\Work\\k.tvrec"},
                             4 * kPatienceMs, token);
    EXPECT_EQ(snap.code, 0u);
    EXPECT_EQ(WithoutCr(snap.err), "corvane-snap: " + note);
    EXPECT_EQ(WithoutCr(snap.out).substr(WithoutCr(snap.out).size() - note.size()), note);
    ChildRun capture = RunChild(CORVANE_CAPTURE_EXE,
                                {"--fs", Drive() + "\\Work", "--out", Drive() + "\\Work\\out", "--", CAPTURE_SUBJECT_EXE,
                                 "fail", "0", Drive() + "\\Work"},
                                4 * kPatienceMs, token);
    ::CloseHandle(token);
    EXPECT_EQ(capture.code, 1u);
    EXPECT_EQ(WithoutCr(capture.err).find("corvane-capture: " + note), 0u) << capture.err;
    EXPECT_NE(FileText(Drive() + "\\Work\\out\\report.txt").find("\n" + note), std::string::npos);
}

// What each command-line program tells of itself: its options in --help, and
// a manifest that runs it as invoked, without virtualization.
TEST(CommandLinePrograms, TellTheirOptionsAndCarryAnAsInvokerManifest)
{
    for (const char* exe : {CORVANE_CAPTURE_EXE, CORVANE_SNAP_EXE, CORVANE_DIFF_EXE}) {
        SCOPED_TRACE(exe);
        ChildRun help = RunChild(exe, {"--help"}, kPatienceMs);
        EXPECT_EQ(help.code, 0u);
        std::string text = WithoutCr(help.out);
        EXPECT_EQ(text.find("usage: corvane-"), 0u) << text;
        EXPECT_NE(text.find("\nExit code: 0 "), std::string::npos) << text;
        EXPECT_NE(text.find("\"Corvane command-line reference\" in README.html"), std::string::npos) << text;

        std::string path = std::string("Z:") + exe;
        HMODULE image = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(image, nullptr);
        HRSRC found = ::FindResourceA(image, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
        ASSERT_NE(found, nullptr);
        std::string manifest(static_cast<const char*>(::LockResource(::LoadResource(image, found))),
                             ::SizeofResource(image, found));
        EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"),
                  std::string::npos);
        ::FreeLibrary(image);
    }
}

}  // namespace
