// The results dialog: a finished snapshot's totals in a read-only text box.
#pragma once

#include "framework/Dialog.h"

#include <string>

class CResultsDlg : public CDialog {
public:
    explicit CResultsDlg(CWnd* parent = nullptr);
    std::string m_strResults;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    // Opens with the caret at the start of the text and nothing selected.
    BOOL OnInitDialog() override;
};

// Shows a finished snapshot's text modally from the worker thread, owned by
// the window the user last worked in (the progress window), so it stays on
// top of the program and has no taskbar button of its own.
void ShowSnapshotResults(const std::string& text);
