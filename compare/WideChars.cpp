#include "compare/WideChars.h"

#ifdef _WIN32
#include <windows.h>

#include <vector>
#endif

std::string Utf16ToUtf8(std::u16string_view units)
{
    std::string out;
    out.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        uint32_t code = units[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] < 0xE000)
            code = 0x10000 + ((code - 0xD800) << 10) + (units[++i] - 0xDC00u);
        else if (code >= 0xD800 && code < 0xE000)
            code = 0xFFFD;
        AppendUtf8(out, code);
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view text)
{
    std::u16string units;
    units.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80 ? 1 : lead >= 0xF0 && lead < 0xF5 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
        uint32_t code = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        bool valid = length != 0 && i + length <= text.size();
        for (size_t k = 1; valid && k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = code << 6 | (next & 0x3F);
        }
        valid = valid && !(length == 3 && (code < 0x800 || (code >= 0xD800 && code < 0xE000))) &&
                !(length == 4 && (code < 0x10000 || code > 0x10FFFF));
        if (!valid) {
            units += u'\uFFFD';
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            units += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            units += static_cast<char16_t>(code);
        }
        i += length;
    }
    return units;
}

bool IsUtf8(std::string_view text)
{
    const std::u16string units = Utf8ToUtf16(text);
    return units.find(u'\uFFFD') == std::u16string::npos ? true : Utf16ToUtf8(units) == text;
}

bool HasLoneSurrogate(std::u16string_view units)
{
    for (size_t i = 0; i < units.size(); ++i) {
        if (units[i] < 0xD800 || units[i] >= 0xE000)
            continue;
        if (units[i] >= 0xDC00 || i + 1 == units.size() || units[i + 1] < 0xDC00 || units[i + 1] >= 0xE000)
            return true;
        ++i;
    }
    return false;
}

#ifdef _WIN32

namespace {

// The system's upper-case table, read once: the function that the file
// systems and the registry fold with, looked up where the system keeps it.
class CUpperCaseTable {
public:
    CUpperCaseTable() : m_upper(0x10000)
    {
        using Upcase = WCHAR(WINAPI*)(WCHAR);
        auto upcase = reinterpret_cast<Upcase>(
            reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "RtlUpcaseUnicodeChar")));
        for (uint32_t unit = 0; unit < 0x10000; ++unit)
            m_upper[unit] = upcase ? static_cast<char16_t>(upcase(static_cast<WCHAR>(unit)))
                                   : static_cast<char16_t>(unit >= 'a' && unit <= 'z' ? unit - 32 : unit);
    }
    char16_t operator[](char16_t unit) const { return m_upper[unit]; }

private:
    std::vector<char16_t> m_upper;
};

}  // namespace

char16_t FoldWideUnit(char16_t unit)
{
    if (unit < 0x80)
        return unit >= 'a' && unit <= 'z' ? static_cast<char16_t>(unit - 32) : unit;
    static const CUpperCaseTable table;
    return table[unit];
}

std::u16string CodePageToUtf16(uint32_t codePage, std::string_view text)
{
    std::u16string wide;
    if (text.empty() || text.size() > 0x7FFFFFFF)
        return wide;
    UINT page = codePage && ::IsValidCodePage(codePage) ? codePage : CP_ACP;
    const int length = static_cast<int>(text.size());
    int units = ::MultiByteToWideChar(page, 0, text.data(), length, nullptr, 0);
    if (units <= 0)
        return wide;
    wide.resize(static_cast<size_t>(units));
    ::MultiByteToWideChar(page, 0, text.data(), length, reinterpret_cast<wchar_t*>(&wide[0]), units);
    return wide;
}

uint32_t SystemCodePage()
{
    return ::GetACP();
}

#else

namespace {

// Windows-1252's characters 0x80 to 0x9F; the rest are Latin-1's.
constexpr char16_t k1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

char16_t FoldWideUnit(char16_t unit)
{
    auto minus = [unit](int n) { return static_cast<char16_t>(unit - n); };
    if (unit >= 'a' && unit <= 'z')
        return minus(32);
    if ((unit >= 0xE0 && unit <= 0xFE && unit != 0xF7) || (unit >= 0x3B1 && unit <= 0x3CB && unit != 0x3C2) ||
        (unit >= 0x430 && unit <= 0x44F))
        return minus(32);
    if (unit == 0xFF)
        return 0x178;
    if (unit == 0x3C2)
        return 0x3A3;
    if (unit >= 0x450 && unit <= 0x45F)
        return minus(80);
    // Latin Extended-A: pairs of a capital and its small letter.
    if ((unit >= 0x100 && unit <= 0x137) || (unit >= 0x14A && unit <= 0x177) || (unit >= 0x460 && unit <= 0x481))
        return static_cast<char16_t>(unit & ~1u);
    if ((unit >= 0x139 && unit <= 0x148) || (unit >= 0x179 && unit <= 0x17E))
        return static_cast<char16_t>((unit & 1u) ? unit : unit - 1);
    return unit;
}

std::u16string CodePageToUtf16(uint32_t, std::string_view text)
{
    std::u16string wide;
    wide.reserve(text.size());
    for (char c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        wide += byte >= 0x80 && byte < 0xA0 ? k1252High[byte - 0x80] : static_cast<char16_t>(byte);
    }
    return wide;
}

uint32_t SystemCodePage()
{
    return 1252;
}

#endif
