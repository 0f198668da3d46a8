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

}  // namespace

bool NamesMatch(const CCompareName& a, const CCompareName& b)
{
#ifdef _WIN32
    return _mbsicmp(reinterpret_cast<const unsigned char*>(a.c_str()),
                    reinterpret_cast<const unsigned char*>(b.c_str())) == 0;
#else
    size_t n = a.size();
    if (b.size() != n)
        return false;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(a.c_str());
    const unsigned char* q = reinterpret_cast<const unsigned char*>(b.c_str());
    for (size_t i = 0; i < n; ++i)
        if (FoldAscii(p[i]) != FoldAscii(q[i]))
            return false;
    return true;
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
        if (_ismbblead(c)) {
            if (p < end)
                ++p;
            continue;
        }
        if (c >= 0x80)
            continue;
#endif
        h = (h ^ FoldAscii(c)) * 16777619u;
    }
    return h;
}
