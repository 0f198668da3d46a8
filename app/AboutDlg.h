// The About box: version, description, the licence agreement (black on
// white in a read-only box) and a button that opens the maker's web site.
#pragma once

#include "framework/Controls.h"
#include "framework/Dialog.h"

extern const char* const kMakerHomePage;
extern const char* const kLicenceText;

class CAboutDlg : public CDialog {
public:
    CAboutDlg();

protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    INT_PTR OnMessage(UINT msg, WPARAM w, LPARAM l) override;
    // Opens a web page in the user's browser.
    virtual void OpenWebPage(const char* url);

    CEdit m_editLicence;
};

// The About box's client width, unless its template needs more.
constexpr int kAboutClientWidth = 350;
