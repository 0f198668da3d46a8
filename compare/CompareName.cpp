#include "compare/CompareName.h"

namespace {

alignas(2) const unsigned char kEmptyForm[2] = {0, 0};

}  // namespace

uintptr_t CCompareName::EmptyForm() noexcept
{
    return reinterpret_cast<uintptr_t>(kEmptyForm);
}

CCompareName::CCompareName() noexcept : m_nForm(EmptyForm()) {}

CCompareName::CCompareName(std::string_view text) : m_nForm(EmptyForm())
{
    if (text.empty())
        return;
    // The heap hands out blocks aligned far beyond two bytes.
    unsigned char* form = new unsigned char[StoredSize(text.size())];
    Write(form, text);
    m_nForm = reinterpret_cast<uintptr_t>(form) | kOwned;
}

CCompareName CCompareName::WriteStored(void* where, std::string_view text)
{
    Write(static_cast<unsigned char*>(where), text);
    return CCompareName(reinterpret_cast<uintptr_t>(where));
}

void CCompareName::Write(unsigned char* form, std::string_view text)
{
    unsigned char* bytes = form + 1;
    if (text.size() < kLongLength) {
        form[0] = static_cast<unsigned char>(text.size());
    } else {
        form[0] = kLongLength;
        uint32_t length = static_cast<uint32_t>(text.size());
        std::memcpy(form + 1, &length, sizeof length);
        bytes = form + kLongHeader;
    }
    if (!text.empty())
        std::memcpy(bytes, text.data(), text.size());
    bytes[text.size()] = 0;
}

void CCompareName::FreeForm() noexcept
{
    delete[] Form();
}
