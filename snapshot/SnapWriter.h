// Buffered writing of a snapshot file with counts patched in place. Fields go
// out in file order; a count that becomes known later is patched at the offset
// noted when its placeholder was written, in the buffer while it is still
// there, else by seeking. A failed write or seek is remembered: from then on
// nothing more is written, and in particular never the final version word.
#pragma once

#include "seams/SnapFile.h"

#include <cstdint>
#include <string>
#include <vector>

class CSnapWriter {
public:
    explicit CSnapWriter(IOutputFile& file, uint32_t bufferSize = 256 * 1024);
    CSnapWriter(const CSnapWriter&) = delete;
    CSnapWriter& operator=(const CSnapWriter&) = delete;

    void PutU8(uint8_t v);
    void PutU16(uint16_t v);
    void PutU32(uint32_t v);
    void PutU64(uint64_t v);
    void PutBytes(const void* data, uint32_t n);
    // A counted name; a name longer than 65,535 bytes is cut there.
    void PutName(const char* name, size_t length);
    void PutName(const std::string& name) { PutName(name.data(), name.size()); }

    // Offset in the file of the next byte to be written.
    uint64_t Position() const { return m_bufferStart + m_buffer.size(); }
    // Overwrites 4 bytes written earlier at offset.
    void PatchU32(uint64_t offset, uint32_t v);

    // Writes everything buffered, then the version word and the 32-bit count
    // that follows it at offset 0. True when every write of the file succeeded.
    bool Finish(uint16_t version, uint32_t countAtOffset2);

    bool Flush();
    bool Failed() const { return m_failed; }

private:
    void Append(const void* data, uint32_t n);
    void WriteAt(uint64_t offset, const uint8_t* data, uint32_t n);

    IOutputFile& m_file;
    std::vector<uint8_t> m_buffer;
    uint32_t m_bufferSize;
    uint64_t m_bufferStart = 0;  // file offset of m_buffer[0]
    bool m_failed = false;
};
