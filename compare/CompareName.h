// The name of a node or item exactly as the snapshot file stores it: bytes in
// the system's ANSI code page, compared case-insensitively (NameMatch.h).
// Most names are short, so up to 22 bytes live inside the object itself and
// a tree of a million files costs no extra allocation per name. A longer name
// owns a copy on the heap, or refers to bytes in its tree's storage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class CCompareName {
public:
    CCompareName() noexcept;
    explicit CCompareName(std::string_view text);
    ~CCompareName();

    // A name of the size bytes at bytes, followed by a zero, which lie in
    // storage that outlives the name; nothing is copied or freed.
    static CCompareName InStorage(const char* bytes, size_t size);
    // Whether a name of size bytes is kept inside the object.
    static bool FitsInside(size_t size) { return size <= kInlineMax; }
    // Whether the bytes are a copy of the name's own on the heap.
    bool OwnsHeapBytes() const { return OnHeap(); }

    CCompareName(CCompareName&& other) noexcept;
    CCompareName& operator=(CCompareName&& other) noexcept;
    CCompareName(const CCompareName&) = delete;
    CCompareName& operator=(const CCompareName&) = delete;

    // Always terminated by a zero byte after size() bytes.
    const char* c_str() const;
    size_t size() const;
    std::string_view view() const { return std::string_view(c_str(), size()); }
    std::string str() const { return std::string(view()); }
    bool empty() const { return size() == 0; }

private:
    static constexpr size_t kStorage = 24;
    static constexpr size_t kInlineMax = kStorage - 2;  // room for the zero and the tag
    static constexpr uint8_t kOnHeap = 0xFF;            // tag: the bytes are on the heap
    static constexpr uint8_t kInStorage = 0xFE;         // tag: the bytes are elsewhere

    uint8_t Tag() const { return m_bytes[kStorage - 1]; }
    bool OnHeap() const { return Tag() == kOnHeap; }
    bool Outside() const { return Tag() == kOnHeap || Tag() == kInStorage; }
    char* OutsidePointer() const;
    void Release() noexcept;

    // Inline: the text, a zero, and its length in the last byte. Outside:
    // the pointer at offset 0, the 32-bit length at offset 8, the tag last.
    alignas(void*) unsigned char m_bytes[kStorage];
};
