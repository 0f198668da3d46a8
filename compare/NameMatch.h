// Whether two stored names denote the same entry: compared without regard to
// letter case the way the C runtime's _mbsicmp does in its default locale,
// character by character as AnsiChars.h folds them: the letters A to Z onto a
// to z, accented letters of a single-byte code page byte for byte, and a
// double-byte character as one unit after the code page's own lower-case
// mapping.
#pragma once

#include "compare/CompareName.h"

#include <cstdint>

bool NamesMatch(const CCompareName& a, const CCompareName& b);

// Equal for any two names that NamesMatch accepts, and made of every
// character of the name, folded the same way, so that names of any letters
// spread over the whole range.
uint32_t NameMatchHash(const CCompareName& name);
