// Names in snapshot files are bytes in the ANSI code page of the machine that
// took them; the formats that other programs read (CSV, JSON, HTML) carry
// UTF-8. The Windows build converts from this machine's ANSI code page; the
// native build, which has none, takes the bytes as Windows-1252 (Western).
#pragma once

#include "compare/WideChars.h"
#include "seams/SystemText.h"

#include <cstdint>
#include <string>
#include <string_view>

std::string AnsiToUtf8(std::string_view ansi);
// UTF-8 text in the ANSI code page as the ANSI functions give a name: the
// code page's stand-in ("?", a letter without its accent) for what it lacks.
// The native build keeps ASCII and Windows-1252's letters, "?" for the rest.
std::string Utf8ToAnsi(std::string_view utf8);

// Text of the command line or a file's name in the ANSI code page, in which
// snapshots hold names and the tools print theirs. On Windows a character
// the code page cannot hold reads "?", never a best-fit look-alike, and is
// named in lost ("U+0141"), which stays empty when the text converted
// exactly; the native build takes the bytes as they are.
std::string SystemTextToAnsi(const SystemString& text, std::string* lost = nullptr);
