#include "report/AnsiText.h"

#include "framework/AnsiName.h"

#include <windows.h>

#include <vector>

std::string AnsiToUtf8(std::string_view ansi)
{
    bool ascii = true;
    for (unsigned char c : ansi)
        ascii = ascii && c < 0x80;
    if (ascii || ansi.size() > 0x7FFFFFFF)
        return std::string(ansi);
    int length = static_cast<int>(ansi.size());
    int wide = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
    std::vector<wchar_t> text(wide > 0 ? wide : 1);
    wide = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, text.data(), wide);
    if (wide <= 0)
        return std::string(ansi);
    int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string utf8(bytes > 0 ? bytes : 0, '\0');
    if (bytes > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

std::string Utf8ToAnsi(std::string_view utf8)
{
    const std::u16string units = Utf8ToUtf16(utf8);
    return AnsiName(reinterpret_cast<const wchar_t*>(units.data()), units.size());
}

std::string SystemTextToAnsi(const SystemString& text, std::string* lost)
{
    return StrictAnsiName(text, lost);
}
