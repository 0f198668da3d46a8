// The characters of names and paths in the system's ANSI code page. In a
// double-byte code page (932, 936, 949, 950) a lead byte and the byte after it
// are one character, and that second byte may be any of 0x40 to 0xFE, the
// backslash 0x5C among them ("表" is 0x95 0x5C in 932, "ソ" 0x83 0x5C). Text
// is therefore searched, split, cut, escaped and folded character by
// character, never byte by byte. The Windows build asks the C runtime's
// multibyte tables, which follow the ANSI code page; the native build only
// ever meets single-byte text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Whether c begins a double-byte character; never in a single-byte code page.
bool IsAnsiLeadByte(unsigned char c);

// Bytes of the character at text[at]: 2 for a lead byte that has a byte after
// it, else 1 (a lead byte at the very end stands alone).
inline size_t AnsiCharSize(std::string_view text, size_t at)
{
    return IsAnsiLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

// The first position from `from` (a character boundary) of the single-byte
// character c, never the second byte of a double-byte character; npos if none.
size_t FindAnsiChar(std::string_view text, char c, size_t from = 0);
// The position of the last single-byte character that is one of `chars`;
// npos if none.
size_t FindLastAnsiCharOf(std::string_view text, std::string_view chars);
// Whether the last character of text is c standing alone.
bool EndsWithAnsiChar(std::string_view text, char c);
// The longest prefix of text of at most `limit` bytes that ends at a
// character boundary, as a byte count.
size_t AnsiPrefixSize(std::string_view text, size_t limit);

// The character at p (moved past it), folded as the comparison of names folds
// letter case: A to Z onto a to z; in a double-byte code page a double-byte
// character as one unit, after the code page's own lower-case mapping (the
// runtime's _mbsicmp). A double-byte character's unit is 0x10000 or above, so
// it never equals a single byte, be it a backslash or an asterisk; two texts
// whose characters fold alike are therefore of one length.
uint32_t NextFoldedHighAnsiChar(unsigned char c, const unsigned char*& p, const unsigned char* end);
inline uint32_t NextFoldedAnsiChar(const unsigned char*& p, const unsigned char* end)
{
    unsigned char c = *p++;
    if (c < 0x80)
        return c >= 'A' && c <= 'Z' ? static_cast<uint32_t>(c - 'A' + 'a') : c;
    return NextFoldedHighAnsiChar(c, p, end);
}

// Appends a name or path as listings, reports and the results of snapshots
// show it: a control byte (below 0x20, and 0x7F) as "<0A>", so that no name
// ends a line or reaches a terminal as a command, and every other byte as it
// is. The second byte of a double-byte character is never below 0x40, so
// characters stay whole. Returns out.
std::string& AppendShownName(std::string& out, std::string_view name);
std::string ShownName(std::string_view name);
