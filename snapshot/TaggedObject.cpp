#include "snapshot/TaggedObject.h"

#include <cstring>
#include <new>

CByteBuffer::CByteBuffer(uint32_t size) : CTaggedObject(kTagByteBuffer)
{
    if (!Allocate(size))
        RaiseAbortSignal();
}

CByteBuffer::~CByteBuffer()
{
    if (m_owned)
        delete[] m_data;
}

bool CByteBuffer::Allocate(uint32_t size, bool owned)
{
    if (m_data)
        return false;
    uint8_t* block = new (std::nothrow) uint8_t[size ? size : 1];
    if (!block)
        return false;
    std::memset(block, 0, size ? size : 1);
    m_data = block;
    m_size = size;
    m_owned = owned;
    return true;
}

bool CByteBuffer::Ensure(uint32_t n)
{
    if (m_size >= n)
        return true;
    if (!m_owned)
        return false;
    uint8_t* block = new (std::nothrow) uint8_t[n ? n : 1];
    if (!block)
        return false;
    std::memset(block, 0, n ? n : 1);
    delete[] m_data;
    m_data = block;
    m_size = n;
    return true;
}

void CByteBuffer::Zero()
{
    if (m_data)
        std::memset(m_data, 0, m_size);
}

uint8_t* CByteBuffer::Detach()
{
    uint8_t* block = m_data;
    m_data = nullptr;
    m_size = 0;
    return block;
}

CCharBuffer::~CCharBuffer()
{
    Release();
}

void CCharBuffer::Release()
{
    if (m_owned)
        delete[] m_data;
    m_data = nullptr;
    m_capacity = 0;
}

bool CCharBuffer::Reserve(uint32_t n)
{
    if (m_data && m_capacity >= n + 1ull)
        return true;
    Release();
    char* block = new (std::nothrow) char[n + 1ull];
    if (!block)
        return false;
    block[0] = 0;
    block[n] = 0;
    m_data = block;
    m_capacity = n + 1;
    m_owned = true;
    return true;
}

void CCharBuffer::Zero()
{
    if (m_data)
        std::memset(m_data, 0, m_capacity);
}

char* CCharBuffer::GetBuffer(uint32_t n)
{
    if (!m_data)
        return Reserve(n) ? m_data : nullptr;
    if (m_capacity >= n + 1ull)
        return m_data;
    char* block = new (std::nothrow) char[n + 1ull];
    if (!block)
        return nullptr;
    std::memcpy(block, m_data, m_capacity < n ? m_capacity : n);
    block[n] = 0;
    if (m_owned)
        delete[] m_data;
    m_data = block;
    m_capacity = n + 1;
    m_owned = true;
    return m_data;
}
