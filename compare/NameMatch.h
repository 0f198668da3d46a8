// Whether two stored names denote the same entry, compared without regard to
// letter case.
//
// Recorded names are compared the way the C runtime's _mbsicmp does in its
// default locale, character by character as AnsiChars.h folds them: the
// letters A to Z onto a to z, accented letters of a single-byte code page
// byte for byte, and a double-byte character as one unit after the code
// page's own lower-case mapping.
//
// Exact names are compared as Windows compares the names of files and keys:
// UTF-16 unit by unit, each folded by the system's own upper-case table
// (WideChars.h). A name without an exact form is then one of ASCII
// characters (the exact comparison gives every other name its exact form
// first), each byte one unit.
#pragma once

#include "compare/CompareName.h"
#include "compare/CompareState.h"

#include <cstdint>

bool NamesMatch(const CCompareName& a, const CCompareName& b, Exactness exactness = Exactness::Recorded);

// Equal for any two names that NamesMatch accepts with the same exactness,
// and made of every character of the name, folded the same way, so that
// names of any letters spread over the whole range.
uint32_t NameMatchHash(const CCompareName& name, Exactness exactness = Exactness::Recorded);
