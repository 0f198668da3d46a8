// Directory listing through FindFirstFileExW / FindNextFileW: every entry by
// the name the file system holds, in folders reached by paths of any length
// (with the \\?\ prefix).
#pragma once

#include <windows.h>

#include <cstdint>

class CFileFind {
public:
    CFileFind() = default;
    ~CFileFind() { Close(); }
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    // Starts a listing; true when it returned a first entry. When it did
    // not, Listed tells a folder that holds nothing from one that cannot be
    // listed.
    bool FindFirst(const wchar_t* pattern);
    // Whether the last FindFirst listed its folder, be it empty.
    bool Listed() const { return m_bListed; }
    // Moves to the next entry; false at the end of the listing.
    bool FindNext();
    void Close();

    const wchar_t* GetFileName() const { return m_data.cFileName; }
    bool IsDirectory() const { return (m_data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    bool IsDots() const;
    uint32_t GetLengthLow() const { return m_data.nFileSizeLow; }
    uint64_t GetCreationTime() const { return ToUInt64(m_data.ftCreationTime); }
    uint64_t GetLastWriteTime() const { return ToUInt64(m_data.ftLastWriteTime); }

    static uint64_t ToUInt64(const FILETIME& t)
    {
        return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    }

private:
    HANDLE m_h = INVALID_HANDLE_VALUE;
    bool m_bListed = false;
    WIN32_FIND_DATAW m_data{};
};
