// The standard Open and Save As dialogs.
#pragma once

#include "framework/Wnd.h"

#include <string>

class CFileDialog {
public:
    // filter: entries as "Text|pattern|", ending with an extra "|".
    CFileDialog(bool open, const char* defaultExtension, const char* fileName, DWORD flags,
                const char* filter, CWnd* owner);

    // The dialog's caption; the system's own when none is set.
    void SetTitle(const char* title) { m_strTitle = title ? title : ""; }
    // True when the user confirmed a file.
    bool DoModal();
    const std::string& GetPathName() const { return m_strPath; }
    // The entry of the filter chosen, from 1; the first until DoModal.
    int GetFilterIndex() const { return m_nFilterIndex; }

private:
    bool m_bOpen;
    std::string m_strExtension;
    std::string m_strFileName;
    std::string m_strTitle;
    std::string m_strFilter;  // with NUL separators
    DWORD m_nFlags;
    HWND m_hOwner;
    std::string m_strPath;
    int m_nFilterIndex = 1;
};
