// Text as Windows holds the names of files and keys and string data: UTF-16
// units. The Windows build asks the system; the native build, which has no
// code pages, knows Windows-1252 (Western) and folds the letters of the
// Latin, Greek and Cyrillic alphabets.
#pragma once

#include "compare/CompareName.h"

#include <cstdint>
#include <string>
#include <string_view>

// The unit as the system's own upper-case table has it (the table by which
// file systems and the registry tell names apart), not the code page's.
char16_t FoldWideUnit(char16_t unit);

// Text in the ANSI code page codePage as UTF-16, converted as the system
// converts it; a code page this system does not have reads as this
// system's own.
std::u16string CodePageToUtf16(uint32_t codePage, std::string_view text);

// The system's ANSI code page.
uint32_t SystemCodePage();

// Text in this system's ANSI code page as UTF-16.
inline std::u16string SystemTextToUtf16(std::string_view ansi)
{
    return CodePageToUtf16(SystemCodePage(), ansi);
}

// A stored name as the system holds it: its exact form, or the recorded
// bytes read in this system's code page.
inline std::u16string SystemName(const CCompareName& name)
{
    return name.HasExact() ? std::u16string(name.Exact()) : SystemTextToUtf16(name.view());
}

// Whether text is well-formed UTF-8 (ASCII is).
bool IsUtf8(std::string_view text);

// UTF-16 units as UTF-8; a unit that is half of no pair becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view units);
// UTF-8 as UTF-16 units; a byte that begins no character becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
// Whether the units hold a half of a surrogate pair without its other half,
// which no UTF-8 text carries.
bool HasLoneSurrogate(std::u16string_view units);

// Appends a code point in UTF-8.
inline void AppendUtf8(std::string& out, uint32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}
