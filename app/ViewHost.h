// The frame's client pane: an empty area in the workspace colour, or the
// results view of a finished comparison, which it owns and offers every
// command first.
#pragma once

#include "framework/Wnd.h"

#include <memory>

class CViewHost : public CWnd {
public:
    CViewHost() = default;
    ~CViewHost() override;

    bool Create(CWnd* parent, UINT id);
    // Destroys the view shown (if any) and puts a fresh menu 128 on the main window.
    void CloseView();
    bool HasView() const { return m_pView != nullptr; }
    bool OnCmdMsg(UINT id) override;

protected:
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;

private:
    void OnSize();

    // The results views of the comparisons take this place.
    std::unique_ptr<CWnd> m_pView;
};
