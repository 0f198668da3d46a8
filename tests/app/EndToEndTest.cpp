// corvane.exe started as a user starts it and driven from outside through its
// command ids and control ids: a file-system snapshot of a mapped drive taken
// through the menu command, the setup dialog, the question and the results
// dialog, with Create, Exit and the close box tried while it runs; the
// snapshot file checked against the drive's contents. Two snapshots of each
// kind compared in the window; the registry pair taken by the program itself
// around the test's own changes, and read back from the trees with their
// pictures and from a value's viewer.
#include "framework/NamedSemaphore.h"
#include "framework/Wnd.h"
#include "res/resource.h"
#include "snapshot/FSSnap.h"
#include "snapshot/RegSnap.h"
#include "views/RegView.h"
#include "operation/ProgressMessages.h"
#include "tests/app/ProgramUnderTest.h"
#include "tests/app/RemoteWindows.h"
#include "tests/compare/FSSnapBuilder.h"
#include "tests/support/DriveFixture.h"
#include "tests/support/SnapshotFiles.h"
#include "tests/support/WaitFor.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

void Compare(const FolderRecord& expected, const FolderRecord& actual, const std::string& path)
{
    SCOPED_TRACE(path);
    EXPECT_EQ(actual.name, expected.name);
    ASSERT_EQ(actual.files.size(), expected.files.size());
    for (size_t i = 0; i < expected.files.size(); ++i) {
        EXPECT_EQ(actual.files[i].name, expected.files[i].name);
        EXPECT_EQ(actual.files[i].creationTime, expected.files[i].creationTime);
        EXPECT_EQ(actual.files[i].lastWriteTime, expected.files[i].lastWriteTime);
        EXPECT_EQ(actual.files[i].size, expected.files[i].size);
    }
    ASSERT_EQ(actual.folders.size(), expected.folders.size());
    for (size_t i = 0; i < expected.folders.size(); ++i)
        Compare(expected.folders[i], actual.folders[i], path + "\\" + expected.folders[i].name);
}

void Totals(const FolderRecord& f, uint32_t& files, uint32_t& folders)
{
    ++folders;
    files += static_cast<uint32_t>(f.files.size());
    for (const auto& sub : f.folders)
        Totals(sub, files, folders);
}

// The program's two named semaphores, made by another process with no count
// to take, as a copy of the program killed while it held them leaves them.
struct HeldLocks {
    CNamedSemaphore progress, operation;
    HeldLocks() : progress("snapprogress", 0, 1), operation("corvane_mainframe_operation", 0, 1) {}
};

struct RunCase {
    const char* name;
    bool locksHeldElsewhere;
};

class EndToEnd : public ::testing::TestWithParam<RunCase> {};

