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

// The handle of an entry's line in a tree control (HTREEITEM in the views).
using TreeItemHandle = void*;
