// Dialogs from resource templates, modal or modeless. One static procedure
// stores `this` at WM_INITDIALOG and hands every message to OnMessage, which
// splits out the handlers; exceptions stop at that procedure.
#pragma once

#include "framework/Wnd.h"

#include <string>

// Copies values between a dialog's controls and its fields: into the
// controls when the dialog opens, out of them when OK is pressed.
class CDataExchange {
public:
    CDataExchange(HWND dialog, bool saveAndValidate) : m_hDlg(dialog), m_bSave(saveAndValidate) {}
    bool IsSaving() const { return m_bSave; }
    void Text(int id, std::string& value);
    // The same as wide text, which a dialog made wide keeps whole.
    void Text(int id, std::wstring& value);
    void Check(int id, int& value);
    void Control(int id, CWnd& control);

private:
    HWND m_hDlg;
    bool m_bSave;
};

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr)
        : m_nTemplateId(templateId), m_pParent(parent) {}

    INT_PTR DoModal();
    // Creates the dialog modeless, hidden or shown as its template says.
    BOOL CreateModeless(CWnd* parent);
    void EndDialog(int result);
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    bool IsModal() const { return m_bModal; }

    // The modeless dialog of ours that `h` is, or null (for a modal one, any
    // other window, or a dialog of another procedure). The message pump uses
    // it to give these dialogs their keyboard, which a modal one gets from its
    // own loop.
    static CDialog* FromModelessHandle(HWND h);

protected:
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange&) {}
    // IDOK and IDCANCEL: OnOK and OnCancel.
    bool OnCommand(UINT id, UINT code, HWND control) override;
    virtual void OnOK();
    virtual void OnCancel();
    // Every message reaches this first; returns the dialog procedure's result.
    // What an override leaves alone goes here: the handlers above and CWnd's
    // OnCommand, OnNotify and OnContextMenu, whose result goes to
    // DWLP_MSGRESULT.
    virtual INT_PTR OnMessage(UINT msg, WPARAM w, LPARAM l);

    // Creates the dialog and its controls as Unicode windows, which keep
    // wide text (SetDlgItemTextW) whatever the code page holds; ANSI text
    // reaches them converted.
    void MakeWide() { m_bWide = true; }

    UINT m_nTemplateId;
    CWnd* m_pParent;

private:
    static INT_PTR CALLBACK DialogProc(HWND h, UINT msg, WPARAM w, LPARAM l);
    bool m_bModal = false;
    bool m_bWide = false;
};

HINSTANCE ResourceInstance();
