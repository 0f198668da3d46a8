// The name of a node or item exactly as the snapshot file stores it: bytes in
// the system's ANSI code page, compared case-insensitively (NameMatch.h);
// and, where that form is not the name the system holds (a character the
// code page has not), the exact name in UTF-16 beside it, as the snapshot's
// appendix keeps it. The name itself is one pointer to its stored form: the
// length, the bytes and a zero, then the exact name if there is one. A loaded tree packs the forms of its names into its storage
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
    explicit CCompareName(std::string_view text, std::u16string_view exact = {});
    ~CCompareName() { Release(); }

    // Bytes the stored form of a name of size bytes takes, with an exact
    // name of exactUnits UTF-16 units (none: 0).
    static size_t StoredSize(size_t size, size_t exactUnits = 0)
    {
        if (exactUnits == 0)
            return (size < kExactLength ? 1 : kLongHeader) + size + 1;
        return ExactOffset(size) + sizeof(uint32_t) + 2 * exactUnits;
    }
    // Writes the stored form of text and exact into the StoredSize bytes at
    // where, an even address in storage that outlives the name, and returns
    // a name of it; nothing is freed when that name goes.
    static CCompareName WriteStored(void* where, std::string_view text, std::u16string_view exact = {});
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
        return reinterpret_cast<const char*>(form + (form[0] >= kExactLength ? kLongHeader : 1));
    }
    size_t size() const
    {
        const unsigned char* form = Form();
        if (form[0] < kExactLength)
            return form[0];
        uint32_t length;
        std::memcpy(&length, form + 1, sizeof length);
        return length;
    }
    std::string_view view() const { return std::string_view(c_str(), size()); }
    std::string str() const { return std::string(view()); }
    bool empty() const { return size() == 0; }

    // The exact name, when the stored bytes are not it; empty otherwise.
    bool HasExact() const { return Form()[0] == kExactLength; }
    std::u16string_view Exact() const
    {
        if (!HasExact())
            return {};
        const unsigned char* units = Form() + ExactOffset(size());
        uint32_t count;
        std::memcpy(&count, units, sizeof count);
        return std::u16string_view(reinterpret_cast<const char16_t*>(units + sizeof count), count);
    }

private:
    // The form: one byte of length, or kLongLength and the length in the
    // next four (unaligned); then the bytes and a zero. A name with an exact
    // form begins with kExactLength and the length in four, and after the
    // zero, at the next even offset, holds the exact name's count of units
    // (four bytes, unaligned) and its units. Forms lie at even addresses,
    // which leaves the pointer's lowest bit for kOwned and the units aligned.
    static constexpr unsigned char kExactLength = 0xFE;
    static constexpr unsigned char kLongLength = 0xFF;
    static constexpr size_t kLongHeader = 1 + sizeof(uint32_t);
    static constexpr uintptr_t kOwned = 1;

    explicit CCompareName(uintptr_t form) noexcept : m_nForm(form) {}
    static size_t ExactOffset(size_t size) { return (kLongHeader + size + 1 + 1) & ~size_t(1); }
    static uintptr_t EmptyForm() noexcept;
    static void Write(unsigned char* form, std::string_view text, std::u16string_view exact);
    const unsigned char* Form() const { return reinterpret_cast<const unsigned char*>(m_nForm & ~kOwned); }
    void Release() noexcept
    {
        if (OwnsHeapBytes())
            FreeForm();
    }
    void FreeForm() noexcept;

    uintptr_t m_nForm;
};
