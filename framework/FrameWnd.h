// A top-level frame with a menu bar, accelerators, a toolbar at the top, a
// status bar with one message pane and a client pane between them. The frame
// lays the three children out by their ids, toggles the two bars, and shows a
// command's prompt string (first line) in the status bar while its menu item
// or toolbar button is highlighted and its short name (second line) as the
// button's tooltip; "Ready" otherwise.
#pragma once

#include "framework/DockBar.h"
#include "framework/ImageList.h"
#include "framework/Menu.h"
#include "framework/Wnd.h"

#include <commctrl.h>

#include <memory>
#include <string>

// Child ids the frame's layout knows, and the bar toggles' commands.
constexpr UINT kIdToolBar = 59392;      // also the command that toggles it
constexpr UINT kIdStatusBar = 59393;    // also the command that toggles it
constexpr UINT kIdFirstPane = 59648;
constexpr UINT kIdleMessageStringId = 57345;

class CToolBar : public CWnd {
public:
    bool CreateEx(CWnd* parent, DWORD toolBarStyle, DWORD style, UINT id);
    // Buttons and pictures of toolbar resource `id` (with the bitmap of the same id).
    bool LoadToolBar(UINT id);
    int GetButtonCount() const { return static_cast<int>(SendMessage(TB_BUTTONCOUNT)); }
    // The command of a button, 0 for a separator.
    UINT GetItemID(int index) const;
    // Lays the buttons out in one column (each button on a row of its own)
    // or in one row.
    void SetVertical(bool vertical);
    // The extent of the buttons as they are laid out now.
    SIZE GetLayoutSize() const;

private:
    CImageList m_images;
};

// A status bar with one pane, the message pane.
class CStatusBar : public CWnd {
public:
    bool Create(CWnd* parent, DWORD style, UINT id);
    void SetPaneText(int pane, const char* text) const
    {
        SendMessage(SB_SETTEXTA, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(text));
    }
};

class CFrameWnd : public CWnd {
public:
    CFrameWnd() = default;

    // Creates the frame with title (string), menu, icon and accelerators of `id`.
    BOOL LoadFrame(UINT id, DWORD style, CWnd* parent = nullptr);
    HMENU GetDefaultMenu() const { return m_hMenuDefault; }
    // Puts a new menu on the frame, destroys the old one unless it is the
    // frame's default menu, and redraws the menu bar.
    void ReplaceMenu(CMenu menu);

    void RecalcLayout();
    void ShowControlBar(UINT barId, bool show);
    bool IsControlBarVisible(UINT barId) const;
    // Lets the user dock the toolbar on any edge or float it in a tool
    // window with this caption; it starts docked at the top. The toolbar
    // must be the frame's child with id kIdToolBar; it keeps the id inside
    // its strip, which takes the same id on the frame.
    bool EnableDocking(CToolBar& toolBar, const char* floatingCaption);
    // The toolbar's docking, when enabled.
    CToolBarDocking* GetDocking() const { return m_pDocking.get(); }
    void SetMessageText(const char* text) const;
    // The first line of a command's prompt string, or nothing when it has none.
    void ShowPrompt(UINT commandId) const;
    void ShowIdleMessage() const;
    // Shown instead of "Ready" while not empty: what the user must know
    // whatever the pointer passes over.
    void SetIdleMessage(const std::string& text);

    bool PreTranslateMessage(MSG* msg) override;

protected:
    virtual void PreCreateWindow(CREATESTRUCTA&) {}
    // Returns -1 to make the creation fail.
    virtual int OnCreate(CREATESTRUCTA*) { return 0; }
    // The bars' toggles. A frame with commands of its own handles them and
    // passes the others on to this one.
    bool OnCommand(UINT id, UINT code, HWND control) override;
    virtual void OnSetFocus(HWND) {}
    virtual void OnClose() { DestroyWindow(); }
    // The toolbar's tooltips and hot button; a frame that handles more
    // notifications passes the others on to this one.
    bool OnNotify(NMHDR* header, LRESULT& result) override;
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;

    // Checks the bars' items; a frame that checks its own items too passes
    // the menu on to this one.
    virtual void OnInitMenuPopup(HMENU menu);

private:
    std::string PromptPart(UINT id, int line) const;

    // The menu on the window goes with it, as the system has it; the default
    // menu, once another has taken its place, is kept here until the frame goes.
    HMENU m_hMenuDefault = nullptr;
    CMenu m_menuDefaultKept;
    CAccelerators m_accelerators;
    std::unique_ptr<CToolBarDocking> m_pDocking;
    std::string m_strTip;
    std::string m_strIdleMessage;
};
