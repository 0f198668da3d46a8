#include "compare/AnsiChars.h"

#ifdef _WIN32
#include <mbctype.h>
#include <mbstring.h>

#include <vector>
#endif

namespace {

#ifdef _WIN32
constexpr uint32_t kDoubleByteUnit = 0x10000u;

// The runtime's view of the code page, read once: which bytes lead, and each
// double-byte character in lower case. The code page does not change while
// the program runs.
struct CCodePageChars {
    bool lead[256] = {};
    bool doubleByte = false;
    std::vector<uint16_t> lower;  // by character, when the code page has double-byte ones

    CCodePageChars()
    {
        for (unsigned c = 0x80; c < 256; ++c)
            doubleByte |= lead[c] = _ismbblead(c) != 0;
        if (!doubleByte)
            return;
        lower.resize(0x10000);
        for (unsigned unit = 0; unit < 0x10000; ++unit)
            lower[unit] = static_cast<uint16_t>(lead[unit >> 8] ? _mbctolower(unit) : unit);
    }
};

// Read when the program starts, before any name is compared.
const CCodePageChars g_chars;

const CCodePageChars& Chars()
{
    return g_chars;
}
#endif

}  // namespace

bool IsAnsiLeadByte(unsigned char c)
{
#ifdef _WIN32
    return c >= 0x80 && Chars().lead[c];
#else
    (void)c;
    return false;
#endif
}

size_t FindAnsiChar(std::string_view text, char c, size_t from)
{
    for (size_t at = from; at < text.size(); at += AnsiCharSize(text, at))
        if (text[at] == c && AnsiCharSize(text, at) == 1)
            return at;
    return std::string_view::npos;
}

size_t FindLastAnsiCharOf(std::string_view text, std::string_view chars)
{
    size_t last = std::string_view::npos;
    for (size_t at = 0; at < text.size(); at += AnsiCharSize(text, at))
        if (AnsiCharSize(text, at) == 1 && chars.find(text[at]) != std::string_view::npos)
            last = at;
    return last;
}

bool EndsWithAnsiChar(std::string_view text, char c)
{
    return !text.empty() && FindLastAnsiCharOf(text, std::string_view(&c, 1)) == text.size() - 1;
}

size_t AnsiPrefixSize(std::string_view text, size_t limit)
{
    size_t at = 0;
    while (at < text.size()) {
        size_t next = at + AnsiCharSize(text, at);
        if (next > limit)
            break;
        at = next;
    }
    return at;
}

uint32_t NextFoldedHighAnsiChar(unsigned char c, const unsigned char*& p, const unsigned char* end)
{
#ifdef _WIN32
    const CCodePageChars& chars = Chars();
    if (chars.lead[c] && p < end) {
        unsigned unit = (static_cast<unsigned>(c) << 8) | *p++;
        return kDoubleByteUnit | chars.lower[unit];
    }
#else
    (void)p;
    (void)end;
#endif
    // A single byte of 0x80 or above has no case in any code page's folding
    // of names.
    return c;
}

std::string& AppendShownName(std::string& out, std::string_view name)
{
    for (char c : name) {
        unsigned char b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b != 0x7F) {
            out += c;
            continue;
        }
        static const char digits[] = "0123456789ABCDEF";
        out += '<';
        out += digits[b >> 4];
        out += digits[b & 15];
        out += '>';
    }
    return out;
}

std::string ShownName(std::string_view name)
{
    std::string out;
    AppendShownName(out, name);
    return out;
}
