// The storage of one loaded tree: its nodes, items, child lists and values'
// data are carved one after another out of large blocks, which all go at
// once when the tree does; the names are packed into the same blocks from
// their other end, so that no name waits on the alignment of an entry.
// Loading a million files then costs a few hundred allocations instead of a
// few million, and freeing them a few hundred frees. A piece too large for a
// block gets a block of its own.
//
// Nothing placed here is ever destroyed: it is dropped with the blocks
// (CompareTree.h). Under AddressSanitizer the room not handed out yet and the
// entries taken out of their tree are poisoned, so that reading past a piece
// or a removed entry is caught as it would be on the heap.
#pragma once

#include "compare/CompareName.h"

#include <cstddef>
#include <cstdint>
#include <new>
#include <string_view>
#include <utility>

class CTreeStorage {
public:
    CTreeStorage() = default;
    ~CTreeStorage() { Release(); }
    CTreeStorage(const CTreeStorage&) = delete;
    CTreeStorage& operator=(const CTreeStorage&) = delete;

    // size bytes at the given alignment (a power of two of at most 16);
    // throws std::bad_alloc when memory runs out.
    void* Allocate(size_t size, size_t alignment);

    // A node or item of type T built in place.
    template <class T, class... Args>
    T* Create(Args&&... args)
    {
        return new (Allocate(sizeof(T), alignof(T))) T(std::forward<Args>(args)...);
    }

    // A name whose form (CompareName.h) is written here; the empty name
    // takes no room.
    CCompareName Name(std::string_view text, std::u16string_view exact = {});
    // The same name, its exact form with it, written here.
    CCompareName Name(const CCompareName& name) { return Name(name.view(), name.Exact()); }

    // Room for count pointers, for a list's cells.
    template <class T>
    T** Cells(size_t count)
    {
        if (count > SIZE_MAX / sizeof(T*))
            throw std::bad_alloc();
        return static_cast<T**>(Allocate(count * sizeof(T*), alignof(T*)));
    }

    // Marks size bytes at `at`, a piece no longer used, so that the
    // AddressSanitizer build reports any later access; nothing otherwise.
    static void Poison(void* at, size_t size);

    // Frees every block. Whatever was placed here must be gone already.
    void Release();
    // Exchanges the blocks of the two storages.
    void Swap(CTreeStorage& other) noexcept;
    // Bytes of the blocks held now, and of the pieces handed out of them.
    uint64_t BlockBytes() const { return m_nBlockBytes; }
    uint64_t UsedBytes() const { return m_nUsedBytes; }

private:
    struct Block {
        Block* previous;
        size_t size;  // of the whole block, this header included
    };
    static constexpr size_t kHeader = (sizeof(Block) + 15) & ~size_t(15);
    static constexpr size_t kFirstBlock = 64 * 1024;
    static constexpr size_t kLargestBlock = 1024 * 1024;

    void* AllocateInNewBlock(size_t size, size_t alignment);
    // size bytes at an even address, taken from the end of the block being
    // carved.
    void* AllocateText(size_t size);

    Block* m_pBlocks = nullptr;  // the newest block, linked to the older ones
    // The unused middle of the block being carved: entries are taken from
    // its start, names from its end.
    char* m_pFree = nullptr;
    char* m_pEnd = nullptr;
    size_t m_nNextBlock = kFirstBlock;
    uint64_t m_nBlockBytes = 0;
    uint64_t m_nUsedBytes = 0;
};
