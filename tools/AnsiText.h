// Names in snapshot files are bytes in the ANSI code page of the machine that
// took them; the formats that other programs read (CSV, JSON, HTML) carry
// UTF-8. The Windows build converts from this machine's ANSI code page; the
// native build, which has none, takes the bytes as Windows-1252 (Western).
#pragma once

#include <string>
#include <string_view>

std::string AnsiToUtf8(std::string_view ansi);
