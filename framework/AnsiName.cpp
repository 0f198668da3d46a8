#include "framework/AnsiName.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

bool IsAscii(const wchar_t* name, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        if (name[i] >= 0x80)
            return false;
    return true;
}

// The name in the ANSI code page without best-fit mappings; exact when it
// reads back as the same name.
std::string StrictConversion(const wchar_t* name, int length, bool& exact)
{
    // A UTF-8 code page holds every character and takes neither the flag nor
    // the question what was stood in for.
    const bool utf8 = ::GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL stoodIn = FALSE;
    std::string ansi;
    int bytes = ::WideCharToMultiByte(CP_ACP, flags, name, length, nullptr, 0, nullptr, nullptr);
    if (bytes > 0) {
        ansi.resize(static_cast<size_t>(bytes));
        ::WideCharToMultiByte(CP_ACP, flags, name, length, &ansi[0], bytes, nullptr, utf8 ? nullptr : &stoodIn);
    }
    std::wstring back = WideName(ansi);
    exact = bytes > 0 && !stoodIn && back.size() == static_cast<size_t>(length) &&
            back.compare(0, back.size(), name, static_cast<size_t>(length)) == 0;
    return ansi;
}

}  // namespace

std::string AnsiName(const wchar_t* name, size_t length)
{
    std::string ansi;
    if (length == 0 || length > 0x7FFFFFFF)
        return ansi;
    int wide = static_cast<int>(length);
    if (IsAscii(name, length)) {
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

std::string AnsiName(const wchar_t* name, size_t length, bool& exact)
{
    std::string ansi = AnsiName(name, length);
    exact = AnsiNameIsExact(ansi, name, length);
    return ansi;
}

bool AnsiNameIsExact(const std::string& ansi, const wchar_t* name, size_t length)
{
    if (ansi.size() == length && IsAscii(name, length))
        return true;
    std::wstring back = WideName(ansi);
    return back.size() == length && back.compare(0, length, name, length) == 0;
}

std::string StrictAnsiName(const std::wstring& name, std::string* lost)
{
    if (lost)
        lost->clear();
    if (name.empty() || name.size() > 0x7FFFFFFF)
        return std::string();
    if (IsAscii(name.data(), name.size()))
        return AnsiName(name);
    bool exact;
    std::string ansi = StrictConversion(name.data(), static_cast<int>(name.size()), exact);
    if (exact || !lost)
        return ansi;
    // Which characters were lost: each taken alone, a surrogate pair as one.
    std::vector<std::wstring> seen, lostOnes;
    for (size_t at = 0; at < name.size();) {
        const bool pair = name[at] >= 0xD800 && name[at] < 0xDC00 && at + 1 < name.size() &&
                          name[at + 1] >= 0xDC00 && name[at + 1] < 0xE000;
        std::wstring character = name.substr(at, pair ? 2 : 1);
        at += character.size();
        if (character[0] < 0x80 || std::find(seen.begin(), seen.end(), character) != seen.end())
            continue;
        seen.push_back(character);
        bool kept;
        StrictConversion(character.data(), static_cast<int>(character.size()), kept);
        if (!kept)
            lostOnes.push_back(character);
    }
    // Lost only together, as no one of them alone: all of them, then.
    for (const std::wstring& character : lostOnes.empty() ? seen : lostOnes) {
        unsigned long code = character.size() == 2
                                 ? 0x10000ul + ((character[0] - 0xD800ul) << 10) + (character[1] - 0xDC00ul)
                                 : static_cast<unsigned long>(character[0]);
        char text[16];
        std::snprintf(text, sizeof text, "U+%04lX", code);
        (*lost += lost->empty() ? "" : " ") += text;
    }
    return ansi;
}

std::wstring WideName(const std::string& ansi)
{
    std::wstring wide;
    if (ansi.empty() || ansi.size() > 0x7FFFFFFF)
        return wide;
    int length = static_cast<int>(ansi.size());
    int chars = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
    if (chars <= 0)
        return wide;
    wide.resize(static_cast<size_t>(chars));
    ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, &wide[0], chars);
    return wide;
}
