// Directory listing through FindFirstFileExW / FindNextFileW: every entry by
// the name the file system holds, in folders reached by paths of any length
// (with the \\?\ prefix).
#pragma once

#include "framework/Handle.h"

#include <windows.h>

#include <cstdint>

// A listing's handle, which FindClose ends.
struct CFindHandlePolicy {
    using Handle = HANDLE;
    static bool IsOpen(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static BOOL Close(HANDLE h) { return ::FindClose(h); }
};

class CFileFind {
public:

    // Starts a listing; true when it returned a first entry. When it did
    // not, Listed tells a folder that holds nothing from one that cannot be
    // listed.
    bool FindFirst(const wchar_t* pattern);
    // Whether the last FindFirst listed its folder, be it empty.
    bool Listed() const { return m_bListed; }
    // Moves to the next entry; false at the end of the listing.
    bool FindNext();
    void Close() { m_h.Close(); }

    const wchar_t* GetFileName() const { return m_data.cFileName; }
    bool IsDirectory() const { return (m_data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    DWORD GetAttributes() const { return m_data.dwFileAttributes; }
    bool IsDots() const;
    uint32_t GetLengthLow() const { return m_data.nFileSizeLow; }
    uint64_t GetLength() const { return static_cast<uint64_t>(m_data.nFileSizeHigh) << 32 | m_data.nFileSizeLow; }
    uint64_t GetCreationTime() const { return ToUInt64(m_data.ftCreationTime); }
    uint64_t GetLastWriteTime() const { return ToUInt64(m_data.ftLastWriteTime); }

    static uint64_t ToUInt64(const FILETIME& t)
    {
        return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    }

private:
    COwnedHandle<CFindHandlePolicy> m_h;
    bool m_bListed = false;
    WIN32_FIND_DATAW m_data{};
};
