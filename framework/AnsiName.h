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
