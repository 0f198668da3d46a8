// Names in snapshot files are bytes in the ANSI code page of the machine that
// took them; the formats that other programs read (CSV, JSON, HTML) carry
// UTF-8. The Windows build converts from this machine's ANSI code page; the
// native build, which has none, takes the bytes as Windows-1252 (Western).
#pragma once

#include "seams/SystemText.h"

#include <cstdint>
#include <string>
#include <string_view>

std::string AnsiToUtf8(std::string_view ansi);

// Text of the command line or a file's name in the ANSI code page, in which
// snapshots hold names and the tools print theirs. On Windows a character
// the code page cannot hold reads "?", never a best-fit look-alike, and is
// named in lost ("U+0141"), which stays empty when the text converted
// exactly; the native build takes the bytes as they are.
std::string SystemTextToAnsi(const SystemString& text, std::string* lost = nullptr);

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
