// Where a node or item stands after the comparison: never looked up, found
// in both trees with equal content, found in one tree only, or found in both
// with different content (items only).
#pragma once

#include <cstdint>

enum CompareState : int32_t {
    csUncompared = -1,
    csIdentical = 0,
    csUnique = 1,
    csChanged = 2,
};

// Which forms of names, sizes and string data a comparison compares: those
// the records hold, as in every comparison of a file written before files
// carried an appendix; or the exact ones, when both files keep what their
// records could not hold (SnapAppendix.h).
enum class Exactness : uint8_t {
    Recorded,
    Exact,
};

// The handle of an entry's line in a tree control (HTREEITEM in the views).
using TreeItemHandle = void*;
