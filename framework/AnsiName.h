// A name read through a wide ("W") function, in the form the ANSI ("A")
// functions give it: the system's ANSI code page, with the code page's own
// stand-in ("?", or a letter without its accent) for a character it cannot
// hold. Reading by the wide functions reaches every name; recording what the
// ANSI functions would have listed keeps the names of snapshots as they were.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wide text is UTF-16");

// A wide text as its UTF-16 units.
inline std::u16string_view ExactUnits(const wchar_t* text, size_t length)
{
    return std::u16string_view(reinterpret_cast<const char16_t*>(text), length);
}
inline std::u16string_view ExactUnits(const std::wstring& text)
{
    return ExactUnits(text.data(), text.size());
}

std::string AnsiName(const wchar_t* name, size_t length);
// The same, and whether it reads back as the name: false when a character
// was stood in for, or the name holds what no text does (a lone half of a
// surrogate pair).
std::string AnsiName(const wchar_t* name, size_t length, bool& exact);
// Whether ansi, a name's ANSI form, reads back as the name.
bool AnsiNameIsExact(const std::string& ansi, const wchar_t* name, size_t length);
inline bool AnsiNameIsExact(const std::string& ansi, const std::wstring& name)
{
    return AnsiNameIsExact(ansi, name.data(), name.size());
}
inline std::string AnsiName(const std::wstring& name)
{
    return AnsiName(name.data(), name.size());
}

// A name typed by the user in the ANSI code page without the best-fit
// mappings of AnsiName: a character the code page cannot hold reads "?",
// never a look-alike (a full-width "＼" is no backslash, "Ł" no "L"). Those
// characters go to lost, when it is given, as "U+0141", each once, apart by
// blanks; lost is left empty when every character converted exactly.
std::string StrictAnsiName(const std::wstring& name, std::string* lost = nullptr);

// An ANSI name as the ANSI functions take it: converted exactly into the
// wide form, every byte of the code page having one.
std::wstring WideName(const std::string& ansi);
