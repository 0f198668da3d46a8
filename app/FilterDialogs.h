// The dialogs of the results' commands: Filters..., the user's own patterns
// that hide entries, and Find..., the name to look for.
#pragma once

#include "framework/Controls.h"
#include "framework/Dialog.h"

#include <string>

extern const char* const kPatternFileTypes;

// The patterns one per line, as a pattern file holds them (the syntax of
// corvane-diff --exclude-from). Load... puts a file's lines in the box,
// Save As... writes the box to a file, and OK takes them only when every
// line can match something; otherwise the line is named and the dialog
// stays open. A Unicode dialog: a pattern may hold what the code page
// cannot, and the patterns are UTF-8 text.
class CFiltersDlg : public CDialog {
public:
    explicit CFiltersDlg(const std::string& patterns, CWnd* parent = nullptr);

    // The lines with CR LF between them, as the box holds them, in UTF-8.
    std::string m_strPatterns;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnOK() override;

    void OnLoad();
    void OnSaveAs();
    void Tell(const std::string& text, UINT icon) const;
    std::string BoxText() const;
    void SetBoxText(const std::string& utf8);

    CEdit m_editPatterns;
};

// A Unicode dialog: the name looked for may hold what the code page cannot.
class CFindDlg : public CDialog {
public:
    explicit CFindDlg(const std::wstring& text, CWnd* parent = nullptr);

    std::wstring m_strText;

protected:
    void DoDataExchange(CDataExchange& dx) override;
};

// Text with each line end, LF or CR LF, as CR LF: what a multi-line box shows.
std::string WithCrLf(const std::string& text);
