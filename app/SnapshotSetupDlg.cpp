#include "app/SnapshotSetupDlg.h"

#include "compare/AnsiChars.h"
#include "framework/File.h"
#include "framework/FileDialog.h"
#include "res/resource.h"
#include "snapshot/TypedPlaces.h"

#include <cctype>
#include <cstdio>
#include <cstring>

const char* const kSetupCaption = "Pellix Corvane";
const char* const kSetupNoPath = "You must enter a path for the snap shot file.";
const char* const kSetupOverwrite = "Warning - File at specified location already exists.\n\nOverwrite?";
const char* const kSetupCreateError =
    "ERROR: Could not create snap shot file at specified location.  Please type another.\n\n"
    "Refer to Corvane Help for more information.";
const char* const kSetupSaveAsNote =
    "Note: The use of the \"Save As\" dialog may write values to the Windows Registry.\n\n"
    "Do you still want to use the \"Save As\" dialog?";

const char* const kSetupNoPlaces = "You must enter the folders or keys to record, one a line.";

std::string DefaultSnapshotPath(int kind, const std::string& drive, const std::tm& when)
{
    const char* format = kind == 0 ? "\\Registry %H-%M-%S-%m-%d-%y.tvrec"
                                   : "\\FileSystem %H-%M-%S-%m-%d-%y.tvrec";
    char name[64];
    size_t n = std::strftime(name, sizeof name, format, &when);
    return drive + std::string(name, n);
}

namespace {

bool SameText(const std::string& a, const char* b)
{
    return _stricmp(a.c_str(), b) == 0;
}

// Whether the last part of the path names a device in every folder: CON,
// NUL, COM1 ..., with or without an extension, trailing spaces or a colon
// ("nul.tvrec", "COM1:", "con .txt"). Not every version of Windows treats
// each of these as a device; Corvane refuses them all alike.
bool IsReservedName(const std::string& path)
{
    size_t slash = FindLastAnsiCharOf(path, "\\/");
    std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    name = name.substr(0, name.find_first_of(".:"));
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    for (const char* reserved : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (SameText(name, reserved))
            return true;
    // COM0 to COM9 and LPT0 to LPT9, the superscript digits 1 to 3 of code page 1252 too.
    if (name.size() != 4 || !(SameText(name.substr(0, 3), "COM") || SameText(name.substr(0, 3), "LPT")))
        return false;
    return std::strchr("0123456789\xB9\xB2\xB3", name[3]) != nullptr;
}

// Whether the path, as typed, names something other than a file in a folder:
// a device, a pipe or a mailslot, a disk or volume itself. Decided from the
// name alone, so that no device is ever opened to find out.
bool NamesADevice(const std::string& path)
{
    char full[MAX_PATH * 2];
    DWORD n = ::GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    // A path too long to resolve here is left to the file system to refuse.
    std::string resolved = n > 0 && n < sizeof full ? std::string(full, n) : path;
    if (IsReservedName(path) || IsReservedName(resolved))
        return true;
    if (resolved.compare(0, 2, "\\\\") != 0)
        return false;
    if (resolved.compare(0, 4, "\\\\.\\") == 0 || resolved.compare(0, 4, "\\\\?\\") == 0) {
        // The device namespace: only a drive's own folders hold files.
        std::string rest = resolved.substr(4);
        bool onADrive = rest.size() > 3 && std::isalpha(static_cast<unsigned char>(rest[0])) && rest[1] == ':' &&
                        rest[2] == '\\';
        return !onADrive && !(rest.size() > 4 && SameText(rest.substr(0, 4), "UNC\\"));
    }
    // \\server\share\...: the pipes and mailslots of another machine.
    size_t share = FindAnsiChar(resolved, '\\', 2);
    if (share == std::string::npos)
        return false;
    std::string shareName = resolved.substr(share + 1, FindAnsiChar(resolved, '\\', share + 1) - share - 1);
    return SameText(shareName, "PIPE") || SameText(shareName, "MAILSLOT");
}

// Whether an open handle is one of a file on a disk, not of a device that a
// name did not betray (a link to one, say).
bool IsDiskFile(const CFile& file)
{
    return ::GetFileType(file.Handle()) == FILE_TYPE_DISK;
}

}  // namespace

std::tm LocalNow()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (const std::tm* t = std::localtime(&now))
        local = *t;
    return local;
}

void FillDriveList(const CComboBox& list)
{
    DWORD drives = ::GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (drives & (1u << i)) {
            char entry[4];
            std::snprintf(entry, sizeof entry, "%c:", 'A' + i);
            list.AddString(entry);
        }
    }
}

// A Unicode dialog: folders and keys are taken by the names typed.
CSnapshotSetupDlg::CSnapshotSetupDlg() : CDialog(IDD_SNAPSHOT_SETUP)
{
    MakeWide();
}

void CSnapshotSetupDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Control(IDC_SETUP_FULLPATHS, m_btnFullPaths);
    dx.Control(IDC_SETUP_HASH, m_btnHash);
    dx.Control(IDC_SETUP_REGISTRY, m_btnRegistry);
    dx.Control(IDC_SETUP_FILESYSTEM, m_btnFileSystem);
    dx.Control(IDC_SETUP_DRIVE_LABEL, m_lblDrive);
    dx.Control(IDC_SETUP_DRIVE, m_cbDrive);
    dx.Control(IDC_SETUP_PATH, m_editPath);
    dx.Control(IDC_SETUP_CHOSEN, m_btnChosen);
    dx.Control(IDC_SETUP_PLACES, m_editPlaces);
}

