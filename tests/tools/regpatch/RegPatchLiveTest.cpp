// Registry patches for real, on the prefix's registry: snapshots around
// changes of every kind below two test keys, corvane-diff.exe as a child
// process for the undo and the redo, the prefix's own regedit.exe importing
// them, and snapshots after each import that the engine finds equal to the
// state the patch was to bring back, below the test keys. A value whose
// string data lack their zero byte is refused by name, while the patch that
// deletes it is written and does so.
#include "compare/RegMine.h"
#include "compare/TreeListing.h"
#include "snapshot/StdioFile.h"
#include "tests/snapshot/RegSnapTesting.h"
#include "tests/support/Recorders.h"
#include "tests/support/WaitFor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const char kTestKey[] = "Corvane Patch Test";
const std::string kMachineKey = std::string("Software\\") + kTestKey;
const std::string kUsersKey = std::string(".DEFAULT\\Software\\") + kTestKey;

std::string Bytes(std::initializer_list<int> bytes)
{
    std::string s;
    for (int b : bytes)
        s += static_cast<char>(b);
    return s;
}

std::string Counting(int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += static_cast<char>(i * 7);
    return s;
}

// Sets, deletes and creates below one key, failing the test on any error.
class CKey {
public:
    CKey(HKEY root, const std::string& path)
    {
        EXPECT_EQ(::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_h,
                                    nullptr),
                  ERROR_SUCCESS)
            << path;
    }
    ~CKey()
    {
        if (m_h)
            ::RegCloseKey(m_h);
    }
    CKey(const CKey&) = delete;
    CKey& operator=(const CKey&) = delete;

    // The first count bytes of data, all of them when count is npos.
    CKey& Set(const std::string& name, DWORD type, const std::string& data, size_t count = std::string::npos)
    {
        EXPECT_EQ(::RegSetValueExA(m_h, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                                   static_cast<DWORD>(std::min(count, data.size()))),
                  ERROR_SUCCESS)
            << name;
        return *this;
    }
    CKey& Delete(const std::string& name)
    {
        EXPECT_EQ(::RegDeleteValueA(m_h, name.c_str()), ERROR_SUCCESS) << name;
        return *this;
    }
    void DeleteKey(const std::string& name) { EXPECT_EQ(::RegDeleteKeyA(m_h, name.c_str()), ERROR_SUCCESS) << name; }

private:
    HKEY m_h = nullptr;
};

const std::string kZ("\0", 1);

// The state before: values of every type, subkeys to keep, change and remove.
void MakeFirstState()
{
    CKey(HKEY_LOCAL_MACHINE, kMachineKey)
        .Set("", REG_SZ, "the default" + kZ)
        .Set("sz", REG_SZ, "say \"hi\" C:\\dir\\" + kZ)
        .Set("sz lines", REG_SZ, "one\r\ntwo" + kZ)
        .Set("expand", REG_EXPAND_SZ, "%ProgramFiles%\\Pellix" + kZ)
        .Set("binary", REG_BINARY, Counting(100))
        .Set("dword", REG_DWORD, Bytes({1, 0, 0, 0}))
        .Set("multi", REG_MULTI_SZ, "one" + kZ + "two" + kZ + kZ)
        .Set("qword", REG_QWORD, Bytes({1, 2, 3, 4, 5, 6, 7, 8}))
        .Set("none", REG_NONE, Bytes({9}))
        .Set("big type", 0x20000, Bytes({1, 2}))
        .Set("retyped", REG_BINARY, Bytes({1, 2}))
        .Set("same data, new type", REG_BINARY, Bytes({7, 0, 0, 0}))
        .Set("gone sz", REG_SZ, "bye" + kZ)
        .Set("gone \"quoted\\\" name", REG_DWORD, Bytes({2, 0, 0, 0}))
        .Set("gone binary", REG_BINARY, Counting(40));
    CKey(HKEY_LOCAL_MACHINE, kMachineKey + "\\Stays").Set("kept", REG_SZ, "kept" + kZ).Set("changed", REG_DWORD, Bytes({1, 0, 0, 0}));
    CKey(HKEY_LOCAL_MACHINE, kMachineKey + "\\Removed").Set("", REG_SZ, "removed" + kZ).Set("n", REG_QWORD, Counting(8));
    CKey(HKEY_LOCAL_MACHINE, kMachineKey + "\\Removed\\Deeper").Set("multi", REG_MULTI_SZ, "a" + kZ + kZ);
    CKey(HKEY_USERS, kUsersKey).Set("Run", REG_SZ, "a.exe" + kZ);
}

