// corvane.exe started as a user starts it and driven from outside through its
// command ids and control ids: a file-system snapshot of a mapped drive taken
// through the menu command, the setup dialog, the question and the results
// dialog, with Create, Exit and the close box tried while it runs; the
// snapshot file checked against the drive's contents.
#include "framework/NamedSemaphore.h"
#include "framework/Wnd.h"
#include "res/resource.h"
#include "snapshot/FSSnap.h"
#include "operation/ProgressMessages.h"
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

// The program of this build, as a Windows path.
std::string ProgramPath()
{
    std::string path = "Z:" CORVANE_EXE;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

class CProgram {
public:
    bool Start(const std::string& exe)
    {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string command = "\"" + exe + "\"";
        return ::CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                                &m_pi) != FALSE;
    }
    ~CProgram()
    {
        if (m_pi.hProcess) {
            if (::WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT)
                ::TerminateProcess(m_pi.hProcess, 1);
            ::CloseHandle(m_pi.hProcess);
            ::CloseHandle(m_pi.hThread);
        }
    }
    DWORD Pid() const { return m_pi.dwProcessId; }
    HANDLE Process() const { return m_pi.hProcess; }

private:
    PROCESS_INFORMATION m_pi{};
};

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

    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    std::string snapshot = std::string(temp) + "corvane end to end.tvrec";
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
    ::SendDlgItemMessageA(setup, IDC_SETUP_FILESYSTEM, BM_CLICK, 0, 0);
    LRESULT index = ::SendDlgItemMessageA(setup, IDC_SETUP_DRIVE, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                          reinterpret_cast<LPARAM>((root).c_str()));
    ASSERT_NE(index, CB_ERR) << "the mapped drive is not in the drive list";
    ::SendDlgItemMessageA(setup, IDC_SETUP_DRIVE, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendDlgItemMessageA(setup, IDC_SETUP_PATH, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(snapshot.c_str()));
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
    EXPECT_EQ(file.bytesUsed, bytes.size());
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
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    std::string path = std::string(temp) + name;
    SaveSnapshot(path, file);
    return path;
}

// Chooses a file in the Open dialog titled `title` as a person would.
bool ChooseInOpenDialog(DWORD pid, const char* title, const std::string& path)
{
    HWND dialog = WaitForWindow(pid, DialogWith(title));
    if (!dialog)
        return false;
    const int fileNameBox = 0x47C;
    ::SendMessageA(::GetDlgItem(dialog, fileNameBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PressRemote(dialog, IDOK);
    return WaitGone(dialog);
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

INSTANTIATE_TEST_SUITE_P(Locks, EndToEnd,
                         ::testing::Values(RunCase{"free", false}, RunCase{"heldForGoodByAnotherProcess", true}),
                         [](const ::testing::TestParamInfo<RunCase>& info) { return std::string(info.param.name); });

}  // namespace
