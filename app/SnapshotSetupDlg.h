// "Snap Shot Setup": the kind of snapshot, the registry option, the drive and
// the snapshot file's path. On "Take Snapshot" the file has been created (or
// emptied), so the snapshot starts with a file known to be writable.
#pragma once

#include "framework/Controls.h"
#include "framework/Dialog.h"

#include <ctime>
#include <string>

extern const char* const kSetupCaption;
extern const char* const kSetupNoPath;
extern const char* const kSetupOverwrite;
extern const char* const kSetupCreateError;
extern const char* const kSetupSaveAsNote;

// The proposed file name of a snapshot of `kind` on `drive` (e.g. "C:") at `when`.
std::string DefaultSnapshotPath(int kind, const std::string& drive, const std::tm& when);

class CSnapshotSetupDlg : public CDialog {
public:
    CSnapshotSetupDlg();

    std::string m_strPath;
    char m_chDrive = 0;
    BOOL m_bFullIgnoredPaths = FALSE;
    int m_nKind = 0;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnOK() override;

    void OnBrowse();
    void OnKindClicked();
    void UpdateDefaultPath();
    std::string GetSelectedDrive() const;
    // A message box of this dialog, with the caption "Pellix Corvane".
    int Ask(const char* text, UINT type) const;

    CButton m_btnFullPaths;
    CButton m_btnRegistry;
    CButton m_btnFileSystem;
    CStatic m_lblDrive;
    CComboBox m_cbDrive;
    CEdit m_editPath;
};