// The changes: values of every type changed, added and deleted, keys
// removed and added, names with quotes, backslashes and brackets.
void MakeSecondState()
{
    CKey main(HKEY_LOCAL_MACHINE, kMachineKey);
    main.Set("", REG_SZ, "the new default" + kZ)
        .Set("sz", REG_SZ, "\xE9t\xE9 \xFF\x81 \"x\"" + kZ)
        .Set("sz lines", REG_SZ, "one\ntwo\r" + kZ)
        .Set("expand", REG_EXPAND_SZ, "%SystemRoot%" + kZ)
        .Set("binary", REG_BINARY, Counting(99))
        .Set("dword", REG_DWORD, Bytes({0xFF, 0xFF, 0xFF, 0xFF}))
        .Set("multi", REG_MULTI_SZ, "one" + kZ + kZ)
        .Set("qword", REG_QWORD, Bytes({8, 7, 6, 5, 4, 3, 2, 1}))
        .Set("none", REG_NONE, "")
        .Set("big type", 0x20000, Bytes({3}))
        .Set("retyped", REG_DWORD, Bytes({5, 0, 0, 0}))
        .Set("same data, new type", REG_DWORD, Bytes({7, 0, 0, 0}))
        .Delete("gone sz")
        .Delete("gone \"quoted\\\" name")
        .Delete("gone binary")
        .Set("new empty sz", REG_SZ, "")
        .Set("new inner zero", REG_SZ, "a" + kZ + "b" + kZ)
        .Set("new short dword", REG_DWORD, Bytes({1, 2, 3}))
        .Set("new link", REG_LINK, Bytes({'a', 0, 'b'}))
        .Set("new resource list", REG_RESOURCE_LIST, Counting(30))
        .Set("new big endian", REG_DWORD_BIG_ENDIAN, Bytes({0, 0, 0, 1}))
        .Set("new empty none", REG_NONE, "")
        .Set("@", REG_SZ, "named at" + kZ)
        .Set(" a=b;c]\t", REG_SZ, "odd name" + kZ)
        .Set("back\\slash", REG_MULTI_SZ, kZ + kZ);
    CKey(HKEY_LOCAL_MACHINE, kMachineKey + "\\Stays").Set("changed", REG_DWORD, Bytes({2, 0, 0, 0}));
    CKey(HKEY_LOCAL_MACHINE, kMachineKey + "\\Removed").DeleteKey("Deeper");
    main.DeleteKey("Removed");
    CKey(HKEY_LOCAL_MACHINE, kMachineKey + "\\Added\\Inner").Set("", REG_DWORD, Bytes({9, 0, 0, 0})).Set("text", REG_SZ, "x" + kZ);
    CKey(HKEY_LOCAL_MACHINE, kMachineKey + "\\key ] bracket").Set("v", REG_BINARY, "");
    CKey(HKEY_LOCAL_MACHINE, kMachineKey + "\\ lead and trail ");
    CKey(HKEY_LOCAL_MACHINE, kMachineKey + "\\Sch\xFCssel").Set("Gr\xF6\xDF" "e", REG_SZ, "gro\xDF" + kZ);
    CKey(HKEY_USERS, kUsersKey).Set("Run", REG_SZ, "b.exe" + kZ);
    CKey(HKEY_USERS, kUsersKey + "\\New").Set("when", REG_QWORD, Counting(8));
}

void RemoveTestKeys()
{
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kMachineKey.c_str());
    ::RegDeleteTreeA(HKEY_USERS, kUsersKey.c_str());
}

// A snapshot of the whole registry with the program's own walker.
bool TakeSnapshot(const std::string& path)
{
    CRecordingMessages messages;
    CRecordingProgress progress;
    CRecordedRegSnap snap(path, nullptr, &progress, FALSE, &messages);
    snap.Run();
    // The question and the note, no error; then the results.
    EXPECT_EQ(messages.shown.size(), 2u) << messages.shown.back().text;
    return messages.shown.size() == 2 && snap.results.size() == 1;
}

struct ProgramRun {
    DWORD code = 99;
    std::string out, err;
};

