#include "snapshot/SnapWriter.h"

#include "snapshot/SnapFormat.h"

#include <cstring>

CSnapWriter::CSnapWriter(IOutputFile& file, uint32_t bufferSize)
    : m_file(file), m_bufferSize(bufferSize ? bufferSize : 1)
{
    m_bufferStart = m_file.GetPosition();
    m_buffer.reserve(m_bufferSize);
}

void CSnapWriter::Append(const void* data, uint32_t n)
{
    if (m_failed)
        return;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    while (n > 0) {
        if (m_buffer.size() == m_bufferSize && !Flush())
            return;
        uint32_t room = m_bufferSize - static_cast<uint32_t>(m_buffer.size());
        uint32_t chunk = n < room ? n : room;
        m_buffer.insert(m_buffer.end(), bytes, bytes + chunk);
        bytes += chunk;
        n -= chunk;
    }
}

bool CSnapWriter::Flush()
{
    if (m_failed)
        return false;
    if (!m_buffer.empty()) {
        if (!m_file.Write(m_buffer.data(), static_cast<uint32_t>(m_buffer.size()))) {
            m_failed = true;
            return false;
        }
        m_bufferStart += m_buffer.size();
        m_buffer.clear();
    }
    return true;
}

void CSnapWriter::PutU8(uint8_t v) { Append(&v, 1); }

void CSnapWriter::PutU16(uint16_t v)
{
    uint8_t b[2];
    PutLE16(b, v);
    Append(b, 2);
}

void CSnapWriter::PutU32(uint32_t v)
{
    uint8_t b[4];
    PutLE32(b, v);
    Append(b, 4);
}

void CSnapWriter::PutU64(uint64_t v)
{
    uint8_t b[8];
    PutLE64(b, v);
    Append(b, 8);
}

void CSnapWriter::PutBytes(const void* data, uint32_t n) { Append(data, n); }

void CSnapWriter::PutName(const char* name, size_t length)
{
    uint16_t n = CountedNameLength(length);
    PutU16(n);
    Append(name, n);
}

void CSnapWriter::WriteAt(uint64_t offset, const uint8_t* data, uint32_t n)
{
    if (m_failed)
        return;
    if (offset >= m_bufferStart && offset + n <= Position()) {
        std::memcpy(m_buffer.data() + (offset - m_bufferStart), data, n);
        return;
    }
    uint64_t end = Position();
    if (!Flush() || !m_file.Seek(offset) || !m_file.Write(data, n) || !m_file.Seek(end))
        m_failed = true;
}

void CSnapWriter::PatchU32(uint64_t offset, uint32_t v)
{
    uint8_t b[4];
    PutLE32(b, v);
    WriteAt(offset, b, 4);
}

bool CSnapWriter::Finish(uint16_t version, uint32_t countAtOffset2)
{
    // Everything else reaches the file before the version word does.
    if (!Flush())
        return false;
    uint8_t header[6];
    PutLE16(header, version);
    PutLE32(header + 2, countAtOffset2);
    if (!m_file.Seek(0) || !m_file.Write(header, sizeof header))
        m_failed = true;
    return !m_failed;
}
