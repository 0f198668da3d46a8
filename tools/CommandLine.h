// The command line of the tools, taken as typed: an option is recognised only
// character for character, never through a conversion that could let a
// look-alike (a full-width "－－force") pass for it.
#pragma once

#include "seams/SystemText.h"

#include <cstdint>
#include <type_traits>

// The character's number: a UTF-16 unit on Windows, a byte elsewhere.
inline unsigned long CharCode(SystemChar c)
{
    return static_cast<std::make_unsigned_t<SystemChar>>(c);
}

// Whether the argument is exactly this ASCII text.
inline bool ArgumentIs(const SystemChar* arg, const char* text)
{
    for (; *text; ++arg, ++text)
        if (CharCode(*arg) != static_cast<unsigned char>(*text))
            return false;
    return *arg == 0;
}

// Whether the argument is meant as an option: it begins with a hyphen or
// with another dash or minus sign (as "－", "–", "−"), which makes it an
// option the tool does not know rather than a name.
inline bool LooksLikeOption(const SystemChar* arg)
{
    unsigned long first = CharCode(arg[0]);
    // Bytes elsewhere are UTF-8, in which these dashes take three.
    if (sizeof(SystemChar) == 1 && first >= 0xE0 && first < 0xF0 && (CharCode(arg[1]) & 0xC0) == 0x80 &&
        (CharCode(arg[2]) & 0xC0) == 0x80)
        first = ((first & 0x0F) << 12) | ((CharCode(arg[1]) & 0x3F) << 6) | (CharCode(arg[2]) & 0x3F);
    return first == '-' || (first >= 0x2010 && first <= 0x2015) || first == 0x2212 || first == 0xFE58 ||
           first == 0xFE63 || first == 0xFF0D;
}

// A size as typed: a whole number of bytes, or of KiB, MiB, GiB or TiB with
// the suffix K, M, G or T (either case, "B" after it allowed: 100M, 2GB).
// False for anything else, for 0 and for sizes of 2^64 bytes and more.
inline bool ParseSize(const SystemChar* text, uint64_t& size)
{
    uint64_t value = 0;
    const SystemChar* c = text;
    for (; CharCode(*c) >= '0' && CharCode(*c) <= '9'; ++c) {
        const unsigned digit = static_cast<unsigned>(CharCode(*c) - '0');
        if (value > (UINT64_MAX - digit) / 10)
            return false;
        value = value * 10 + digit;
    }
    if (c == text)
        return false;
    unsigned shift = 0;
    switch (CharCode(*c) | 0x20) {
    case 'k': shift = 10; break;
    case 'm': shift = 20; break;
    case 'g': shift = 30; break;
    case 't': shift = 40; break;
    }
    if (shift) {
        ++c;
        if ((CharCode(*c) | 0x20) == 'b')
            ++c;
    }
    if (*c || value == 0 || value > (UINT64_MAX >> shift))
        return false;
    size = value << shift;
    return true;
}
