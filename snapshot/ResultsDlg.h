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
};
