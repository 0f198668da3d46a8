// "Snap Shot Setup": the kind of snapshot, the registry option, the drive,
// whether the files' contents are hashed, the snapshot file's path, and the
// folders or keys a snapshot of chosen places records. On "Take Snapshot" the places have been taken by the rules of
// corvane-snap and the file has been created (or emptied), so the snapshot
// starts with places that exist and a file known to be writable.
#pragma once

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "snapshot/ChosenPlaces.h"

#include <ctime>
#include <string>

extern const char* const kSetupCaption;
extern const char* const kSetupNoPath;
extern const char* const kSetupOverwrite;
extern const char* const kSetupCreateError;
extern const char* const kSetupSaveAsNote;
extern const char* const kSetupNoPlaces;

// The proposed file name of a snapshot of `kind` on `drive` (e.g. "C:") at `when`.
std::string DefaultSnapshotPath(int kind, const std::string& drive, const std::tm& when);

// The local time now, for the names proposed.
std::tm LocalNow();

// Adds every logical drive, "A:" to "Z:" in letter order, whatever its type.
void FillDriveList(const CComboBox& list);

class CSnapshotSetupDlg : public CDialog {
public:
    CSnapshotSetupDlg();

    std::string m_strPath;
    char m_chDrive = 0;
    BOOL m_bFullIgnoredPaths = FALSE;
    bool m_bHashContents = false;  // of a file-system snapshot
    int m_nKind = 0;
    // The folders or keys chosen, none for the whole drive or registry; for
    // folders the drive is theirs.
    CChosenPlaces m_places;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnOK() override;

    void OnBrowse();
    void OnKindClicked();
    void UpdateDefaultPath();
    // Enables the places' box while "Only these..." is ticked, and the drive
    // list for a whole drive only.
    void UpdateChosen();
    // Takes the places typed, false with the refusal told.
    bool TakePlaces();
    std::string GetSelectedDrive() const;
    // A message box of this dialog, with the caption "Pellix Corvane".
    int Ask(const char* text, UINT type) const;

    CButton m_btnFullPaths;
    CButton m_btnHash;
    CButton m_btnRegistry;
    CButton m_btnFileSystem;
    CStatic m_lblDrive;
    CComboBox m_cbDrive;
    CEdit m_editPath;
    CButton m_btnChosen;
    CEdit m_editPlaces;
};
