#include "compare/CompareName.h"

namespace {

alignas(2) const unsigned char kEmptyForm[2] = {0, 0};

}  // namespace

uintptr_t CCompareName::EmptyForm() noexcept
{
    return reinterpret_cast<uintptr_t>(kEmptyForm);
}

CCompareName::CCompareName() noexcept : m_nForm(EmptyForm()) {}

CCompareName::CCompareName(std::string_view text, std::u16string_view exact) : m_nForm(EmptyForm())
{
    if (text.empty() && exact.empty())
        return;
    // The heap hands out blocks aligned far beyond two bytes.
    unsigned char* form = new unsigned char[StoredSize(text.size(), exact.size())];
    Write(form, text, exact);
    m_nForm = reinterpret_cast<uintptr_t>(form) | kOwned;
}

CCompareName CCompareName::WriteStored(void* where, std::string_view text, std::u16string_view exact)
{
    Write(static_cast<unsigned char*>(where), text, exact);
    return CCompareName(reinterpret_cast<uintptr_t>(where));
}

void CCompareName::Write(unsigned char* form, std::string_view text, std::u16string_view exact)
{
    unsigned char* bytes = form + 1;
    if (text.size() < kExactLength && exact.empty()) {
        form[0] = static_cast<unsigned char>(text.size());
    } else {
        form[0] = exact.empty() ? kLongLength : kExactLength;
        uint32_t length = static_cast<uint32_t>(text.size());
        std::memcpy(form + 1, &length, sizeof length);
        bytes = form + kLongHeader;
    }
    if (!text.empty())
        std::memcpy(bytes, text.data(), text.size());
    bytes[text.size()] = 0;
    if (exact.empty())
        return;
    unsigned char* units = form + ExactOffset(text.size());
    uint32_t count = static_cast<uint32_t>(exact.size());
    std::memcpy(units, &count, sizeof count);
    std::memcpy(units + sizeof count, exact.data(), 2 * exact.size());
}

void CCompareName::FreeForm() noexcept
{
    delete[] Form();
}
