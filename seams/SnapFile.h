// Byte streams that snapshot files are written to and read from. The Windows
// build implements them with CFile; the portable core also has a memory file
// and a standard-library file, so the formats can be tested without Windows.
#pragma once

#include <cstdint>

class IOutputFile {
public:
    virtual ~IOutputFile() = default;
    // Writes all n bytes at the current position; false if not all were written.
    virtual bool Write(const void* data, uint32_t n) = 0;
    // Moves to an absolute offset from the start of the file.
    virtual bool Seek(uint64_t offset) = 0;
    virtual uint64_t GetPosition() const = 0;
};

class IInputFile {
public:
    virtual ~IInputFile() = default;
    virtual bool SeekToBegin() = 0;
    // Reads up to n bytes; returns how many were read (fewer only at the end or on error).
    virtual uint32_t Read(void* data, uint32_t n) = 0;
};
