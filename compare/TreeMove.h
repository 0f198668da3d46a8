// The moving of a pruned tree into storage of its own size, so that what is
// left of a loaded tree takes the room it needs instead of the loaded tree's.
#pragma once

#include "compare/CompareNode.h"
#include "compare/TreeStorage.h"

#include <cstdint>

// Copies root's whole tree into storage and links the copies in place of
// the originals: the other tree's entries name the copies afterwards, and
// the originals are left to go with their old storage. Returns the root's
// copy; null, with nothing changed, when the copies would need more than
// limit bytes or memory runs out (storage must then be released).
CCompareNode* MoveTreeInto(const CCompareNode& root, CTreeStorage& storage, uint64_t limit);
