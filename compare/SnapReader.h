// Sequential, buffered reading of a snapshot file's fields. Every field must
// arrive in full: the first short read makes this and every later read fail.
// A field that lies wholly in the buffer is taken from it in place, without
// a call; only a field that crosses the buffer's end goes the long way.
#pragma once

#include "seams/SnapFile.h"
#include "snapshot/SnapFormat.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CSnapReader {
public:
    explicit CSnapReader(IInputFile& file, uint32_t bufferSize = 64 * 1024);
    CSnapReader(const CSnapReader&) = delete;
    CSnapReader& operator=(const CSnapReader&) = delete;

    bool ReadBytes(void* data, uint32_t n);
    // Reads up to n bytes, fewer only at the end of the file; returns how
    // many. Never fails the reader.
    uint32_t ReadUpTo(void* data, uint32_t n);
    // Passes over n bytes, which must all be there.
    bool Skip(uint32_t n);
    // Whether the file holds no byte more.
    bool AtEnd();
    bool ReadU8(uint8_t& v);
    bool ReadU16(uint16_t& v)
    {
        if (!Holds(2))
            return ReadU16Across(v);
        v = GetLE16(Take(2));
        return true;
    }
    bool ReadU32(uint32_t& v)
    {
        if (!Holds(4))
            return ReadU32Across(v);
        v = GetLE32(Take(4));
        return true;
    }
    bool ReadU64(uint64_t& v)
    {
        if (!Holds(8))
            return ReadU64Across(v);
        v = GetLE64(Take(8));
        return true;
    }
    // A counted name: its 16-bit length, then that many bytes, kept up to the
    // first zero byte if it holds one.
    bool ReadName(std::string& name);
    // The same as a view of the bytes, valid until the next read.
    bool ReadName(std::string_view& name);

    bool Failed() const { return m_failed; }

private:
    bool Holds(uint32_t n) const { return m_end - m_begin >= n; }
    const uint8_t* Take(uint32_t n)
    {
        const uint8_t* at = m_pData + m_begin;
        m_begin += n;
        return at;
    }
    bool ReadU16Across(uint16_t& v);
    bool ReadU32Across(uint32_t& v);
    bool ReadU64Across(uint64_t& v);
    bool Fill();

    IInputFile& m_file;
    std::vector<uint8_t> m_buffer;
    uint8_t* m_pData;      // m_buffer's bytes
    uint32_t m_begin = 0;  // next unread byte in m_buffer
    uint32_t m_end = 0;    // bytes held in m_buffer
    bool m_atEnd = false;  // the file delivered fewer bytes than asked
    bool m_failed = false;
    std::string m_name;    // a name that crossed the buffer's end
};
