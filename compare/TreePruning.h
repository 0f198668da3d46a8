// The pruning of a compared tree: what both trees hold alike leaves it.
#pragma once

#include "compare/CompareNode.h"

// Removes from root's tree every identical item and every identical node
// that holds nothing else once its own subtree is pruned; a unique node, and
// a node never compared, is kept whole. Iterative, so depth costs no stack.
void RemoveIdenticals(CCompareNode* root);
