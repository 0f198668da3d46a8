#include "compare/CompareName.h"

#include <cstring>
#include <utility>

static_assert(sizeof(void*) <= 8, "the heap form keeps the pointer in the first 8 bytes");

CCompareName::CCompareName() noexcept
{
    std::memset(m_bytes, 0, sizeof m_bytes);
}

CCompareName::CCompareName(std::string_view text)
{
    std::memset(m_bytes, 0, sizeof m_bytes);
    if (text.size() <= kInlineMax) {
        if (!text.empty())
            std::memcpy(m_bytes, text.data(), text.size());
        m_bytes[kStorage - 1] = static_cast<unsigned char>(text.size());
        return;
    }
    char* heap = new char[text.size() + 1];
    std::memcpy(heap, text.data(), text.size());
    heap[text.size()] = 0;
    uint32_t length = static_cast<uint32_t>(text.size());
    std::memcpy(m_bytes, &heap, sizeof heap);
    std::memcpy(m_bytes + 8, &length, sizeof length);
    m_bytes[kStorage - 1] = kOnHeap;
}

CCompareName CCompareName::InStorage(const char* bytes, size_t size)
{
    CCompareName name;
    uint32_t length = static_cast<uint32_t>(size);
    std::memcpy(name.m_bytes, &bytes, sizeof bytes);
    std::memcpy(name.m_bytes + 8, &length, sizeof length);
    name.m_bytes[kStorage - 1] = kInStorage;
    return name;
}

CCompareName::~CCompareName()
{
    Release();
}

CCompareName::CCompareName(CCompareName&& other) noexcept
{
    std::memcpy(m_bytes, other.m_bytes, sizeof m_bytes);
    std::memset(other.m_bytes, 0, sizeof other.m_bytes);
}

CCompareName& CCompareName::operator=(CCompareName&& other) noexcept
{
    if (this != &other) {
        Release();
        std::memcpy(m_bytes, other.m_bytes, sizeof m_bytes);
        std::memset(other.m_bytes, 0, sizeof other.m_bytes);
    }
    return *this;
}

char* CCompareName::OutsidePointer() const
{
    char* heap;
    std::memcpy(&heap, m_bytes, sizeof heap);
    return heap;
}

void CCompareName::Release() noexcept
{
    if (OnHeap())
        delete[] OutsidePointer();
    std::memset(m_bytes, 0, sizeof m_bytes);
}

const char* CCompareName::c_str() const
{
    return Outside() ? OutsidePointer() : reinterpret_cast<const char*>(m_bytes);
}

size_t CCompareName::size() const
{
    if (!Outside())
        return m_bytes[kStorage - 1];
    uint32_t length;
    std::memcpy(&length, m_bytes + 8, sizeof length);
    return length;
}
