// What the registry value viewers show: the value's data rendered as text, as
// a number, as a hexadecimal dump or as a list of strings, and the line that
// names its type. Every rendering reads at most the data length, whatever the
// data hold:
// - text: the bytes up to the first zero byte, or all of them when there is none;
// - number: the first four bytes, least significant first; shorter data give
//   the number of the bytes there are (the missing high bytes count as zero);
// - string list: each string up to its zero byte or the end of the data, one
//   per line; the list ends at the first empty string or at the end of the data.
#pragma once

#include <cstdint>
#include <string>

std::string RegStringText(const uint8_t* data, uint32_t size);
// The same of string data as the registry holds them: UTF-16 units.
std::u16string RegWideStringText(const char16_t* units, uint32_t count);
std::string RegDwordText(const uint8_t* data, uint32_t size);
// "%02X " per byte, "\r\n" after every full line of 16 bytes.
std::string RegHexDump(const uint8_t* data, uint32_t size);
// Each string followed by "\r\n".
std::string RegStringListText(const uint8_t* data, uint32_t size);
std::u16string RegWideStringListText(const char16_t* units, uint32_t count);

// The type line of a viewer; empty for a type no viewer shows.
std::string RegTypeLine(uint32_t type);
