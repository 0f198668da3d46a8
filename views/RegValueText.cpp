#include "views/RegValueText.h"

#include "compare/RegTypes.h"

#include <cstdio>
#include <cstring>

namespace {

// Length of the string at data: up to its zero byte, at most size bytes.
uint32_t BoundedLength(const uint8_t* data, uint32_t size)
{
    const void* zero = size ? std::memchr(data, 0, size) : nullptr;
    return zero ? static_cast<uint32_t>(static_cast<const uint8_t*>(zero) - data) : size;
}

}  // namespace

std::string RegStringText(const uint8_t* data, uint32_t size)
{
    if (size == 0)
        return std::string();
    return std::string(reinterpret_cast<const char*>(data), BoundedLength(data, size));
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
    std::string text;
    uint32_t pos = 0;
    while (pos < size && data[pos] != 0) {
        uint32_t length = BoundedLength(data + pos, size - pos);
        text.append(reinterpret_cast<const char*>(data + pos), length);
        text += "\r\n";
        pos += length;
        if (pos == size)
            break;  // the last string had no terminator
        ++pos;      // past the terminator
    }
    return text;
}

std::string RegTypeLine(uint32_t type)
{
    const char* line = RegTypeOf(type).viewerLine;
    return line ? line : std::string();
}
