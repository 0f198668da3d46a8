// corvane.exe started as a user starts it and driven from outside through its
// command ids and control ids: a file-system snapshot of a mapped drive taken
// through the menu command, the setup dialog, the question and the results
// dialog, and the snapshot file checked against the drive's contents.
#include "framework/Wnd.h"
#include "res/resource.h"
#include "snapshot/FSSnap.h"
#include "snapshot/ResultsText.h"
#include "tests/support/DriveFixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

struct Found {
    DWORD pid;
    std::function<bool(HWND)> match;
    HWND h;
};

BOOL CALLBACK FindProc(HWND h, LPARAM l)
{
    auto* f = reinterpret_cast<Found*>(l);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(h, &pid);
    if (pid == f->pid && ::IsWindowVisible(h) && f->match(h)) {
        f->h = h;
        return FALSE;
    }
    return TRUE;
}

std::string ClassOf(HWND h)
{
    char cls[64] = "";
    ::GetClassNameA(h, cls, sizeof cls);
    return cls;
}

// Waits for a visible top-level window of the process that matches.
HWND WaitFor(DWORD pid, std::function<bool(HWND)> match, DWORD timeoutMs = 20000)
{
    DWORD start = ::GetTickCount();
    for (;;) {
        Found f{pid, match, nullptr};
        ::EnumWindows(FindProc, reinterpret_cast<LPARAM>(&f));
        if (f.h) {
            ::Sleep(100);
            return f.h;
        }
        if (::GetTickCount() - start > timeoutMs)
            return nullptr;
        ::Sleep(25);
    }
}

std::function<bool(HWND)> Dialog(const char* caption, int withControl)
{
    std::string wanted = caption;
    return [wanted, withControl](HWND h) {
        return ClassOf(h) == "#32770" && GetWindowTextOf(h) == wanted &&
               (withControl == 0 || ::GetDlgItem(h, withControl) != nullptr);
    };
}

// The text of a control of another process: GetWindowText does not ask a
// window of another process for it, WM_GETTEXT does.
std::string SentText(HWND h)
{
    LRESULT n = ::SendMessageA(h, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<size_t>(n) + 1, '\0');
    LRESULT got = ::SendMessageA(h, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(got));
    return text;
}

bool WaitGone(HWND h, DWORD timeoutMs = 20000)
{
    DWORD start = ::GetTickCount();
    while (::IsWindow(h) && ::IsWindowVisible(h)) {
        if (::GetTickCount() - start > timeoutMs)
            return false;
        ::Sleep(20);
    }
    return true;
}

void Press(HWND dialog, int id)
{
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

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

TEST(EndToEnd, AFileSystemSnapshotOfAMappedDriveThroughTheMenu)
{
    char drive = FixtureDriveLetter();
    ASSERT_NE(drive, 0) << "run through tests/app/listed-drive, which maps the drive";
    std::string root = std::string(1, drive) + ":";
    ASSERT_TRUE(MakeFile(root + "\\readme.txt", "Corvane end to end"));
    ASSERT_TRUE(MakeFolder(root + "\\Program Files"));
    ASSERT_TRUE(MakeFolder(root + "\\Program Files\\Pellix"));
    ASSERT_TRUE(MakeFile(root + "\\Program Files\\Pellix\\app.exe", std::string(4096, 'x')));
    ASSERT_TRUE(MakeFile(root + "\\Program Files\\Pellix\\app.ini", "[app]\r\n"));
    ASSERT_TRUE(MakeFolder(root + "\\Empty folder"));

    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    std::string snapshot = std::string(temp) + "corvane end to end.tvrec";
    ::DeleteFileA(snapshot.c_str());

    CProgram program;
    ASSERT_TRUE(program.Start(ProgramPath())) << ProgramPath();
    DWORD pid = program.Pid();
    HWND frame = WaitFor(pid, [](HWND h) { return ClassOf(h) == "CorvaneFrame"; });
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(GetWindowTextOf(frame), "Corvane");

    ::PostMessageA(frame, WM_COMMAND, ID_SNAPSHOT_CREATE, 0);
    HWND setup = WaitFor(pid, Dialog("Snap Shot Setup", IDC_SETUP_PATH));
    ASSERT_NE(setup, nullptr);
    ::SendDlgItemMessageA(setup, IDC_SETUP_FILESYSTEM, BM_CLICK, 0, 0);
    LRESULT index = ::SendDlgItemMessageA(setup, IDC_SETUP_DRIVE, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                          reinterpret_cast<LPARAM>((root).c_str()));
    ASSERT_NE(index, CB_ERR) << "the mapped drive is not in the drive list";
    ::SendDlgItemMessageA(setup, IDC_SETUP_DRIVE, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendDlgItemMessageA(setup, IDC_SETUP_PATH, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(snapshot.c_str()));
    Press(setup, IDOK);
    ASSERT_TRUE(WaitGone(setup));

    // The question comes while the progress window is up.
    HWND question = WaitFor(pid, Dialog("Corvane", 0xFFFF));
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(SentText(::GetDlgItem(question, 0xFFFF)), kFSSnapQuestion);
    HWND progress = WaitFor(pid, Dialog("Corvane", IDC_PROGRESS_STATUS), 2000);
    EXPECT_NE(progress, nullptr);
    EXPECT_TRUE(FileExists(snapshot));  // created, empty, by the setup dialog
    Press(question, IDYES);

    HWND results = WaitFor(pid, Dialog("Results", IDC_RESULTS_TEXT), 60000);
    ASSERT_NE(results, nullptr);
    std::string text = SentText(::GetDlgItem(results, IDC_RESULTS_TEXT));
    EXPECT_TRUE(progress && ::IsWindowVisible(progress));
    if (progress)
        EXPECT_EQ(SentText(::GetDlgItem(progress, IDC_PROGRESS_TITLE)), "Creating snap shot of file system...");
    Press(results, IDCANCEL);
    ASSERT_TRUE(WaitGone(results));
    if (progress)
        EXPECT_TRUE(WaitGone(progress, 5000));

    FolderRecord expected = ListTree(root, root, {});
    uint32_t files = 0, folders = 0;
    Totals(expected, files, folders);
    EXPECT_EQ(text, FSResultsText(files, folders, 0, ""));

    FSSnapFile file;
    std::string why;
    std::vector<uint8_t> bytes = ReadWholeFile(snapshot);
    ASSERT_TRUE(ParseFSSnap(bytes, file, why)) << why;
    EXPECT_EQ(file.version, 174);
    EXPECT_EQ(file.drive, static_cast<uint8_t>(drive));
    EXPECT_EQ(file.folderCount, folders);
    EXPECT_EQ(file.bytesUsed, bytes.size());
    Compare(expected, file.root, root);

    // Idle again: Exit ends the program.
    ::PostMessageA(frame, WM_COMMAND, ID_APP_EXIT, 0);
    EXPECT_EQ(::WaitForSingleObject(program.Process(), 10000), WAIT_OBJECT_0);
    DWORD code = 99;
    ::GetExitCodeProcess(program.Process(), &code);
    EXPECT_EQ(code, 0u);
    ::DeleteFileA(snapshot.c_str());
}

}  // namespace
