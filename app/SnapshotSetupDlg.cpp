#include "app/SnapshotSetupDlg.h"

#include "framework/File.h"
#include "framework/FileDialog.h"
#include "res/resource.h"

#include <cstdio>

const char* const kSetupCaption = "Pellix Corvane";
const char* const kSetupNoPath = "You must enter a path for the snap shot file.";
const char* const kSetupOverwrite = "Warning - File at specified location already exists.\n\nOverwrite?";
const char* const kSetupCreateError =
    "ERROR: Could not create snap shot file at specified location.  Please type another.\n\n"
    "Refer to Corvane Help for more information.";
const char* const kSetupSaveAsNote =
    "Note: The use of the \"Save As\" dialog may write values to the Windows Registry.\n\n"
    "Do you still want to use the \"Save As\" dialog?";

std::string DefaultSnapshotPath(int kind, const std::string& drive, const std::tm& when)
{
    const char* format = kind == 0 ? "\\Registry %H-%M-%S-%m-%d-%y.tvrec"
                                   : "\\FileSystem %H-%M-%S-%m-%d-%y.tvrec";
    char name[64];
    size_t n = std::strftime(name, sizeof name, format, &when);
    return drive + std::string(name, n);
}

CSnapshotSetupDlg::CSnapshotSetupDlg() : CDialog(IDD_SNAPSHOT_SETUP) {}

void CSnapshotSetupDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Control(IDC_SETUP_FULLPATHS, m_btnFullPaths);
    dx.Control(IDC_SETUP_REGISTRY, m_btnRegistry);
    dx.Control(IDC_SETUP_FILESYSTEM, m_btnFileSystem);
    dx.Control(IDC_SETUP_DRIVE_LABEL, m_lblDrive);
    dx.Control(IDC_SETUP_DRIVE, m_cbDrive);
    dx.Control(IDC_SETUP_PATH, m_editPath);
}

BOOL CSnapshotSetupDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_nKind = 0;
    DWORD drives = ::GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (drives & (1u << i)) {
            char entry[4];
            std::snprintf(entry, sizeof entry, "%c:", 'A' + i);
            m_cbDrive.AddString(entry);
        }
    }
    m_btnRegistry.SetCheck(BST_CHECKED);
    m_btnFileSystem.SetCheck(BST_UNCHECKED);
    m_btnFullPaths.SetCheck(BST_UNCHECKED);
    m_cbDrive.SetCurSel(0);
    OnKindClicked();
    return TRUE;
}

bool CSnapshotSetupDlg::OnCommand(WORD id, WORD code, HWND control)
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
    bool registry = m_nKind == 0;
    m_btnFullPaths.EnableWindow(registry);
    m_cbDrive.EnableWindow(!registry);
    m_lblDrive.EnableWindow(!registry);
    UpdateDefaultPath();
}

void CSnapshotSetupDlg::UpdateDefaultPath()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (const std::tm* t = std::localtime(&now))
        local = *t;
    m_editPath.SetWindowText(DefaultSnapshotPath(m_nKind, GetSelectedDrive(), local).c_str());
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
    {
        CFile existing;
        if (existing.Open(m_strPath.c_str(), CFile::modeRead | CFile::shareDenyNone)) {
            existing.Close();
            if (Ask(kSetupOverwrite, MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
                return;
        }
    }
    CFile created;
    if (!created.Open(m_strPath.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive)) {
        Ask(kSetupCreateError, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    created.Close();
    std::string drive = GetSelectedDrive();
    m_chDrive = drive.empty() ? 0 : drive[0];
    m_bFullIgnoredPaths = m_btnFullPaths.GetCheck() == BST_CHECKED;
    EndDialog(IDOK);
}
