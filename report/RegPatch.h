// A registry patch: a file in the REGEDIT4 text format, the one the system's
// registry editor imports, that turns the state of one snapshot of a finished
// registry comparison into the other's. When a name or string to be written
// has an exact form that the code page cannot hold (the snapshot's appendix
// kept it), the patch takes the editor's Unicode form instead: "Windows
// Registry Editor Version 5.00", UTF-16 with its byte-order mark, string
// data of every type in UTF-16, and hexadecimal data imported as they stand,
// so that every string, an odd last byte or a missing final zero included,
// is carried exactly.
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
// The patch must reproduce the other state, value types included, and touch
// nothing that the comparison did not show, so it is made from a comparison
// that counts a value whose type alone changed as changed
// (CRegMine::SetTypesCompared) and marks siblings of matching names
// (CCompareMine::SetMarkTwins); the engine pairs such siblings one by one,
// while the registry takes them for one key or value.
//
// What a registry file cannot carry exactly is refused, the whole patch with
// it: a key or value name with a line break or a byte that is no character
// of the code page, a key or value that has a sibling of the same name once
// letters are folded, a key name that is empty or holds a backslash, and a
// root other than the two a snapshot records or one found in one snapshot
// only. String data (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) without a final
// zero byte get one from the registry editor on import: REGEDIT4 writes them
// with it, the Unicode form as they are, and the patch's header names them
// after a ";". String values set
// from a snapshot file that kept no exact forms (one of 2.0.0.1 or earlier)
// are named there too: the code page may have stood in for what they held.
//
// A key of the starting state only that held entries an exclusion took out
// is not deleted whole: what is left of it is deleted, key by key and value
// by value, and the excluded entries stay.
//
// A patch touches only what both snapshots recorded (CCompareScope): a key
// on the way to a place that both recorded is never deleted, only the places
// below it. A whole hive (HKEY_LOCAL_MACHINE\X, HKEY_USERS\X) is never
// deleted or created, nor a key directly in a user's hive deleted, unless
// the options allow it: a hive in one snapshot only is a user who logged on
// or off between them far more often than a change to undo. A pair in which
// a file that does not say what it holds lacks a hive that every snapshot of
// the whole registry holds may be a snapshot of chosen keys, and is refused.
#pragma once

#include "compare/CompareMine.h"

#include <string>
#include <unordered_set>

struct CRegPatchOptions {
    // From root 2's state back to root 1's rather than from 1 to 2.
    bool reverse = false;
    // The keys that an exclusion took entries from (CPathFilter::Apply).
    const std::unordered_set<const CCompareNode*>* trimmed = nullptr;
    // Whole hives, and keys directly in a user's hive, may be deleted or created.
    bool allowHiveChanges = false;
    // The message names entries in UTF-8, exactly, for a window that shows
    // it wide; in the ANSI code page otherwise, as a console takes it.
    bool utf8Message = false;
};

enum class RegPatchOutcome {
    Exact,
    Nearly,   // written, with string data that gained their final zero or may be inexact
    Refused,  // nothing written
};

// Writes the patch into text. message holds, under a first line that says
// what happened, one line per refused or nearly carried entry, with no line
// end after the last; a hive or a pair that may hold chosen keys only is
// refused in one line. text is empty when the patch is refused.
RegPatchOutcome WriteRegPatch(const CCompareMine& mine, const CRegPatchOptions& options,
                              std::string& text, std::string& message);
