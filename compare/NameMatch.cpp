#include "compare/NameMatch.h"

#include "compare/AnsiChars.h"
#include "compare/WideChars.h"

#include <cstring>

namespace {

// The units of a name in an exact comparison: its exact form, or its bytes.
class CNameUnits {
public:
    explicit CNameUnits(const CCompareName& name)
        : m_exact(name.Exact()), m_bytes(reinterpret_cast<const unsigned char*>(name.c_str())),
          m_size(name.HasExact() ? m_exact.size() : name.size())
    {
    }
    size_t size() const { return m_size; }
    char16_t operator[](size_t i) const { return m_bytes && m_exact.empty() ? m_bytes[i] : m_exact[i]; }

private:
    std::u16string_view m_exact;
    const unsigned char* m_bytes;
    size_t m_size;
};

bool ExactNamesMatch(const CCompareName& a, const CCompareName& b)
{
    CNameUnits p(a), q(b);
    if (p.size() != q.size())
        return false;
    for (size_t i = 0; i < p.size(); ++i)
        if (p[i] != q[i] && FoldWideUnit(p[i]) != FoldWideUnit(q[i]))
            return false;
    return true;
}

uint32_t ExactNameHash(const CCompareName& name)
{
    uint32_t h = 2166136261u;
    CNameUnits units(name);
    for (size_t i = 0; i < units.size(); ++i) {
        char16_t unit = FoldWideUnit(units[i]);
        h = (((h ^ (unit & 0xFF)) * 16777619u) ^ (unit >> 8)) * 16777619u;
    }
    return h;
}

}  // namespace

bool NamesMatch(const CCompareName& a, const CCompareName& b, Exactness exactness)
{
    if (exactness == Exactness::Exact && (a.HasExact() || b.HasExact()))
        return ExactNamesMatch(a, b);
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

uint32_t NameMatchHash(const CCompareName& name, Exactness exactness)
{
    if (exactness == Exactness::Exact)
        return ExactNameHash(name);
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
