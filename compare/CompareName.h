// The name of a node or item exactly as the snapshot file stores it: bytes in
// the system's ANSI code page, compared case-insensitively (NameMatch.h).
// The name itself is one pointer to its stored form: the length, the bytes
// and a zero. A loaded tree packs the forms of its names into its storage
// (TreeStorage.h), so a name there costs its bytes and two or three more; a
// name made on its own owns a form on the heap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

class CCompareName {
public:
    // The empty name, which needs no form of its own.
    CCompareName() noexcept;
    explicit CCompareName(std::string_view text);
    ~CCompareName() { Release(); }

    // Bytes the stored form of a name of size bytes takes.
    static size_t StoredSize(size_t size) { return (size < kLongLength ? 1 : kLongHeader) + size + 1; }
    // Writes the stored form of text into the StoredSize(text.size()) bytes
    // at where, an even address in storage that outlives the name, and
    // returns a name of it; nothing is freed when that name goes.
    static CCompareName WriteStored(void* where, std::string_view text);
    // Whether the form is the name's own, on the heap.
    bool OwnsHeapBytes() const { return (m_nForm & kOwned) != 0; }

    CCompareName(CCompareName&& other) noexcept : m_nForm(other.m_nForm) { other.m_nForm = EmptyForm(); }
    CCompareName& operator=(CCompareName&& other) noexcept
    {
        if (this != &other) {
            Release();
            m_nForm = other.m_nForm;
            other.m_nForm = EmptyForm();
        }
        return *this;
    }
    CCompareName(const CCompareName&) = delete;
    CCompareName& operator=(const CCompareName&) = delete;

    // Always terminated by a zero byte after size() bytes.
    const char* c_str() const
    {
        const unsigned char* form = Form();
        return reinterpret_cast<const char*>(form + (form[0] == kLongLength ? kLongHeader : 1));
    }
    size_t size() const
    {
        const unsigned char* form = Form();
        if (form[0] != kLongLength)
            return form[0];
        uint32_t length;
        std::memcpy(&length, form + 1, sizeof length);
        return length;
    }
    std::string_view view() const { return std::string_view(c_str(), size()); }
    std::string str() const { return std::string(view()); }
    bool empty() const { return size() == 0; }

private:
    // The form: one byte of length, or this byte and the length in the next
    // four (unaligned); then the bytes and a zero. Forms lie at even
    // addresses, which leaves the pointer's lowest bit for kOwned.
    static constexpr unsigned char kLongLength = 0xFF;
    static constexpr size_t kLongHeader = 1 + sizeof(uint32_t);
    static constexpr uintptr_t kOwned = 1;

    explicit CCompareName(uintptr_t form) noexcept : m_nForm(form) {}
    static uintptr_t EmptyForm() noexcept;
    static void Write(unsigned char* form, std::string_view text);
    const unsigned char* Form() const { return reinterpret_cast<const unsigned char*>(m_nForm & ~kOwned); }
    void Release() noexcept
    {
        if (OwnsHeapBytes())
            FreeForm();
    }
    void FreeForm() noexcept;

    uintptr_t m_nForm;
};
