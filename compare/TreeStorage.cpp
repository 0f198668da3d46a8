#include "compare/TreeStorage.h"

#include <utility>

#if defined(__SANITIZE_ADDRESS__)
#define CORVANE_POISON_STORAGE 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CORVANE_POISON_STORAGE 1
#endif
#endif

#ifdef CORVANE_POISON_STORAGE
#include <sanitizer/asan_interface.h>
#define POISON_ROOM(at, size) ASAN_POISON_MEMORY_REGION(at, size)
#define UNPOISON_ROOM(at, size) ASAN_UNPOISON_MEMORY_REGION(at, size)
#else
#define POISON_ROOM(at, size) ((void)(at), (void)(size))
#define UNPOISON_ROOM(at, size) ((void)(at), (void)(size))
#endif

void* CTreeStorage::Allocate(size_t size, size_t alignment)
{
    m_nUsedBytes += size;
    uintptr_t at = (reinterpret_cast<uintptr_t>(m_pFree) + alignment - 1) & ~(uintptr_t(alignment) - 1);
    if (m_pFree && size <= static_cast<size_t>(m_pEnd - m_pFree) &&
        at - reinterpret_cast<uintptr_t>(m_pFree) <= static_cast<size_t>(m_pEnd - m_pFree) - size) {
        m_pFree = reinterpret_cast<char*>(at + size);
        UNPOISON_ROOM(reinterpret_cast<void*>(at), size);
        return reinterpret_cast<void*>(at);
    }
    return AllocateInNewBlock(size, alignment);
}

void* CTreeStorage::AllocateInNewBlock(size_t size, size_t alignment)
{
    if (size > SIZE_MAX - kHeader - alignment)
        throw std::bad_alloc();
    // A request that would waste much of a block gets one of its own, and
    // the block being carved goes on serving the small ones.
    bool own = size > m_nNextBlock / 8;
    size_t blockSize = own ? kHeader + size + alignment : m_nNextBlock;
    Block* block = static_cast<Block*>(::operator new(blockSize));
    block->size = blockSize;
    m_nBlockBytes += blockSize;
    char* begin = reinterpret_cast<char*>(block) + kHeader;
    char* end = reinterpret_cast<char*>(block) + blockSize;
    uintptr_t at = (reinterpret_cast<uintptr_t>(begin) + alignment - 1) & ~(uintptr_t(alignment) - 1);
    POISON_ROOM(begin, end - begin);
    UNPOISON_ROOM(reinterpret_cast<void*>(at), size);
    if (own && m_pBlocks) {
        // Behind the newest, so that its free rest stays in use.
        block->previous = m_pBlocks->previous;
        m_pBlocks->previous = block;
        return reinterpret_cast<void*>(at);
    }
    block->previous = m_pBlocks;
    m_pBlocks = block;
    m_pFree = reinterpret_cast<char*>(at + size);
    m_pEnd = end;
    if (!own && m_nNextBlock < kLargestBlock)
        m_nNextBlock *= 2;
    return reinterpret_cast<void*>(at);
}

void* CTreeStorage::AllocateText(size_t size)
{
    if (m_pFree && size < static_cast<size_t>(m_pEnd - m_pFree)) {
        char* at = reinterpret_cast<char*>((reinterpret_cast<uintptr_t>(m_pEnd) - size) & ~uintptr_t(1));
        if (at >= m_pFree) {
            m_nUsedBytes += size;
            m_pEnd = at;
            UNPOISON_ROOM(at, size);
            return at;
        }
    }
    return Allocate(size, 2);
}

CCompareName CTreeStorage::Name(std::string_view text, std::u16string_view exact)
{
    if (text.empty() && exact.empty())
        return CCompareName();
    return CCompareName::WriteStored(AllocateText(CCompareName::StoredSize(text.size(), exact.size())), text,
                                     exact);
}

void CTreeStorage::Swap(CTreeStorage& other) noexcept
{
    std::swap(m_pBlocks, other.m_pBlocks);
    std::swap(m_pFree, other.m_pFree);
    std::swap(m_pEnd, other.m_pEnd);
    std::swap(m_nNextBlock, other.m_nNextBlock);
    std::swap(m_nBlockBytes, other.m_nBlockBytes);
    std::swap(m_nUsedBytes, other.m_nUsedBytes);
}

void CTreeStorage::Poison(void* at, size_t size)
{
    POISON_ROOM(at, size);
}

void CTreeStorage::Release()
{
    while (m_pBlocks) {
        Block* previous = m_pBlocks->previous;
        // Whatever still points into the block is caught as freed memory.
        UNPOISON_ROOM(m_pBlocks, m_pBlocks->size);
        ::operator delete(m_pBlocks);
        m_pBlocks = previous;
    }
    m_pFree = m_pEnd = nullptr;
    m_nNextBlock = kFirstBlock;
    m_nBlockBytes = 0;
    m_nUsedBytes = 0;
}
