// A file opened for reading or writing with seeking.
#pragma once

#include "framework/Handle.h"

#include <windows.h>

#include <cstdint>

class CFile {
public:
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareExclusive = 0x0010,   // no other opener, not even this process
        shareDenyWrite = 0x0020,
        shareDenyNone = 0x0040,
        modeCreate = 0x1000,       // create, or truncate an existing file
    };

    CFile() = default;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    bool Open(const char* path, unsigned flags);
    // By the wide name, exactly as given.
    bool Open(const wchar_t* path, unsigned flags);
    void Close() { m_h.Close(); }
    bool IsOpen() const { return m_h.IsOpen(); }
    HANDLE Handle() const { return m_h.Get(); }

    bool Write(const void* data, uint32_t n);
    bool Seek(uint64_t offset);
    uint64_t GetPosition() const;
    bool SeekToBegin() { return Seek(0); }
    uint32_t Read(void* data, uint32_t n);
    uint64_t GetLength() const;

private:
    struct CreateArgs {
        DWORD access, share, disposition;
    };
    static CreateArgs ArgsOf(unsigned flags);

    CHandle m_h;
};
