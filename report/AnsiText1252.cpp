#include "report/AnsiText.h"

#include <cstdint>
#include <string>

std::string AnsiToUtf8(std::string_view ansi)
{
    return Utf16ToUtf8(CodePageToUtf16(1252, ansi));
}

std::string Utf8ToAnsi(std::string_view utf8)
{
    std::string ansi;
    for (char16_t unit : Utf8ToUtf16(utf8)) {
        char byte = unit < 0x80 ? static_cast<char>(unit) : '?';
        for (int b = 0x80; b < 0x100 && unit >= 0x80; ++b)
            if (CodePageToUtf16(1252, std::string(1, static_cast<char>(b)))[0] == unit)
                byte = static_cast<char>(b);
        ansi += byte;
    }
    return ansi;
}

std::string SystemTextToAnsi(const SystemString& text, std::string* lost)
{
    if (lost)
        lost->clear();
    return text;
}