TEST_P(EndToEnd, AFileSystemSnapshotOfAMappedDriveThroughTheMenu)
{
    std::unique_ptr<HeldLocks> held;
    if (GetParam().locksHeldElsewhere) {
        held = std::make_unique<HeldLocks>();
        ASSERT_TRUE(held->progress.IsOpen() && held->operation.IsOpen());
        ASSERT_FALSE(held->progress.Lock(0));
        ASSERT_FALSE(held->operation.Lock(0));
    }
    char drive = FixtureDriveLetter();
    ASSERT_NE(drive, 0) << "run through tests/app/listed-drive, which maps the drive";
    std::string root = std::string(1, drive) + ":";
    ASSERT_TRUE(MakeFile(root + "\\readme.txt", "Corvane end to end"));
    for (const char* folder : {"\\Program Files", "\\Program Files\\Pellix", "\\Empty folder"})
        ASSERT_TRUE(MakeFolder(root + folder) || FileExists(root + folder)) << folder;
    ASSERT_TRUE(MakeFile(root + "\\Program Files\\Pellix\\app.exe", std::string(4096, 'x')));
    ASSERT_TRUE(MakeFile(root + "\\Program Files\\Pellix\\app.ini", "[app]\r\n"));

    std::string snapshot = TempFilePath("corvane end to end.tvrec");
    ::DeleteFileA(snapshot.c_str());

    CProgram program;
    ASSERT_TRUE(program.Start(ProgramPath())) << ProgramPath();
    DWORD pid = program.Pid();
    HWND frame = WaitForWindow(pid, MainFrameWindow());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(GetWindowTextOf(frame), "Corvane");

    ::PostMessageA(frame, WM_COMMAND, ID_SNAPSHOT_CREATE, 0);
    HWND setup = WaitForWindow(pid, DialogWith("Snap Shot Setup", IDC_SETUP_PATH));
    ASSERT_NE(setup, nullptr);
    ASSERT_TRUE(FillInSetup(setup, root, snapshot)) << "the mapped drive is not in the drive list";
    PressRemote(setup, IDOK);
    ASSERT_TRUE(WaitGone(setup));

    // The question comes while the progress window is up.
    HWND question = WaitForWindow(pid, DialogWith("Corvane", 0xFFFF));
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(SentText(::GetDlgItem(question, 0xFFFF)), kFSSnapQuestion);
    HWND progress = WaitForWindow(pid, DialogWith("Corvane", IDC_PROGRESS_STATUS));
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(FileExists(snapshot));  // created, empty, by the setup dialog
    // A second Create and Exit while the snapshot runs do nothing: once the
    // frame has served them, no setup dialog is there, not even a hidden one.
    ::PostMessageA(frame, WM_COMMAND, ID_SNAPSHOT_CREATE, 0);
    ::PostMessageA(frame, WM_COMMAND, ID_APP_EXIT, 0);
    ASSERT_TRUE(FrameServedPosted(frame));
    EXPECT_TRUE(FindWindows(pid, DialogWith("Snap Shot Setup"), true).empty());
    EXPECT_TRUE(::IsWindow(frame));
    PressRemote(question, IDYES);

    HWND results = WaitForWindow(pid, DialogWith("Results", IDC_RESULTS_TEXT), 2 * kPatienceMs);
    ASSERT_NE(results, nullptr);
    std::string text = SentText(::GetDlgItem(results, IDC_RESULTS_TEXT));
    EXPECT_TRUE(::IsWindowVisible(progress));
    EXPECT_EQ(SentText(::GetDlgItem(progress, IDC_PROGRESS_TITLE)), "Creating snap shot of file system...");
    // While the results are up, the bar is full.
    HWND bar = ::FindWindowExA(progress, nullptr, "CorvaneProgressBar", nullptr);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(::SendMessageA(bar, WM_BAR_GETPOS, 0, 0), 100);
    // The close box while the snapshot runs: the frame stays until the
    // operation has ended, then the program ends by itself.
    ::PostMessageA(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(FrameServedPosted(frame));
    EXPECT_TRUE(::IsWindow(frame));
    EXPECT_TRUE(::IsWindowVisible(results));
    PressRemote(results, IDCANCEL);
    ASSERT_TRUE(WaitGone(results));
    EXPECT_TRUE(WaitGone(progress));
    EXPECT_EQ(::WaitForSingleObject(program.Process(), kPatienceMs), WAIT_OBJECT_0);
    DWORD code = 99;
    ::GetExitCodeProcess(program.Process(), &code);
    EXPECT_EQ(code, 0u);

    // readme.txt, app.exe and app.ini in the root, Program Files, Pellix and Empty folder.
    EXPECT_EQ(text,
              "OPERATION SUCCESSFUL.\r\n\r\n3 files found\r\n4 directories found\r\n"
              "0 directories ignored\r\n\r\nThe following directories could not be accessed "
              "and contents were ignored:\r\n");
    FolderRecord expected = ListTree(root, root, {});
    uint32_t files = 0, folders = 0;
    Totals(expected, files, folders);
    EXPECT_EQ(files, 3u);
    EXPECT_EQ(folders, 4u);

    FSSnapFile file;
    std::string why;
    std::vector<uint8_t> bytes = ReadWholeFile(snapshot);
    ASSERT_TRUE(ParseFSSnap(bytes, file, why)) << why;
    EXPECT_EQ(file.version, 174);
    EXPECT_EQ(file.drive, static_cast<uint8_t>(drive));
    EXPECT_EQ(file.folderCount, folders);
    // After the records, the window's appendix: the whole drive, by corvane.
    CSnapAppendix appendix;
    ASSERT_TRUE(ReadAppendixAt(bytes, file.bytesUsed, appendix));
    EXPECT_TRUE(appendix.Whole());
    EXPECT_EQ(appendix.program, "corvane");
    Compare(expected, file.root, root);

    ::DeleteFileA(snapshot.c_str());
}

// Writes a snapshot of a small drive with the program's own writer.
std::string SnapshotFile(const char* name, uint32_t bootSize, bool withNewFile)
{
    const uint64_t time = 130698651090000000ull;
    TFolder drive{"C:", {TFile{"boot.ini", bootSize, time, time}}, {TFolder{"Same", {TFile{"a", 1, time, time}}, {}}}};
    if (withNewFile)
        drive.files.push_back(TFile{"new.txt", 3, time, time});
    CMemoryFile file = WriteSnapshot(drive);
    std::string path = TempFilePath(name);
    SaveSnapshot(path, file);
    return path;
}

TEST(EndToEndCompare, TwoFileSystemSnapshotsComparedThroughTheMenu)
{
    std::string before = SnapshotFile("corvane e2e before.tvrec", 10, false);
    std::string after = SnapshotFile("corvane e2e after.tvrec", 12, true);
    CProgram program;
    ASSERT_TRUE(program.Start(ProgramPath())) << ProgramPath();
    DWORD pid = program.Pid();
    HWND frame = WaitForWindow(pid, MainFrameWindow());
    ASSERT_NE(frame, nullptr);

    ::PostMessageA(frame, WM_COMMAND, ID_COMPARE_FILESYSTEM, 0);
    // The progress window is up while the files are chosen.
    HWND progress = WaitForWindow(pid, DialogWith("Corvane", IDC_PROGRESS_STATUS));
    ASSERT_NE(progress, nullptr);
    ASSERT_TRUE(ChooseInOpenDialog(pid, "Select Snap Shot 1", before));
    ASSERT_TRUE(ChooseInOpenDialog(pid, "Select Snap Shot 2", after));
    EXPECT_TRUE(WaitGone(progress));

    // Both trees in the frame, each with its root entry only shown; the
    // entries that differ are all there: root, C:, boot.ini on the left; and
    // new.txt besides on the right.
    HWND left = FindCompareTree(frame, true), right = FindCompareTree(frame, false);
    ASSERT_NE(left, nullptr);
    ASSERT_NE(right, nullptr);
    EXPECT_EQ(::SendMessageA(left, TVM_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(::SendMessageA(right, TVM_GETCOUNT, 0, 0), 4);
    EXPECT_TRUE(::IsZoomed(frame));
    // (The menu bar of another process cannot be read under Wine; the frame's
    // own test checks that menu 153 comes with the results.)

    ::PostMessageA(frame, WM_COMMAND, ID_APP_EXIT, 0);
    EXPECT_EQ(::WaitForSingleObject(program.Process(), kPatienceMs), WAIT_OBJECT_0);
    ::DeleteFileA(before.c_str());
    ::DeleteFileA(after.c_str());
}

// A key of the test, with its values set from text.
class CTestKey {
public:
    CTestKey(HKEY parent, const std::string& name)
    {
        m_ok = ::RegCreateKeyExA(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_h, nullptr) ==
               ERROR_SUCCESS;
    }
    ~CTestKey()
    {
        if (m_ok)
            ::RegCloseKey(m_h);
    }
    CTestKey(const CTestKey&) = delete;
    CTestKey& operator=(const CTestKey&) = delete;
    bool Set(const char* name, DWORD type, const std::string& data)
    {
        return m_ok && ::RegSetValueExA(m_h, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                                        static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
    }

private:
    HKEY m_h = nullptr;
    bool m_ok = false;
};

const char kTestKeyPath[] = "Software\\Corvane End To End";

// The test's key goes again, whatever became of the test.
struct RemovedTestKey {
    RemovedTestKey() { ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kTestKeyPath); }
    ~RemovedTestKey() { ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kTestKeyPath); }
};

// A registry snapshot into path through the menu, the setup dialog, the
// question, the note on the roots left out and the results dialog.
void TakeRegistrySnapshot(DWORD pid, HWND frame, const std::string& path)
{
    ::PostMessageA(frame, WM_COMMAND, ID_SNAPSHOT_CREATE, 0);
    HWND setup = WaitForWindow(pid, DialogWith("Snap Shot Setup", IDC_SETUP_PATH));
    ASSERT_NE(setup, nullptr);
    ASSERT_TRUE(FillInSetup(setup, "", path));
    PressRemote(setup, IDOK);
    ASSERT_TRUE(WaitGone(setup));
    for (const auto& [text, button] : {std::pair{kRegSnapQuestion, IDYES}, std::pair{kRegSnapIgnoredRootsNote, IDOK}}) {
        HWND box = WaitForWindow(pid, [&](HWND h) {
            return DialogWith("Corvane", 0xFFFF)(h) && SentText(::GetDlgItem(h, 0xFFFF)) == text;
        });
        ASSERT_NE(box, nullptr) << text;
        PressRemote(box, button);
        ASSERT_TRUE(WaitGone(box));
    }
    HWND results = WaitForWindow(pid, DialogWith("Results", IDC_RESULTS_TEXT), 2 * kPatienceMs);
    ASSERT_NE(results, nullptr);
    EXPECT_EQ(SentText(::GetDlgItem(results, IDC_RESULTS_TEXT)).rfind("OPERATION SUCCESSFUL", 0), 0u);
    PressRemote(results, IDCANCEL);
    ASSERT_TRUE(WaitGone(results));
    // The snapshot command has ended once its progress window is gone.
    if (HWND progress = FindShownWindow(pid, DialogWith("Corvane", IDC_PROGRESS_STATUS))) {
        ASSERT_TRUE(WaitGone(progress));
    }
    ASSERT_TRUE(FrameServedPosted(frame));
}

std::string Bytes(std::initializer_list<int> bytes)
{
    std::string s;
    for (int b : bytes)
        s += static_cast<char>(b);
    return s;
}

TEST(EndToEndRegistry, TwoRegistrySnapshotsTakenAroundChangesAndComparedThroughTheMenu)
{
    RemovedTestKey removed;
    {
        CTestKey key(HKEY_LOCAL_MACHINE, kTestKeyPath);
        ASSERT_TRUE(key.Set("", REG_SZ, std::string("1.0", 4)));
        ASSERT_TRUE(key.Set("Count", REG_DWORD, Bytes({1, 0, 0, 0})));
        ASSERT_TRUE(key.Set("Big", REG_DWORD_BIG_ENDIAN, Bytes({0, 0, 0, 1})));
        ASSERT_TRUE(key.Set("Blob", REG_BINARY, Bytes({1, 2, 3})));
        ASSERT_TRUE(key.Set("Quad", REG_QWORD, Bytes({1, 0, 0, 0, 0, 0, 0, 0})));
        ASSERT_TRUE(key.Set("List", REG_MULTI_SZ, std::string("one\0two\0\0", 9)));
        ASSERT_TRUE(key.Set("Path", REG_EXPAND_SZ, std::string("%TEMP%\\old\0", 11)));
        ASSERT_TRUE(key.Set("Marker", REG_NONE, Bytes({1})));
        ASSERT_TRUE(key.Set("Same", REG_SZ, std::string("kept", 5)));
        CTestKey old(HKEY_LOCAL_MACHINE, std::string(kTestKeyPath) + "\\Old Plugins");
        ASSERT_TRUE(old.Set("Name", REG_SZ, std::string("spell", 6)));
        ASSERT_TRUE(old.Set("Flags", REG_DWORD, Bytes({7, 0, 0, 0})));
        ASSERT_TRUE(old.Set("Data", REG_BINARY, Bytes({9})));
        CTestKey same(HKEY_LOCAL_MACHINE, std::string(kTestKeyPath) + "\\Unchanged");
        ASSERT_TRUE(same.Set("Level", REG_DWORD, Bytes({3, 0, 0, 0})));
    }
    const std::string before = TempFilePath("corvane e2e registry before.tvrec");
    const std::string after = TempFilePath("corvane e2e registry after.tvrec");
    ::DeleteFileA(before.c_str());
    ::DeleteFileA(after.c_str());

    CProgram program;
    ASSERT_TRUE(program.Start(ProgramPath())) << ProgramPath();
    DWORD pid = program.Pid();
    HWND frame = WaitForWindow(pid, MainFrameWindow());
    ASSERT_NE(frame, nullptr);
    TakeRegistrySnapshot(pid, frame, before);

    // What an installer does: every kind of value changed, one added, one
    // removed, a key removed with its values and a key added.
    {
        CTestKey key(HKEY_LOCAL_MACHINE, kTestKeyPath);
        ASSERT_TRUE(key.Set("", REG_SZ, std::string("2.0", 4)));
        ASSERT_TRUE(key.Set("Count", REG_DWORD, Bytes({2, 0, 0, 0})));
        ASSERT_TRUE(key.Set("Big", REG_DWORD_BIG_ENDIAN, Bytes({0, 0, 0, 2})));
        ASSERT_TRUE(key.Set("Blob", REG_BINARY, Bytes({1, 2, 3, 4})));
        ASSERT_TRUE(key.Set("Quad", REG_QWORD, Bytes({2, 0, 0, 0, 0, 0, 0, 0})));
        ASSERT_TRUE(key.Set("List", REG_MULTI_SZ, std::string("one\0two\0three\0\0", 15)));
        ASSERT_TRUE(key.Set("Added", REG_SZ, std::string("new", 4)));
        ASSERT_TRUE(key.Set("Marker", REG_NONE, Bytes({2})));
        ASSERT_EQ(::RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string(kTestKeyPath) + "\\Old Plugins").c_str()),
                  ERROR_SUCCESS);
        CTestKey plugins(HKEY_LOCAL_MACHINE, std::string(kTestKeyPath) + "\\Plugins");
        ASSERT_TRUE(plugins.Set("Spell", REG_SZ, std::string("spell2", 7)));
    }
    ASSERT_EQ(::RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kTestKeyPath, "Path"), ERROR_SUCCESS);
    TakeRegistrySnapshot(pid, frame, after);

    ::PostMessageA(frame, WM_COMMAND, ID_COMPARE_REGISTRY, 0);
    ASSERT_TRUE(ChooseInOpenDialog(pid, "Select Snap Shot 1", before));
    ASSERT_TRUE(ChooseInOpenDialog(pid, "Select Snap Shot 2", after));
    HWND leftTree = FindCompareTree(frame, true, 2 * kPatienceMs), rightTree = FindCompareTree(frame, false);
    ASSERT_NE(leftTree, nullptr);
    ASSERT_NE(rightTree, nullptr);
    ::PostMessageA(frame, WM_COMMAND, ID_EXPAND_ALL, 0);
    ASSERT_TRUE(FrameServedPosted(frame));

    // The test's key on each side, with exactly what the test changed: keys
    // first, then the values in the order the registry lists them (by name,
    // in this prefix).
    CRemoteTree left(leftTree), right(rightTree);
    ASSERT_TRUE(left.IsOpen() && right.IsOpen());
    const std::vector<std::string> key1 = {"Registry 1", "HKEY_LOCAL_MACHINE", "Software", "Corvane End To End"};
    const std::vector<std::string> key2 = {"Registry 2", "HKEY_LOCAL_MACHINE", "Software", "Corvane End To End"};
    std::vector<HTREEITEM> path1 = left.Path(key1), path2 = right.Path(key2);
    ASSERT_EQ(path1.size(), 4u) << left.Listing();
    ASSERT_EQ(path2.size(), 4u) << right.Listing();
    EXPECT_EQ(left.Listing(path1.back()),
              "0 Corvane End To End 0/2 +\n"
              "1 Old Plugins 1/3 +\n"
              "2 Data 7/7\n"
              "2 Flags 9/9\n"
              "2 Name 5/5\n"
              "1 (Default) 4/4\n"
              "1 Big 8/8\n"
              "1 Blob 6/6\n"
              "1 Count 8/8\n"
              "1 List 4/4\n"
              "1 Marker 6/6\n"
              "1 Path 5/5\n"
              "1 Quad 6/6\n");
    EXPECT_EQ(right.Listing(path2.back()),
              "0 Corvane End To End 0/2 +\n"
              "1 Plugins 1/3 +\n"
              "2 Spell 5/5\n"
              "1 (Default) 4/4\n"
              "1 Added 5/5\n"
              "1 Big 8/8\n"
              "1 Blob 6/6\n"
              "1 Count 8/8\n"
              "1 List 4/4\n"
              "1 Marker 6/6\n"
              "1 Quad 6/6\n");

    // A double-click on a value opens its viewer, with the value as the
    // second snapshot recorded it.
    std::vector<HTREEITEM> list = right.Path({"Registry 2", "HKEY_LOCAL_MACHINE", "Software", "Corvane End To End", "List"});
    ASSERT_EQ(list.size(), 5u);
    ASSERT_TRUE(right.DoubleClick(list.back()));
    HWND viewer = WaitForWindow(pid, DialogWith("Registry 2 : List", IDC_REG_VALUE));
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(SentText(::GetDlgItem(viewer, IDC_REG_VALUE)), "one\r\ntwo\r\nthree\r\n");
    EXPECT_EQ(SentText(::GetDlgItem(viewer, IDC_REG_TYPE)), "REG_MULTI_SZ (array of strings)");
    // View Value on a key tells it has none.
    ASSERT_TRUE(left.Click(path1.back()));
    ::PostMessageA(frame, WM_COMMAND, ID_REG_VIEW_VALUE, 0);
    HWND note = WaitForWindow(pid, DialogWith("Pellix Corvane", 0xFFFF));
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(SentText(::GetDlgItem(note, 0xFFFF)), kKeyHasNoValue);
    PressRemote(note, IDOK);
    ASSERT_TRUE(WaitGone(note));

    ::PostMessageA(frame, WM_COMMAND, ID_APP_EXIT, 0);
    EXPECT_EQ(::WaitForSingleObject(program.Process(), kPatienceMs), WAIT_OBJECT_0);
    ::DeleteFileA(before.c_str());
    ::DeleteFileA(after.c_str());
}

INSTANTIATE_TEST_SUITE_P(Locks, EndToEnd,
                         ::testing::Values(RunCase{"free", false}, RunCase{"heldForGoodByAnotherProcess", true}),
                         [](const ::testing::TestParamInfo<RunCase>& test) { return std::string(test.param.name); });

}  // namespace
