#include "snapshot/MemoryFile.h"

#include <cstring>

bool CMemoryFile::Write(const void* data, uint32_t n)
{
    if (m_pos + n > m_writeLimit)
        return false;
    if (m_pos + n > m_bytes.size())
        m_bytes.resize(m_pos + n);
    if (n != 0)
        std::memcpy(m_bytes.data() + m_pos, data, n);
    m_pos += n;
    return true;
}

bool CMemoryFile::Seek(uint64_t offset)
{
    m_pos = offset;
    return true;
}

uint32_t CMemoryFile::Read(void* data, uint32_t n)
{
    if (m_pos >= m_bytes.size())
        return 0;
    uint64_t left = m_bytes.size() - m_pos;
    uint32_t count = left < n ? static_cast<uint32_t>(left) : n;
    std::memcpy(data, m_bytes.data() + m_pos, count);
    m_pos += count;
    return count;
}
