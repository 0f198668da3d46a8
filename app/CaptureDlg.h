// "Capture": what a program changes, asked for in the window. The program and
// its arguments (Browse... picks the program), what to record (the file
// system of a drive, its files' contents hashed or not, the registry, or
// both; everything, or only the folders and keys typed one a line), where
// the files go, and how long to wait after the program for work it handed on. On "Capture" the request has been
// checked by the capture's own rules, with its refusal in a box.
#pragma once

#include "capture/Capture.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"

#include <ctime>
#include <functional>
#include <string>

extern const char* const kCaptureNoProgram;
extern const char* const kCaptureNothingRecorded;
extern const char* const kCaptureBadSettle;
extern const char* const kCaptureProgramTypes;

// The proposed folder of a capture on drive (e.g. "C:") at when.
std::string DefaultCaptureFolder(const std::string& drive, const std::tm& when);

class CCaptureDlg : public CDialog {
public:
    // check: the capture's check of a request; the refusal, or "".
    explicit CCaptureDlg(std::function<std::string(const CCaptureRequest&)> check, CWnd* parent = nullptr);

    CCaptureRequest m_request;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnOK() override;

    void OnBrowse();
    void UpdateControls();
    void Tell(const std::string& text, UINT icon) const;

    std::function<std::string(const CCaptureRequest&)> m_check;
    CEdit m_editProgram, m_editArguments, m_editPlaces, m_editFolder, m_editSettle;
    CButton m_btnFileSystem, m_btnHash, m_btnRegistry, m_btnChosen;
    CComboBox m_cbDrive;
};
