// The three windows that show a registry value's data as the snapshot
// recorded it: text, a number, or a hexadecimal dump or string list in a
// fixed-pitch font; each with a line that names the value's type. They are
// modeless viewers: Enter and Escape hide one, the close box ends it. A
// viewer reads the value once, when it opens, and never past its data.
#pragma once

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "seams/Viewer.h"
#include "views/ViewerWindow.h"

#include <memory>
#include <string>

class CRegVal;

// What the three viewers share: the caption, the two controls and the
// keyboard; each kind fills the controls.
class CRegValueDlg : public CViewerDlg {
public:
    CRegValueDlg(UINT templateId, std::string title, const CRegVal& value, CWnd* parent);

protected:
    void DoDataExchange(CDataExchange& dx) override;
    // Sets the caption and the content; the content takes the focus.
    BOOL OnInitDialog() override;
    virtual void ShowValue() = 0;
    // Puts the value's strings in the content, as the registry held them
    // where the snapshot kept them (exactText), else as recorded.
    void ShowStrings(std::u16string (*exactText)(const char16_t*, uint32_t),
                     std::string (*recordedText)(const uint8_t*, uint32_t));

    CStatic m_staticType;
    CEdit m_editValue;
    const CRegVal* m_pValue;
    std::string m_strTitle;
};

// REG_SZ and REG_EXPAND_SZ, unexpanded.
class CRegStringDlg : public CRegValueDlg {
public:
    CRegStringDlg(std::string title, const CRegVal& value, CWnd* parent);

protected:
    void ShowValue() override;
};

// REG_DWORD in decimal.
class CRegDwordDlg : public CRegValueDlg {
public:
    CRegDwordDlg(std::string title, const CRegVal& value, CWnd* parent);

protected:
    void ShowValue() override;
};

// Every other type a viewer shows: REG_MULTI_SZ as one string per line, the
// rest as a hexadecimal dump.
class CRegBinaryDlg : public CRegValueDlg {
public:
    CRegBinaryDlg(std::string title, const CRegVal& value, CWnd* parent);

protected:
    void ShowValue() override;
    void ShowHexDump();
    void ShowStringList();

    CFont m_font;
};

// Opens the viewer of the kind, owned by parent and shown at once; null when
// it could not be created.
std::unique_ptr<CDialogViewerWindow> OpenRegValueWindow(RegViewerKind kind, const std::string& caption,
                                                        const CRegVal& value, CWnd* parent);

// The face of the dump's font.
extern const char* const kHexDumpFont;