BOOL CSnapshotSetupDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_nKind = 0;
    FillDriveList(m_cbDrive);
    m_btnRegistry.SetCheck(BST_CHECKED);
    m_btnFileSystem.SetCheck(BST_UNCHECKED);
    m_btnFullPaths.SetCheck(BST_UNCHECKED);
    m_btnHash.SetCheck(BST_UNCHECKED);
    m_cbDrive.SetCurSel(0);
    OnKindClicked();
    return TRUE;
}

bool CSnapshotSetupDlg::OnCommand(UINT id, UINT code, HWND control)
{
    switch (id) {
    case IDC_SETUP_BROWSE:
        if (code == BN_CLICKED)
            OnBrowse();
        return true;
    case IDC_SETUP_REGISTRY:
    case IDC_SETUP_FILESYSTEM:
        if (code == BN_CLICKED)
            OnKindClicked();
        return true;
    case IDC_SETUP_CHOSEN:
        if (code == BN_CLICKED)
            UpdateChosen();
        return true;
    default:
        return CDialog::OnCommand(id, code, control);
    }
}

void CSnapshotSetupDlg::OnKindClicked()
{
    if (m_btnRegistry.GetCheck() == BST_CHECKED)
        m_nKind = 0;
    else if (m_btnFileSystem.GetCheck() == BST_CHECKED)
        m_nKind = 1;
    m_btnFullPaths.EnableWindow(m_nKind == 0);
    m_btnHash.EnableWindow(m_nKind == 1);
    UpdateChosen();
    UpdateDefaultPath();
}

void CSnapshotSetupDlg::UpdateChosen()
{
    const bool chosen = m_btnChosen.GetCheck() == BST_CHECKED;
    m_editPlaces.EnableWindow(chosen);
    // Chosen folders are on their own drive.
    const bool wholeDrive = m_nKind == 1 && !chosen;
    m_cbDrive.EnableWindow(wholeDrive);
    m_lblDrive.EnableWindow(wholeDrive);
}

bool CSnapshotSetupDlg::TakePlaces()
{
    m_places = CChosenPlaces();
    if (m_btnChosen.GetCheck() != BST_CHECKED)
        return true;
    std::vector<std::wstring> typed = PlaceLines(m_editPlaces.GetWindowTextWide());
    std::string refusal = typed.empty() ? kSetupNoPlaces : ChooseTypedPlaces(m_nKind == 1, typed, m_places);
    if (refusal.empty())
        return true;
    m_places = CChosenPlaces();
    Ask(ShownName(refusal).c_str(), MB_OK | MB_ICONINFORMATION);
    return false;
}

void CSnapshotSetupDlg::UpdateDefaultPath()
{
    m_editPath.SetWindowText(DefaultSnapshotPath(m_nKind, GetSelectedDrive(), LocalNow()).c_str());
}

std::string CSnapshotSetupDlg::GetSelectedDrive() const
{
    return m_cbDrive.GetLBText(m_cbDrive.GetCurSel());
}

int CSnapshotSetupDlg::Ask(const char* text, UINT type) const
{
    return MessageBox(text, kSetupCaption, type);
}

void CSnapshotSetupDlg::OnBrowse()
{
    if (m_nKind == 0 && Ask(kSetupSaveAsNote, MB_YESNO | MB_ICONINFORMATION) != IDYES)
        return;
    CFileDialog saveAs(false, "tvrec", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       "Snap Shot (*.tvrec)|*.tvrec||", this);
    if (saveAs.DoModal())
        m_editPath.SetWindowText(saveAs.GetPathName().c_str());
}

void CSnapshotSetupDlg::OnOK()
{
    m_strPath = m_editPath.GetWindowText();
    if (m_strPath.empty()) {
        Ask(kSetupNoPath, MB_OK | MB_ICONINFORMATION);
        return;
    }
    // A device would take the snapshot and keep nothing, or block, or send
    // it down a line: only a file on a disk will do.
    if (NamesADevice(m_strPath)) {
        Ask(kSetupCreateError, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // Places are refused before any file is touched.
    if (!TakePlaces())
        return;
    {
        CFile existing;
        if (existing.Open(m_strPath.c_str(), CFile::modeRead | CFile::shareDenyNone)) {
            bool disk = IsDiskFile(existing);
            existing.Close();
            if (!disk) {
                Ask(kSetupCreateError, MB_OK | MB_ICONEXCLAMATION);
                return;
            }
            if (Ask(kSetupOverwrite, MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
                return;
        }
    }
    CFile created;
    if (!created.Open(m_strPath.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive) ||
        !IsDiskFile(created)) {
        Ask(kSetupCreateError, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    created.Close();
    std::string drive = m_nKind == 1 && !m_places.Empty() ? m_places.Roots().front().recorded : GetSelectedDrive();
    m_chDrive = drive.empty() ? 0 : drive[0];
    m_bFullIgnoredPaths = m_btnFullPaths.GetCheck() == BST_CHECKED;
    m_bHashContents = m_nKind == 1 && m_btnHash.GetCheck() == BST_CHECKED;
    EndDialog(IDOK);
}
