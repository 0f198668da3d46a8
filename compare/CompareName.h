// The name of a node or item exactly as the snapshot file stores it: bytes in
// the system's ANSI code page, compared case-insensitively (NameMatch.h).
// Most names are short, so up to 22 bytes live inside the object itself and
// a tree of a million files costs no extra allocation per name.
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

    bool OnHeap() const { return m_bytes[kStorage - 1] == kOnHeap; }
    char* HeapPointer() const;
    void Release() noexcept;

    // Inline: the text, a zero, and its length in the last byte. On the heap:
    // the pointer at offset 0, the 32-bit length at offset 8, the tag last.
    alignas(void*) unsigned char m_bytes[kStorage];
};
