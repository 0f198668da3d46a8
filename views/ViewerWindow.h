// The Windows side of a viewer handle: an item of the compare model owns one
// of these, which owns the modeless dialog that shows the item.
#pragma once

#include "framework/Dialog.h"
#include "seams/Viewer.h"

#include <memory>

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
