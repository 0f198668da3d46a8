// A name read through a wide ("W") function, in the form the ANSI ("A")
// functions give it: the system's ANSI code page, with the code page's own
// stand-in ("?", or a letter without its accent) for a character it cannot
// hold. Reading by the wide functions reaches every name; recording what the
// ANSI functions would have listed keeps the names of snapshots as they were.
#pragma once

#include <cstddef>
#include <string>

std::string AnsiName(const wchar_t* name, size_t length);
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
