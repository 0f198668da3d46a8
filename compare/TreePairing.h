// The pairing of two trees: the directional pass that links counterparts
// and settles states, and the marking of siblings whose names match.
//
// Siblings whose names match each other (a folder with case-sensitive names)
// are paired in order: the k-th of them in one tree with the k-th in the
// other; the rest are unique. Every walk is iterative, so nesting depth never
// costs stack.
#pragma once

#include "compare/CompareNode.h"

class IProgress;

// One directional pass of root's tree against opposite's: links each node
// and item to its counterpart and settles its state (unique, identical,
// changed). Each pair of nodes compared advances the progress bar by one
// step; progress may be null. A second pass the other way meets the pairs of
// the first again and settles what only the other tree holds.
// exactness: which forms of names and contents are compared.
void PairTrees(CCompareNode* root, CCompareNode* opposite, IProgress* progress,
               Exactness exactness = Exactness::Recorded);

// Marks every node and item of root's tree that has a sibling of a matching
// name (HasTwin): the pairing tells such siblings apart only by their order,
// which nothing outside the comparison knows.
void MarkTwins(CCompareNode* root, Exactness exactness = Exactness::Recorded);