std::string FileText(const std::string& path)
{
    std::vector<uint8_t> bytes = ReadWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
}

// A program run to its end, its standard output and error kept in files.
ProgramRun RunProgram(const std::string& exe, const std::string& arguments)
{
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    std::string outPath = RegTempPath("corvane-patch-out.txt"), errPath = RegTempPath("corvane-patch-err.txt");
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = ::CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS, 0, nullptr);
    si.hStdError = ::CreateFileA(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS, 0, nullptr);
    std::string command = "\"" + exe + "\" " + arguments;
    PROCESS_INFORMATION pi{};
    ProgramRun run;
    if (::CreateProcessA(exe.empty() ? nullptr : exe.c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr,
                         nullptr, &si, &pi)) {
        if (::WaitForSingleObject(pi.hProcess, 4 * kPatienceMs) != WAIT_OBJECT_0)
            ::TerminateProcess(pi.hProcess, 98);
        ::GetExitCodeProcess(pi.hProcess, &run.code);
        ::CloseHandle(pi.hProcess);
        ::CloseHandle(pi.hThread);
    }
    ::CloseHandle(si.hStdOutput);
    ::CloseHandle(si.hStdError);
    run.out = FileText(outPath);
    run.err = FileText(errPath);
    ::DeleteFileA(outPath.c_str());
    ::DeleteFileA(errPath.c_str());
    return run;
}

ProgramRun RunDiff(const std::string& arguments)
{
    std::string exe = "Z:" CORVANE_DIFF_EXE;
    std::replace(exe.begin(), exe.end(), '/', '\\');
    return RunProgram(exe, arguments);
}

// The prefix's registry editor imports the file silently.
DWORD Import(const std::string& regFile)
{
    char windows[MAX_PATH];
    UINT n = ::GetWindowsDirectoryA(windows, MAX_PATH);
    return RunProgram(std::string(windows, n) + "\\regedit.exe", "/s \"" + regFile + "\"").code;
}

bool SaveText(const std::string& path, const std::string& text)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f && std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return f && std::fclose(f) == 0 && ok;
}

// What the engine finds different below the test keys between two snapshot
// files: a line per entry left in either pruned tree there, none when equal.
std::string DifferencesBelowTestKeys(const std::string& path1, const std::string& path2)
{
    CRecordingMessages messages;
    CRegMine mine(messages);
    CStdioFile file1, file2;
    if (!file1.OpenRead(path1) || !file2.OpenRead(path2) || !mine.Compare(nullptr, file1, file2))
        return "comparison failed";
    std::string text;
    for (const CCompareNode* root : {mine.GetRoot1(), mine.GetRoot2()}) {
        for (std::vector<std::string> names : {std::vector<std::string>{"HKEY_LOCAL_MACHINE", "Software", kTestKey},
                                               {"HKEY_USERS", ".DEFAULT", "Software", kTestKey}}) {
            const CCompareNode* node = root;
            for (const std::string& name : names) {
                ListPosition at = node ? node->FindNode(CCompareName(name)) : 0;
                node = at ? node->Nodes().GetAt(at) : nullptr;
            }
            if (node)
                WalkTree(
                    *node,
                    [&](const CCompareNode& key, unsigned) {
                        text += (root == mine.GetRoot1() ? "1 " : "2 ") + EntryPath(key) + "\\\n";
                        return true;
                    },
                    [&](const CCompareItem& value, unsigned) {
                        text += (root == mine.GetRoot1() ? "1 " : "2 ") + EntryPath(value) + "\n";
                    });
        }
    }
    return text;
}

bool EveryLineEndsInCrLf(const std::string& text)
{
    size_t lineFeeds = std::count(text.begin(), text.end(), '\n');
    size_t crLfs = 0;
    for (size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2)
        ++crLfs;
    return lineFeeds > 0 && crLfs == lineFeeds && text.back() == '\n';
}

class RegPatchLive : public ::testing::Test {
protected:
    void SetUp() override { RemoveTestKeys(); }
    void TearDown() override
    {
        RemoveTestKeys();
        for (const std::string& path : {snap[0], snap[1], snap[2], snap[3], undoFile, redoFile})
            ::DeleteFileA(path.c_str());
    }

