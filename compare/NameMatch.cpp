#include "compare/NameMatch.h"

#include "compare/AnsiChars.h"

#include <cstring>

bool NamesMatch(const CCompareName& a, const CCompareName& b)
{
    if (a.size() != b.size())
        return false;
    // Most names that match are the same bytes.
    if (std::memcmp(a.c_str(), b.c_str(), a.size()) == 0)
        return true;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(a.c_str());
    const unsigned char* q = reinterpret_cast<const unsigned char*>(b.c_str());
    const unsigned char* pEnd = p + a.size();
    const unsigned char* qEnd = q + b.size();
    while (p < pEnd && q < qEnd)
        if (NextFoldedAnsiChar(p, pEnd) != NextFoldedAnsiChar(q, qEnd))
            return false;
    return p == pEnd && q == qEnd;
}

uint32_t NameMatchHash(const CCompareName& name)
{
    // FNV-1a over the folded characters; a double-byte character's unit
    // takes part with all three of its bytes.
    uint32_t h = 2166136261u;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(name.c_str());
    const unsigned char* end = p + name.size();
    while (p < end) {
        uint32_t unit = NextFoldedAnsiChar(p, end);
        h = (h ^ (unit & 0xFF)) * 16777619u;
        if (unit > 0xFF)
            h = (((h ^ ((unit >> 8) & 0xFF)) * 16777619u) ^ (unit >> 16)) * 16777619u;
    }
    return h;
}
