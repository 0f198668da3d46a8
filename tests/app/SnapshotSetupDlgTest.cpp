// "Snap Shot Setup" with its real template, driven from a helper thread as a
// person would: drive list, proposed names, kind switch, the overwrite
// question, the creation error, Cancel, the Save As note, and targets that
// are devices rather than files.
#include "app/SnapshotSetupDlg.h"

#include "res/resource.h"
#include "tests/app/DialogSteps.h"
#include "tests/support/DriveFixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <functional>

namespace {

const char kCaption[] = "Snap Shot Setup";

std::string TempFile(const char* name)
{
    char dir[MAX_PATH];
    ::GetTempPathA(MAX_PATH, dir);
    std::string path = std::string(dir) + name;
    ::DeleteFileA(path.c_str());
    return path;
}

std::vector<std::string> LogicalDrives()
{
    std::vector<std::string> drives;
    DWORD mask = ::GetLogicalDrives();
    for (int i = 0; i < 26; ++i)
        if (mask & (1u << i))
            drives.push_back(std::string(1, static_cast<char>('A' + i)) + ":");
    return drives;
}

// Whether path reads "<drive>\<Kind> HH-MM-SS-mm-dd-yy.tvrec" for a local time
// of a second from `from` to `to`: the names are made from the clock, so the
// test asks only that the name's time lies within the span it watched, be it
// across midnight or not.
bool ProposedWithin(const std::string& path, const std::string& drive, const std::string& kind,
                    std::time_t from, std::time_t to)
{
    for (std::time_t second = from; second <= to; ++second) {
        std::tm local = *std::localtime(&second);
        char name[64];
        std::snprintf(name, sizeof name, "%s\\%s %02d-%02d-%02d-%02d-%02d-%02d.tvrec", drive.c_str(),
                      kind.c_str(), local.tm_hour, local.tm_min, local.tm_sec, local.tm_mon + 1,
                      local.tm_mday, local.tm_year % 100);
        if (path == name)
            return true;
    }
    return false;
}

TEST(SnapshotSetupDlg, ProposedNamesCarryTheKindAndTheTime)
{
    std::tm when{};
    when.tm_year = 126;
    when.tm_mon = 11;
    when.tm_mday = 8;
    when.tm_hour = 14;
    when.tm_min = 5;
    when.tm_sec = 9;
    EXPECT_EQ(DefaultSnapshotPath(0, "C:", when), "C:\\Registry 14-05-09-12-08-26.tvrec");
    EXPECT_EQ(DefaultSnapshotPath(1, "D:", when), "D:\\FileSystem 14-05-09-12-08-26.tvrec");
}

TEST(SnapshotSetupDlg, OpensWithEveryDriveInLetterOrderAndARegistryName)
{
    std::vector<std::string> entries;
    std::string path, selected;
    bool optionEnabled = false, driveEnabled = true, labelEnabled = true, registryChecked = false;
    bool hashEnabled = true, hashChecked = true;
    std::time_t before = std::time(nullptr);
    CSnapshotSetupDlg dialog;
    CDialogSteps steps(kCaption, [&](HWND h) {
        entries = ComboEntries(h, IDC_SETUP_DRIVE);
        selected = GetText(h, IDC_SETUP_DRIVE);
        path = GetText(h, IDC_SETUP_PATH);
        optionEnabled = ::IsWindowEnabled(::GetDlgItem(h, IDC_SETUP_FULLPATHS));
        driveEnabled = ::IsWindowEnabled(::GetDlgItem(h, IDC_SETUP_DRIVE));
        labelEnabled = ::IsWindowEnabled(::GetDlgItem(h, IDC_SETUP_DRIVE_LABEL));
        registryChecked = ::IsDlgButtonChecked(h, IDC_SETUP_REGISTRY) == BST_CHECKED;
        hashEnabled = ::IsWindowEnabled(::GetDlgItem(h, IDC_SETUP_HASH));
        hashChecked = ::IsDlgButtonChecked(h, IDC_SETUP_HASH) == BST_CHECKED;
        PressButton(h, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    steps.Join();
    std::time_t after = std::time(nullptr);
    ASSERT_TRUE(steps.Found());
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries, LogicalDrives());
    EXPECT_EQ(selected, entries[0]);
    EXPECT_TRUE(ProposedWithin(path, entries[0], "Registry", before, after)) << path;
    EXPECT_TRUE(registryChecked);
    EXPECT_TRUE(optionEnabled);
    EXPECT_FALSE(driveEnabled);
    EXPECT_FALSE(labelEnabled);
    EXPECT_FALSE(hashEnabled);
    EXPECT_FALSE(hashChecked);
    EXPECT_EQ(dialog.m_nKind, 0);
    EXPECT_EQ(dialog.m_chDrive, 0);
}

TEST(SnapshotSetupDlg, SwitchingTheKindKeepsTheCheckMarkAndProposesAFreshName)
{
    std::string target = TempFile("corvane setup kind.tvrec");
    std::string fsPath, regPath, typedThenSwitched, afterDriveChange, otherDrive;
    bool optionEnabledFs = true, optionCheckedFs = false, driveEnabledFs = false, optionEnabledReg = false;
    // Another drive is the last one listed; on a machine with one drive it is
    // that drive again.
    std::vector<std::string> drives = LogicalDrives();
    ASSERT_FALSE(drives.empty());
    const WPARAM other = drives.size() - 1;
    std::time_t before = std::time(nullptr);
    CSnapshotSetupDlg dialog;
    CDialogSteps steps(kCaption, [&](HWND h) {
        Click(h, IDC_SETUP_FULLPATHS);
        SetText(h, IDC_SETUP_PATH, "typed by hand");
        Click(h, IDC_SETUP_FILESYSTEM);
        fsPath = GetText(h, IDC_SETUP_PATH);
        optionEnabledFs = ::IsWindowEnabled(::GetDlgItem(h, IDC_SETUP_FULLPATHS));
        optionCheckedFs = ::IsDlgButtonChecked(h, IDC_SETUP_FULLPATHS) == BST_CHECKED;
        driveEnabledFs = ::IsWindowEnabled(::GetDlgItem(h, IDC_SETUP_DRIVE));
        // Another drive leaves the proposal alone until a kind is clicked.
        ::SendDlgItemMessageA(h, IDC_SETUP_DRIVE, CB_SETCURSEL, other, 0);
        otherDrive = GetText(h, IDC_SETUP_DRIVE);
        afterDriveChange = GetText(h, IDC_SETUP_PATH);
        Click(h, IDC_SETUP_FILESYSTEM);
        typedThenSwitched = GetText(h, IDC_SETUP_PATH);
        Click(h, IDC_SETUP_REGISTRY);
        regPath = GetText(h, IDC_SETUP_PATH);
        optionEnabledReg = ::IsWindowEnabled(::GetDlgItem(h, IDC_SETUP_FULLPATHS));
        Click(h, IDC_SETUP_FILESYSTEM);
        Click(h, IDC_SETUP_HASH);
        SetText(h, IDC_SETUP_PATH, target);
        PressButton(h, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    steps.Join();
    std::time_t after = std::time(nullptr);
    ASSERT_TRUE(steps.Found());
    EXPECT_TRUE(ProposedWithin(fsPath, drives[0], "FileSystem", before, after)) << fsPath;
    EXPECT_FALSE(optionEnabledFs);
    EXPECT_TRUE(optionCheckedFs);
    EXPECT_TRUE(driveEnabledFs);
    EXPECT_EQ(otherDrive, drives[other]);
    EXPECT_EQ(afterDriveChange, fsPath);
    EXPECT_TRUE(ProposedWithin(typedThenSwitched, drives[other], "FileSystem", before, after))
        << typedThenSwitched;
    EXPECT_TRUE(ProposedWithin(regPath, drives[other], "Registry", before, after)) << regPath;
    EXPECT_TRUE(optionEnabledReg);

    EXPECT_EQ(dialog.m_nKind, 1);
    EXPECT_EQ(dialog.m_strPath, target);
    EXPECT_EQ(dialog.m_chDrive, drives[other][0]);
    EXPECT_TRUE(dialog.m_bFullIgnoredPaths);
    EXPECT_TRUE(dialog.m_bHashContents);
    EXPECT_TRUE(FileExists(target));
    EXPECT_TRUE(ReadWholeFile(target).empty());
    ::DeleteFileA(target.c_str());
}

TEST(SnapshotSetupDlg, AnExistingFileIsOverwrittenOnlyAfterYes)
{
    std::string target = TempFile("corvane setup existing.tvrec");
    ASSERT_TRUE(MakeFile(target, "earlier snapshot"));
    std::string first, second;
    std::vector<uint8_t> afterNo;
    bool openAfterNo = false;
    CSnapshotSetupDlg dialog;
    CDialogSteps steps(kCaption, [&](HWND h) {
        SetText(h, IDC_SETUP_PATH, target);
        PressButton(h, IDOK);
        first = AnswerBox("Pellix Corvane", IDNO);
        // Back in its loop, the dialog has finished with the answer.
        openAfterNo = WaitServing(h) && ::IsWindowVisible(h);
        afterNo = ReadWholeFile(target);
        PressButton(h, IDOK);
        second = AnswerBox("Pellix Corvane", IDYES);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    steps.Join();
    EXPECT_EQ(first, "Warning - File at specified location already exists.\n\nOverwrite?");
    EXPECT_TRUE(openAfterNo);
    EXPECT_EQ(std::string(afterNo.begin(), afterNo.end()), "earlier snapshot");
    EXPECT_EQ(second, first);
    EXPECT_TRUE(ReadWholeFile(target).empty());
    EXPECT_EQ(CountDialogs("Pellix Corvane"), 0);
    ::DeleteFileA(target.c_str());
}

TEST(SnapshotSetupDlg, AMissingFolderShowsTheCreationErrorAndStaysOpen)
{
    std::string missing = TempFile("corvane no such folder") + "\\snap.tvrec";
    std::string error, empty;
    bool stillOpen = false;
    CSnapshotSetupDlg dialog;
    CDialogSteps steps(kCaption, [&](HWND h) {
        SetText(h, IDC_SETUP_PATH, missing);
        PressButton(h, IDOK);
        error = AnswerBox("Pellix Corvane", IDOK);
        SetText(h, IDC_SETUP_PATH, "");
        PressButton(h, IDOK);
        empty = AnswerBox("Pellix Corvane", IDOK);
        stillOpen = WaitServing(h) && ::IsWindowVisible(h);
        PressButton(h, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    steps.Join();
    EXPECT_EQ(error,
              "ERROR: Could not create snap shot file at specified location.  Please type another.\n\n"
              "Refer to Corvane Help for more information.");
    EXPECT_EQ(empty, "You must enter a path for the snap shot file.");
    EXPECT_TRUE(stillOpen);
    EXPECT_FALSE(FileExists(missing));
}

TEST(SnapshotSetupDlg, CancelCreatesNothing)
{
    std::string target = TempFile("corvane setup cancelled.tvrec");
    CSnapshotSetupDlg dialog;
    CDialogSteps steps(kCaption, [&](HWND h) {
        Click(h, IDC_SETUP_FILESYSTEM);
        SetText(h, IDC_SETUP_PATH, target);
        PressButton(h, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    steps.Join();
    EXPECT_FALSE(FileExists(target));
    EXPECT_EQ(dialog.m_chDrive, 0);
}

TEST(SnapshotSetupDlg, BrowseForTheRegistryAsksFirst)
{
    std::string note, pathBefore, pathAfter;
    bool saveAsAfterNo = true, saveAsAfterYes = false;
    CSnapshotSetupDlg dialog;
    CDialogSteps steps(kCaption, [&](HWND h) {
        pathBefore = GetText(h, IDC_SETUP_PATH);
        PressButton(h, IDC_SETUP_BROWSE);
        note = AnswerBox("Pellix Corvane", IDNO);
        // Back in its loop, the dialog has finished with the answer; a Save As
        // dialog, shown or still being made, would hold it disabled.
        saveAsAfterNo =
            !WaitServing(h) || FindDialogOfProcess("Save As") != nullptr || !::IsWindowEnabled(h);
        PressButton(h, IDC_SETUP_BROWSE);
        AnswerBox("Pellix Corvane", IDYES);
        HWND saveAs = WaitForDialog("Save As");
        saveAsAfterYes = saveAs != nullptr;
        if (saveAs) {
            PressButton(saveAs, IDCANCEL);
            WaitGone(saveAs);
        }
        pathAfter = GetText(h, IDC_SETUP_PATH);
        PressButton(h, IDCANCEL);
    });
    dialog.DoModal();
    steps.Join();
    EXPECT_EQ(note,
              "Note: The use of the \"Save As\" dialog may write values to the Windows Registry.\n\n"
              "Do you still want to use the \"Save As\" dialog?");
    EXPECT_FALSE(saveAsAfterNo);
    EXPECT_TRUE(saveAsAfterYes);
    EXPECT_EQ(pathAfter, pathBefore);
}

// Only these folders or keys, one a line: taken by corvane-snap's rules, or
// refused with its message in a box before the file is touched.
struct ChosenCase {
    int kindButton;
    const char* lines;
    const char* refusal;  // the box's text, or null when taken
    std::vector<std::string> paths;
};

const ChosenCase kChosenCases[] = {
    {IDC_SETUP_REGISTRY, "HKLM\\Software\\No\\Such", "HKLM\\Software\\No\\Such does not exist.", {}},
    {IDC_SETUP_REGISTRY, "HKLM\\Software\r\nHKLM\\Software\\Wine",
     "HKLM\\Software\\Wine lies inside HKLM\\Software; name only one of them.", {}},
    {IDC_SETUP_FILESYSTEM, " \r\n\t\r\n", "You must enter the folders or keys to record, one a line.", {}},
    // Blanks around a line and empty lines are no places.
    {IDC_SETUP_REGISTRY, "  HKLM\\Software\\Wine \r\n\r\nhku\\.DEFAULT\r\n", nullptr,
     {"HKEY_LOCAL_MACHINE\\Software\\Wine", "HKEY_USERS\\.Default"}},
    {IDC_SETUP_FILESYSTEM, "c:\\windows", nullptr, {"C:\\windows"}},
};

TEST(SnapshotSetupDlg, ChosenPlacesAreTakenOrRefusedAsCorvaneSnapTakesThem)
{
    for (const ChosenCase& c : kChosenCases) {
        SCOPED_TRACE(c.lines);
        std::string target = TempFile("corvane setup chosen.tvrec");
        std::string box;
        bool driveEnabled = true;
        CSnapshotSetupDlg dialog;
        CDialogSteps steps(kCaption, [&](HWND h) {
            Click(h, c.kindButton);
            Click(h, IDC_SETUP_CHOSEN);
            driveEnabled = ::IsWindowEnabled(::GetDlgItem(h, IDC_SETUP_DRIVE));
            SetText(h, IDC_SETUP_PLACES, c.lines);
            SetText(h, IDC_SETUP_PATH, target);
            PressButton(h, IDOK);
            if (c.refusal) {
                box = AnswerBox("Pellix Corvane", IDOK);
                PressButton(h, IDCANCEL);
            }
        });
        EXPECT_EQ(dialog.DoModal(), c.refusal ? IDCANCEL : IDOK);
        steps.Join();
        EXPECT_FALSE(driveEnabled);
        EXPECT_EQ(box, c.refusal ? c.refusal : "");
        EXPECT_EQ(FileExists(target), c.refusal == nullptr);
        EXPECT_EQ(dialog.m_places.Paths(), c.paths);
        if (!c.refusal && c.kindButton == IDC_SETUP_FILESYSTEM) {
            EXPECT_EQ(dialog.m_chDrive, 'C');
        }
        ::DeleteFileA(target.c_str());
    }
}

// A fresh, empty folder, removed again with what it holds.
class CScratchFolder {
public:
    explicit CScratchFolder(const char* name) : m_path(TempFile(name)) { ::CreateDirectoryA(m_path.c_str(), nullptr); }
    ~CScratchFolder()
    {
        for (const std::string& entry : Entries())
            ::DeleteFileA((m_path + "\\" + entry).c_str());
        ::RemoveDirectoryA(m_path.c_str());
    }
    const std::string& Path() const { return m_path; }
    // The names in it, in listing order.
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE h = ::FindFirstFileA((m_path + "\\*").c_str(), &found);
        if (h == INVALID_HANDLE_VALUE)
            return names;
        do {
            std::string name = found.cFileName;
            if (name != "." && name != "..")
                names.push_back(name);
        } while (::FindNextFileA(h, &found));
        ::FindClose(h);
        return names;
    }

private:
    std::string m_path;
};

// The server end of a named pipe, waiting for a client: whoever opens the
// pipe by its name connects, and the test sees it.
class CWatchedPipe {
public:
    explicit CWatchedPipe(const char* name)
    {
        m_connected.hEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        m_pipe = ::CreateNamedPipeA(name, PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED, PIPE_TYPE_BYTE, 1, 4096, 4096, 0,
                                    nullptr);
        m_waiting = m_pipe != INVALID_HANDLE_VALUE && !::ConnectNamedPipe(m_pipe, &m_connected) &&
                    ::GetLastError() == ERROR_IO_PENDING;
    }
    ~CWatchedPipe()
    {
        if (m_pipe != INVALID_HANDLE_VALUE) {
            ::CancelIo(m_pipe);
            ::CloseHandle(m_pipe);
        }
        ::CloseHandle(m_connected.hEvent);
    }
    bool IsWaiting() const { return m_waiting; }
    // Whether a client has opened the pipe since it was made.
    bool WasOpened() const { return ::WaitForSingleObject(m_connected.hEvent, 0) == WAIT_OBJECT_0; }

private:
    HANDLE m_pipe = INVALID_HANDLE_VALUE;
    OVERLAPPED m_connected{};
    bool m_waiting = false;
};

const char kWatchedPipe[] = "\\\\.\\pipe\\corvane-setup-target";

// What typing a snapshot path and pressing "Take Snapshot" did.
struct TakenPath {
    INT_PTR result = 0;   // how the dialog ended
    SeenDialog box;       // the message box it showed, if any
    bool stayedOpen = false;
};

// Types path into the dialog and presses "Take Snapshot", as a person would;
// a box that comes is read and answered (No when it asks, else OK), and the
// dialog, if it stayed, cancelled.
TakenPath TakeWithPath(const std::string& path)
{
    TakenPath taken;
    CSnapshotSetupDlg dialog;
    CDialogSteps steps(kCaption, [&](HWND h) {
        Click(h, IDC_SETUP_FILESYSTEM);
        SetText(h, IDC_SETUP_PATH, path);
        PressButton(h, IDOK);
        HWND box = nullptr;
        WaitFor([&]() { return !::IsWindow(h) || (box = FindDialogOfProcess("Pellix Corvane")) != nullptr; });
        if (!box || !WaitServing(box))
            return;
        taken.box = ReadDialog(box);
        PressButton(box, ::GetDlgItem(box, IDNO) ? IDNO : IDOK);
        WaitDestroyed(box);
        taken.stayedOpen = WaitServing(h) && ::IsWindowVisible(h);
        PressButton(h, IDCANCEL);
    });
    taken.result = dialog.DoModal();
    steps.Join();
    return taken;
}

struct TargetCase {
    const char* name;
    // What is typed; "<folder>" stands for an empty folder of the test, which
    // is also the current folder.
    const char* typed;
    // The file that appears in that folder, empty: "" for a target refused.
    const char* created;
};

class SnapshotTarget : public ::testing::TestWithParam<TargetCase> {};

TEST_P(SnapshotTarget, OnlyAFileOnADiskIsTaken)
{
    const TargetCase& c = GetParam();
    CScratchFolder folder("corvane setup targets");
    ASSERT_TRUE(folder.Entries().empty());
    char before[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, before);
    ASSERT_TRUE(::SetCurrentDirectoryA(folder.Path().c_str()));
    CWatchedPipe pipe(kWatchedPipe);
    ASSERT_TRUE(pipe.IsWaiting());
    std::string typed = c.typed;
    const std::string marker = "<folder>";
    if (size_t at = typed.find(marker); at != std::string::npos)
        typed.replace(at, marker.size(), folder.Path());

    TakenPath taken = TakeWithPath(typed);
    ::SetCurrentDirectoryA(before);

    EXPECT_FALSE(pipe.WasOpened()) << "the dialog opened a pipe to find out";
    if (*c.created) {
        EXPECT_EQ(taken.result, IDOK);
        EXPECT_FALSE(taken.box.seen) << taken.box.MessageText();
        EXPECT_EQ(folder.Entries(), std::vector<std::string>{c.created});
        EXPECT_TRUE(ReadWholeFile(folder.Path() + "\\" + c.created).empty());
        return;
    }
    EXPECT_EQ(taken.result, IDCANCEL);
    EXPECT_EQ(taken.box.caption, "Pellix Corvane");
    EXPECT_EQ(taken.box.MessageText(),
              "ERROR: Could not create snap shot file at specified location.  Please type another.\n\n"
              "Refer to Corvane Help for more information.");
    EXPECT_EQ(taken.box.icon, "exclamation");
    EXPECT_EQ(taken.box.buttons, std::vector<std::string>{"OK"});
    EXPECT_TRUE(taken.stayedOpen);
    EXPECT_TRUE(folder.Entries().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Devices, SnapshotTarget,
    ::testing::Values(TargetCase{"nul", "NUL", ""},
                      TargetCase{"nulWithAnExtension", "nul.tvrec", ""},
                      TargetCase{"nulInAFolder", "<folder>\\NUL.tvrec", ""},
                      TargetCase{"nulWithAColon", "NUL:", ""},
                      TargetCase{"nulWithASpaceBeforeTheExtension", "<folder>\\nul .tvrec", ""},
                      TargetCase{"con", "con", ""},
                      TargetCase{"consoleOutput", "CONOUT$", ""},
                      TargetCase{"aux", "<folder>\\aux.tvrec", ""},
                      TargetCase{"prn", "Prn", ""},
                      TargetCase{"serialPort", "COM1", ""},
                      TargetCase{"lastSerialPort", "com9.tvrec", ""},
                      TargetCase{"serialPortSuperscript", "COM\xB2", ""},
                      TargetCase{"printerPort", "LPT1.txt", ""},
                      TargetCase{"pipe", "\\\\.\\pipe\\corvane-setup-target", ""},
                      TargetCase{"pipeInTheLongForm", "\\\\?\\pipe\\corvane-setup-target", ""},
                      TargetCase{"pipeOfAMachine", "\\\\localhost\\pipe\\corvane-setup-target", ""},
                      TargetCase{"disk", "\\\\.\\PhysicalDrive0", ""},
                      TargetCase{"volume", "\\\\.\\C:", ""},
                      // Under Wine, the host's null device, a name no
                      // different from a file's: the opened handle tells.
                      TargetCase{"deviceByAnOrdinaryName", "Z:\\dev\\null", ""}),
    [](const ::testing::TestParamInfo<TargetCase>& test) { return std::string(test.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Files, SnapshotTarget,
    ::testing::Values(TargetCase{"longerThanADeviceName", "<folder>\\nullable.tvrec", "nullable.tvrec"},
                      TargetCase{"serialPortTen", "<folder>\\COM10.tvrec", "COM10.tvrec"},
                      TargetCase{"deviceNameWithinTheName", "<folder>\\my nul.tvrec", "my nul.tvrec"},
                      TargetCase{"deviceNameBeforeADash", "<folder>\\CON-notes.tvrec", "CON-notes.tvrec"},
                      TargetCase{"relativeToTheCurrentFolder", "auxiliary.tvrec", "auxiliary.tvrec"},
                      TargetCase{"longForm", "\\\\?\\<folder>\\long form.tvrec", "long form.tvrec"}),
    [](const ::testing::TestParamInfo<TargetCase>& test) { return std::string(test.param.name); });

}  // namespace
