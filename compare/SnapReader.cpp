#include "compare/SnapReader.h"

#include "snapshot/SnapFormat.h"

#include <cstring>

CSnapReader::CSnapReader(IInputFile& file, uint32_t bufferSize)
    : m_file(file), m_buffer(bufferSize ? bufferSize : 1), m_pData(m_buffer.data())
{
}

bool CSnapReader::Fill()
{
    if (m_atEnd)
        return false;
    uint32_t size = static_cast<uint32_t>(m_buffer.size());
    uint32_t got = m_file.Read(m_buffer.data(), size);
    if (got > size)
        got = 0;  // a file that claims more than was asked is not believed
    if (got < size)
        m_atEnd = true;
    m_begin = 0;
    m_end = got;
    return got != 0;
}

bool CSnapReader::ReadBytes(void* data, uint32_t n)
{
    uint8_t* out = static_cast<uint8_t*>(data);
    while (!m_failed && n > 0) {
        if (m_begin == m_end && !Fill()) {
            m_failed = true;
            break;
        }
        uint32_t chunk = m_end - m_begin < n ? m_end - m_begin : n;
        std::memcpy(out, m_buffer.data() + m_begin, chunk);
        m_begin += chunk;
        out += chunk;
        n -= chunk;
    }
    return !m_failed;
}

uint32_t CSnapReader::ReadUpTo(void* data, uint32_t n)
{
    uint8_t* out = static_cast<uint8_t*>(data);
    uint32_t got = 0;
    while (!m_failed && got < n) {
        if (m_begin == m_end && !Fill())
            break;
        uint32_t chunk = m_end - m_begin < n - got ? m_end - m_begin : n - got;
        std::memcpy(out + got, m_buffer.data() + m_begin, chunk);
        m_begin += chunk;
        got += chunk;
    }
    return got;
}

bool CSnapReader::Skip(uint32_t n)
{
    while (!m_failed && n > 0) {
        if (m_begin == m_end && !Fill()) {
            m_failed = true;
            break;
        }
        uint32_t chunk = m_end - m_begin < n ? m_end - m_begin : n;
        m_begin += chunk;
        n -= chunk;
    }
    return !m_failed;
}

bool CSnapReader::AtEnd()
{
    return m_begin == m_end && !Fill();
}

bool CSnapReader::ReadU8(uint8_t& v)
{
    return ReadBytes(&v, 1);
}

bool CSnapReader::ReadU16Across(uint16_t& v)
{
    uint8_t b[2];
    if (!ReadBytes(b, 2))
        return false;
    v = GetLE16(b);
    return true;
}

bool CSnapReader::ReadU32Across(uint32_t& v)
{
    uint8_t b[4];
    if (!ReadBytes(b, 4))
        return false;
    v = GetLE32(b);
    return true;
}

bool CSnapReader::ReadU64Across(uint64_t& v)
{
    uint8_t b[8];
    if (!ReadBytes(b, 8))
        return false;
    v = GetLE64(b);
    return true;
}

bool CSnapReader::ReadName(std::string& name)
{
    std::string_view view;
    if (!ReadName(view))
        return false;
    name.assign(view.data(), view.size());
    return true;
}

bool CSnapReader::ReadName(std::string_view& name)
{
    uint16_t length;
    if (!ReadU16(length))
        return false;
    const char* bytes;
    if (Holds(length)) {
        bytes = reinterpret_cast<const char*>(Take(length));
    } else {
        m_name.resize(length);
        if (!ReadBytes(&m_name[0], length))
            return false;
        bytes = m_name.data();
    }
    const void* zero = std::memchr(bytes, 0, length);
    name = std::string_view(bytes, zero ? static_cast<const char*>(zero) - bytes : length);
    return true;
}
