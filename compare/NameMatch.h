// Whether two stored names denote the same entry: compared without regard to
// letter case the way the C runtime's _mbsicmp does in its default locale. The
// Windows build calls _mbsicmp itself; the native build, which only ever meets
// single-byte text, folds exactly the letters A to Z onto a to z, so accented
// letters must match byte for byte.
#pragma once

#include "compare/CompareName.h"

#include <cstdint>

bool NamesMatch(const CCompareName& a, const CCompareName& b);

// Equal for any two names that NamesMatch accepts. It hashes the single-byte
// ASCII characters of the name, folded; in the Windows build it skips bytes
// of 128 and above and whole double-byte characters, whose folding belongs to
// the code page, so names in a far-eastern code page still hash consistently
// (only more of them share a hash).
uint32_t NameMatchHash(const CCompareName& name);
