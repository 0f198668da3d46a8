#include "framework/AnsiName.h"

#include <windows.h>

std::string AnsiName(const wchar_t* name, size_t length)
{
    std::string ansi;
    if (length == 0 || length > 0x7FFFFFFF)
        return ansi;
    int wide = static_cast<int>(length);
    bool ascii = true;
    for (size_t i = 0; i < length && ascii; ++i)
        ascii = name[i] < 0x80;
    if (ascii) {
        ansi.resize(length);
        for (size_t i = 0; i < length; ++i)
            ansi[i] = static_cast<char>(name[i]);
        return ansi;
    }
    // The ANSI functions convert with the same tables, best-fit mappings and
    // default character included.
    int bytes = ::WideCharToMultiByte(CP_ACP, 0, name, wide, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return ansi;
    ansi.resize(static_cast<size_t>(bytes));
    ::WideCharToMultiByte(CP_ACP, 0, name, wide, &ansi[0], bytes, nullptr, nullptr);
    return ansi;
}
