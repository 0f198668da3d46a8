// The properties window of one file: name, full path, both times and size,
// and, for a snapshot taken with hashes, the content's hash, in read-only
// fields the user can select and copy from. It is modeless:
// Enter and Escape hide it, so that it can be shown again, and its close box
// destroys it.
#pragma once

#include "compare/FileProperties.h"
#include "framework/Dialog.h"
#include "seams/Viewer.h"
#include "views/ViewerWindow.h"

#include <memory>
#include <string>

class CFilePropertiesDlg : public CViewerDlg {
public:
    explicit CFilePropertiesDlg(CWnd* parent = nullptr);

    std::string m_strTitle;
    std::string m_strCreated;
    std::string m_strModified;
    std::string m_strName;
    std::string m_strFullPath;
    std::string m_strSize;
    std::string m_strHash;  // empty: the snapshot was taken without hashes
    std::u16string m_exactTitle, m_exactName, m_exactFullPath;  // empty: the recorded names are exact

protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    INT_PTR OnMessage(UINT msg, WPARAM w, LPARAM l) override;

private:
    void ShowHashRow();
};

// Opens a properties window of texts owned by parent, shown at once; null
// when it could not be created.
std::unique_ptr<CDialogViewerWindow> OpenFilePropertiesWindow(const CFilePropertiesTexts& texts, CWnd* parent);