    std::string snap[4] = {RegTempPath("corvane-patch-1.tvrec"), RegTempPath("corvane-patch-2.tvrec"),
                           RegTempPath("corvane-patch-3.tvrec"), RegTempPath("corvane-patch-4.tvrec")};
    std::string undoFile = RegTempPath("corvane-undo.reg");
    std::string redoFile = RegTempPath("corvane-redo.reg");
};

TEST_F(RegPatchLive, UndoAndRedoImportedByTheRegistryEditor)
{
    MakeFirstState();
    ASSERT_TRUE(TakeSnapshot(snap[0]));
    MakeSecondState();
    ASSERT_TRUE(TakeSnapshot(snap[1]));
    ASSERT_NE(DifferencesBelowTestKeys(snap[0], snap[1]), "");

    const std::string pair = "\"" + snap[0] + "\" \"" + snap[1] + "\"";
    ProgramRun undo = RunDiff("--format reg --reverse " + pair);
    ASSERT_EQ(undo.code, 1u) << undo.err;
    EXPECT_EQ(undo.err, "");
    EXPECT_EQ(undo.out.compare(0, 12, "REGEDIT4\r\n\r\n"), 0);
    EXPECT_TRUE(EveryLineEndsInCrLf(undo.out));
    EXPECT_NE(undo.out.find("\r\n[HKEY_LOCAL_MACHINE\\Software\\Corvane Patch Test\\Removed\\Deeper]\r\n"
                            "\"multi\"=hex(7):61,00,00\r\n"),
              std::string::npos);
    ProgramRun redo = RunDiff("--format reg " + pair);
    ASSERT_EQ(redo.code, 1u) << redo.err;
    EXPECT_TRUE(EveryLineEndsInCrLf(redo.out));
    EXPECT_NE(redo.out.find("\r\n[-HKEY_LOCAL_MACHINE\\Software\\Corvane Patch Test\\Removed]\r\n"),
              std::string::npos);
    ASSERT_TRUE(SaveText(undoFile, undo.out));
    ASSERT_TRUE(SaveText(redoFile, redo.out));

    ASSERT_EQ(Import(undoFile), 0u);
    ASSERT_TRUE(TakeSnapshot(snap[2]));
    EXPECT_EQ(DifferencesBelowTestKeys(snap[0], snap[2]), "");

    ASSERT_EQ(Import(redoFile), 0u);
    ASSERT_TRUE(TakeSnapshot(snap[3]));
    EXPECT_EQ(DifferencesBelowTestKeys(snap[1], snap[3]), "");
}

TEST_F(RegPatchLive, StringDataWithoutTheirZeroAreRefusedAndCanBeDeleted)
{
    CKey(HKEY_LOCAL_MACHINE, kMachineKey).Set("kept", REG_SZ, "kept" + kZ);
    ASSERT_TRUE(TakeSnapshot(snap[0]));
    // Two bytes of "abc": the registry adds a zero only to a string whose
    // next byte is one, taking it for a forgotten terminator.
    CKey(HKEY_LOCAL_MACHINE, kMachineKey).Set("no zero", REG_SZ, "abc", 2);
    ASSERT_TRUE(TakeSnapshot(snap[1]));

    const std::string pair = "\"" + snap[0] + "\" \"" + snap[1] + "\"";
    ProgramRun refused = RunDiff("--format reg " + pair);
    EXPECT_EQ(refused.code, 2u);
    EXPECT_EQ(refused.out, "");
    // Standard error is text: its line ends are CRLF on Windows.
    EXPECT_EQ(refused.err,
              "corvane-diff: cannot write the registry patch: a registry file cannot carry these "
              "entries exactly:\r\n  value HKEY_LOCAL_MACHINE\\Software\\Corvane Patch Test\\no zero: "
              "REG_SZ data without a final zero byte, which an import would add\r\n");

    ProgramRun undo = RunDiff("--format reg --reverse " + pair);
    ASSERT_EQ(undo.code, 1u) << undo.err;
    EXPECT_NE(undo.out.find("[HKEY_LOCAL_MACHINE\\Software\\Corvane Patch Test]\r\n\"no zero\"=-\r\n"),
              std::string::npos);
    ASSERT_TRUE(SaveText(undoFile, undo.out));
    ASSERT_EQ(Import(undoFile), 0u);
    ASSERT_TRUE(TakeSnapshot(snap[2]));
    EXPECT_EQ(DifferencesBelowTestKeys(snap[0], snap[2]), "");
}

}  // namespace
