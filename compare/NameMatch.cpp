#include "compare/NameMatch.h"

#ifdef _WIN32
#include <mbctype.h>
#include <mbstring.h>
#endif

namespace {

unsigned char FoldAscii(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

#ifdef _WIN32
// Whether the name is ASCII alone, where every code page folds exactly A to Z.
bool IsAscii(const CCompareName& name)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(name.c_str());
    for (const unsigned char* end = p + name.size(); p < end; ++p)
        if (*p >= 0x80)
            return false;
    return true;
}
#endif

bool FoldedAsciiEqual(const CCompareName& a, const CCompareName& b)
{
    size_t n = a.size();
    if (b.size() != n)
        return false;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(a.c_str());
    const unsigned char* q = reinterpret_cast<const unsigned char*>(b.c_str());
    for (size_t i = 0; i < n; ++i)
        if (FoldAscii(p[i]) != FoldAscii(q[i]))
            return false;
    return true;
}

}  // namespace

bool NamesMatch(const CCompareName& a, const CCompareName& b)
{
#ifdef _WIN32
    // The runtime's comparison is slow; two ASCII names it folds as the
    // native build does.
    if (IsAscii(a) && IsAscii(b))
        return FoldedAsciiEqual(a, b);
    return _mbsicmp(reinterpret_cast<const unsigned char*>(a.c_str()),
                    reinterpret_cast<const unsigned char*>(b.c_str())) == 0;
#else
    return FoldedAsciiEqual(a, b);
#endif
}

uint32_t NameMatchHash(const CCompareName& name)
{
    // FNV-1a over the folded bytes that take part.
    uint32_t h = 2166136261u;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(name.c_str());
    const unsigned char* end = p + name.size();
    while (p < end) {
        unsigned char c = *p++;
#ifdef _WIN32
        // No code page has a lead byte below 0x80.
        if (c >= 0x80) {
            if (_ismbblead(c) && p < end)
                ++p;
            continue;
        }
#endif
        h = (h ^ FoldAscii(c)) * 16777619u;
    }
    return h;
}
