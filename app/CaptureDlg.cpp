#include "app/CaptureDlg.h"

#include "app/SnapshotSetupDlg.h"
#include "compare/AnsiChars.h"
#include "framework/AnsiName.h"
#include "framework/FileDialog.h"
#include "operation/AppMessages.h"
#include "res/resource.h"
#include "snapshot/RegSnap.h"
#include "snapshot/TypedPlaces.h"

#include <cwchar>

const char* const kCaptureNoProgram = "You must enter the program to run.";
const char* const kCaptureNothingRecorded = "Choose what to record: the file system, the registry, or both.";
const char* const kCaptureBadSettle = "The wait after the program must be a number of seconds from 0 to 3600.";
const char* const kCaptureProgramTypes =
    "Programs and installers (*.exe;*.msi;*.cmd;*.bat)|*.exe;*.msi;*.cmd;*.bat|All files (*.*)|*.*||";

std::string DefaultCaptureFolder(const std::string& drive, const std::tm& when)
{
    char name[64];
    size_t n = std::strftime(name, sizeof name, "\\Corvane Captures\\Capture %H-%M-%S-%m-%d-%y", &when);
    return drive + std::string(name, n);
}

// A Unicode dialog: the program, its arguments, folders and keys are taken
// by the names typed.
CCaptureDlg::CCaptureDlg(std::function<std::string(const CCaptureRequest&)> check, CWnd* parent)
    : CDialog(IDD_CAPTURE, parent), m_check(std::move(check))
{
    MakeWide();
}

void CCaptureDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Control(IDC_CAPTURE_PROGRAM, m_editProgram);
    dx.Control(IDC_CAPTURE_ARGUMENTS, m_editArguments);
    dx.Control(IDC_CAPTURE_FS, m_btnFileSystem);
    dx.Control(IDC_CAPTURE_DRIVE, m_cbDrive);
    dx.Control(IDC_CAPTURE_HASH, m_btnHash);
    dx.Control(IDC_CAPTURE_REG, m_btnRegistry);
    dx.Control(IDC_CAPTURE_CHOSEN, m_btnChosen);
    dx.Control(IDC_CAPTURE_PLACES, m_editPlaces);
    dx.Control(IDC_CAPTURE_FOLDER, m_editFolder);
    dx.Control(IDC_CAPTURE_SETTLE, m_editSettle);
}

BOOL CCaptureDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    FillDriveList(m_cbDrive);
    // The system drive, where installers write.
    char windows[MAX_PATH] = "C";
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string system = std::string(1, windows[0]) + ":";
    m_cbDrive.SetCurSel(0);
    for (int i = 0; i < m_cbDrive.GetCount(); ++i)
        if (_stricmp(m_cbDrive.GetLBText(i).c_str(), system.c_str()) == 0)
            m_cbDrive.SetCurSel(i);
    m_btnFileSystem.SetCheck(BST_CHECKED);
    m_btnRegistry.SetCheck(BST_CHECKED);
    m_editFolder.SetWindowText(DefaultCaptureFolder(system, LocalNow()).c_str());
    m_editSettle.SetWindowText("0");
    UpdateControls();
    return TRUE;
}

bool CCaptureDlg::OnCommand(UINT id, UINT code, HWND control)
{
    switch (id) {
    case IDC_CAPTURE_BROWSE:
        if (code == BN_CLICKED)
            OnBrowse();
        return true;
    case IDC_CAPTURE_FS:
    case IDC_CAPTURE_REG:
    case IDC_CAPTURE_CHOSEN:
        if (code == BN_CLICKED)
            UpdateControls();
        return true;
    default:
        return CDialog::OnCommand(id, code, control);
    }
}

void CCaptureDlg::UpdateControls()
{
    const bool chosen = m_btnChosen.GetCheck() == BST_CHECKED;
    m_editPlaces.EnableWindow(chosen);
    m_cbDrive.EnableWindow(m_btnFileSystem.GetCheck() == BST_CHECKED);
    m_btnHash.EnableWindow(m_btnFileSystem.GetCheck() == BST_CHECKED);
}

void CCaptureDlg::Tell(const std::string& text, UINT icon) const
{
    MessageBox(text.c_str(), kProgramCaption, MB_OK | icon);
}

void CCaptureDlg::OnBrowse()
{
    CFileDialog open(true, "exe", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kCaptureProgramTypes, this);
    open.SetTitle("Program to Capture");
    if (open.DoModal())
        m_editProgram.SetWindowText(open.GetPathName().c_str());
}

void CCaptureDlg::OnOK()
{
    CCaptureRequest request;
    std::vector<std::wstring> program = PlaceLines(m_editProgram.GetWindowTextWide());
    if (program.empty()) {
        Tell(kCaptureNoProgram, MB_ICONINFORMATION);
        return;
    }
    request.program = program.front();
    // Quotes typed around a program's path are no part of its name.
    if (request.program.size() > 1 && request.program.front() == L'"' && request.program.back() == L'"')
        request.program = request.program.substr(1, request.program.size() - 2);
    request.argumentLine = m_editArguments.GetWindowTextWide();
    request.fileSystem = m_btnFileSystem.GetCheck() == BST_CHECKED;
    request.registry = m_btnRegistry.GetCheck() == BST_CHECKED;
    request.hash = request.fileSystem && m_btnHash.GetCheck() == BST_CHECKED;
    if (!request.fileSystem && !request.registry) {
        Tell(kCaptureNothingRecorded, MB_ICONINFORMATION);
        return;
    }
    std::string drive = m_cbDrive.GetLBText(m_cbDrive.GetCurSel());
    request.drive = drive.empty() ? 0 : drive[0];
    // Keys begin with their root; every other line is a folder. A kind
    // without places of its own is recorded whole.
    if (m_btnChosen.GetCheck() == BST_CHECKED) {
        for (const std::wstring& place : PlaceLines(m_editPlaces.GetWindowTextWide())) {
            const bool key = BeginsWithARegistryRoot(place);
            if (!(key ? request.registry : request.fileSystem)) {
                Tell(ShownName(StrictAnsiName(place)) + (key ? " is a key, but the registry is not recorded."
                                                             : " is a folder, but the file system is not recorded."),
                     MB_ICONINFORMATION);
                return;
            }
            (key ? request.keys : request.folders).push_back(place);
        }
    }
    request.folder = m_editFolder.GetWindowTextWide();
    const std::wstring settle = m_editSettle.GetWindowTextWide();
    wchar_t* end = nullptr;
    unsigned long seconds = std::wcstoul(settle.c_str(), &end, 10);
    if (settle.empty() || *end != 0 || settle[0] == L'-' || settle[0] == L'+' || seconds > 3600) {
        Tell(kCaptureBadSettle, MB_ICONINFORMATION);
        return;
    }
    request.settleSeconds = static_cast<unsigned>(seconds);
    std::string refusal = m_check(request);
    if (!refusal.empty()) {
        Tell(refusal, MB_ICONINFORMATION);
        return;
    }
    m_request = std::move(request);
    EndDialog(IDOK);
}
