// Sequential, buffered reading of a snapshot file's fields. Every field must
// arrive in full: the first short read makes this and every later read fail.
#pragma once

#include "seams/SnapFile.h"

#include <cstdint>
#include <string>
#include <vector>

class CSnapReader {
public:
    explicit CSnapReader(IInputFile& file, uint32_t bufferSize = 64 * 1024);
    CSnapReader(const CSnapReader&) = delete;
    CSnapReader& operator=(const CSnapReader&) = delete;

    bool ReadBytes(void* data, uint32_t n);
    bool ReadU8(uint8_t& v);
    bool ReadU16(uint16_t& v);
    bool ReadU32(uint32_t& v);
    bool ReadU64(uint64_t& v);
    // A counted name: its 16-bit length, then that many bytes, kept up to the
    // first zero byte if it holds one.
    bool ReadName(std::string& name);

    bool Failed() const { return m_failed; }

private:
    bool Fill();

    IInputFile& m_file;
    std::vector<uint8_t> m_buffer;
    uint32_t m_begin = 0;  // next unread byte in m_buffer
    uint32_t m_end = 0;    // bytes held in m_buffer
    bool m_atEnd = false;  // the file delivered fewer bytes than asked
    bool m_failed = false;
};
