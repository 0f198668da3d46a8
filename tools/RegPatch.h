// A registry patch: a file in the REGEDIT4 text format, the one the system's
// registry editor imports, that turns the state of one snapshot of a finished
// registry comparison into the other's.
//
// Keys found in the target state only are created with all their values and
// subkeys, keys found in the starting state only are deleted ("[-KEY]"), and
// in the keys of both, values are added, changed or deleted ("NAME"=-). Each
// value is written with its type and its exact data:
//   "text"        a REG_SZ whose data are printable text and one final zero
//   dword:0000002a a REG_DWORD of exactly 4 bytes
//   hex:01,02     a REG_BINARY
//   hex(N):...    every other type and size, N in hexadecimal
// Long hexadecimal data are wrapped with "\" continuation lines as the
// registry editor's own exports are. Lines end in CRLF on every build.
//
// What a registry file cannot carry exactly is refused, the whole patch with
// it: a key or value name with a line break, a key name that is empty or
// holds a backslash, a root other than the two a snapshot records or one
// found in one snapshot only, and string data (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) that do not end with
// a zero byte, to which the registry editor adds one on import.
//
// Values are equal when their data are, as in the comparison itself: a value
// whose type alone changed is not in the pruned trees and not in the patch.
#pragma once

#include "compare/CompareMine.h"

#include <string>

// Writes the patch from root 1's state to root 2's, or with reverse from root
// 2's back to root 1's, into text. False when an entry cannot be written:
// text is then empty and refusal holds one line per refused entry, under a
// first line that says what was refused, with no line end after the last.
bool WriteRegPatch(const CCompareMine& mine, bool reverse, std::string& text, std::string& refusal);
