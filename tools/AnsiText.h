// Names in snapshot files are bytes in the ANSI code page of the machine that
// took them; the formats that other programs read (CSV, JSON, HTML) carry
// UTF-8. The Windows build converts from this machine's ANSI code page; the
// native build, which has none, takes the bytes as Windows-1252 (Western).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

std::string AnsiToUtf8(std::string_view ansi);

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
