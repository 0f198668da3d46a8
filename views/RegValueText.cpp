#include "views/RegValueText.h"

#include "compare/RegTypes.h"

#include <cstdio>
#include <cstring>

namespace {

// Length of the string at data: up to its zero unit, at most size units.
template <class Unit>
uint32_t BoundedLength(const Unit* data, uint32_t size)
{
    uint32_t length = 0;
    while (length < size && data[length] != 0)
        ++length;
    return length;
}

template <class Char, class Unit>
std::basic_string<Char> StringText(const Unit* data, uint32_t size)
{
    const Char* text = reinterpret_cast<const Char*>(data);
    return std::basic_string<Char>(text, size ? BoundedLength(data, size) : 0);
}

template <class Char, class Unit>
std::basic_string<Char> StringListText(const Unit* data, uint32_t size)
{
    std::basic_string<Char> text;
    uint32_t pos = 0;
    while (pos < size && data[pos] != 0) {
        uint32_t length = BoundedLength(data + pos, size - pos);
        text.append(reinterpret_cast<const Char*>(data + pos), length);
        text += Char('\r');
        text += Char('\n');
        pos += length;
        if (pos == size)
            break;  // the last string had no terminator
        ++pos;      // past the terminator
    }
    return text;
}

}  // namespace

std::string RegStringText(const uint8_t* data, uint32_t size)
{
    return StringText<char>(data, size);
}

std::u16string RegWideStringText(const char16_t* units, uint32_t count)
{
    return StringText<char16_t>(units, count);
}

std::string RegDwordText(const uint8_t* data, uint32_t size)
{
    uint32_t n = 0;
    for (uint32_t i = 0; i < 4 && i < size; ++i)
        n |= static_cast<uint32_t>(data[i]) << (8 * i);
    char text[16];
    std::snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(n));
    return text;
}

std::string RegHexDump(const uint8_t* data, uint32_t size)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(static_cast<size_t>(size) * 3 + size / 16 * 2);
    unsigned column = 0;
    for (uint32_t i = 0; i < size; ++i) {
        text += kDigits[data[i] >> 4];
        text += kDigits[data[i] & 0x0F];
        text += ' ';
        if (++column == 16) {
            text += "\r\n";
            column = 0;
        }
    }
    return text;
}

std::string RegStringListText(const uint8_t* data, uint32_t size)
{
    return StringListText<char>(data, size);
}

std::u16string RegWideStringListText(const char16_t* units, uint32_t count)
{
    return StringListText<char16_t>(units, count);
}

std::string RegTypeLine(uint32_t type)
{
    const char* line = RegTypeOf(type).viewerLine;
    return line ? line : std::string();
}
