// The frame's client pane: an empty area in the workspace colour, or the
// results view of a finished comparison, which it owns and offers every
// command first.
#pragma once

#include "framework/Wnd.h"
#include "views/CompareView.h"

#include <memory>

class CCompareMine;

class CViewHost : public CWnd {
public:
    CViewHost() = default;

    bool Create(CWnd* parent, UINT id);
    // Destroys the view shown (if any) and puts a fresh menu 128 on the main window.
    void CloseView();
    bool HasView() const { return m_pView != nullptr; }
    // The view stops filling or expanding its trees: the frame is about to close.
    void StopWork()
    {
        if (m_pView)
            m_pView->StopWork();
    }
    CCompareView* GetView() const { return m_pView.get(); }
    // Put menu 152 or 153 on the main window and a new registry or
    // file-system view of the result, which must outlive the view, over the
    // whole host.
    // entriesHidden: a filter hides entries of the result.
    void ShowRegistryResults(const CCompareMine& result, bool entriesHidden = false);
    void ShowFileSystemResults(const CCompareMine& result, bool entriesHidden = false);

protected:
    // The view's commands.
    bool OnCommand(UINT id, UINT code, HWND control) override;
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;

private:
    void ShowResults(std::unique_ptr<CCompareView> view, UINT menuId, const CCompareMine& result,
                     bool entriesHidden);
    void OnSize();

    std::unique_ptr<CCompareView> m_pView;
};
