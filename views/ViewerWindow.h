// The Windows side of a viewer handle: an item of the compare model owns one
// of these, which owns the modeless dialog that shows the item; and what
// every such dialog does with the keyboard and its close box.
#pragma once

#include "framework/Dialog.h"
#include "seams/Viewer.h"

#include <memory>

// A viewer's modeless dialog, without buttons: Enter and Escape hide it, so
// that the next request for the item shows it again, and the close box ends
// it (the item keeps the object).
class CViewerDlg : public CDialog {
public:
    using CDialog::CDialog;

protected:
    void OnOK() override;
    void OnCancel() override;
    bool PreTranslateMessage(MSG* msg) override;
    INT_PTR OnMessage(UINT msg, WPARAM w, LPARAM l) override;
};

class CDialogViewerWindow : public IViewerWindow {
public:
    // Takes a dialog that has been created modeless.
    explicit CDialogViewerWindow(std::unique_ptr<CDialog> dialog) : m_pDialog(std::move(dialog)) {}

    bool IsOpen() const override;
    void BringToFront() override;
    void Destroy() override;

    CDialog& GetDialog() const { return *m_pDialog; }

private:
    std::unique_ptr<CDialog> m_pDialog;
};
