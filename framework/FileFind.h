// Directory listing through FindFirstFileA / FindNextFileA.
#pragma once

#include <windows.h>

#include <cstdint>

class CFileFind {
public:
    CFileFind() = default;
    ~CFileFind() { Close(); }
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    // Starts a listing; true when it returned a first entry.
    bool FindFirst(const char* pattern);
    // Moves to the next entry; false at the end of the listing.
    bool FindNext();
    void Close();

    const char* GetFileName() const { return m_data.cFileName; }
    bool IsDirectory() const { return (m_data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    bool IsDots() const;
    uint32_t GetLengthLow() const { return m_data.nFileSizeLow; }
    uint64_t GetLength() const
    {
        return (static_cast<uint64_t>(m_data.nFileSizeHigh) << 32) | m_data.nFileSizeLow;
    }
    uint64_t GetCreationTime() const { return ToUInt64(m_data.ftCreationTime); }
    uint64_t GetLastWriteTime() const { return ToUInt64(m_data.ftLastWriteTime); }
    const WIN32_FIND_DATAA& Data() const { return m_data; }

    static uint64_t ToUInt64(const FILETIME& t)
    {
        return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    }

private:
    HANDLE m_h = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA m_data{};
};
