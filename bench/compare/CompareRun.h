// One measured comparison of a generated pair: the times of the whole run, of
// each of its steps and of deleting the result, and the heap it needed at its
// peak.
#pragma once

#include "bench/compare/TreeCounts.h"
#include "compare/CompareMine.h"
#include "seams/SnapFile.h"

#include <cstdint>
#include <string>
#include <vector>

// One step of the run, named by the status text the engine shows for it.
struct CRunPhase {
    std::string status;
    double seconds;
};

struct CCompareRunFigures {
    double compareSeconds;  // load both, compare both ways, prune
    double deleteSeconds;   // deleting the engine with what is left of both trees
    uint64_t peakBytes;     // heap in use at the peak of the run, above what was in use before
    bool ok;
    std::vector<CRunPhase> phases;  // the steps of compareSeconds, in order
    CTreeCounts left1, left2;       // what the pruning left of each tree
    uint64_t heldBytes;             // the blocks that hold both trees after the run
};

enum class GeneratedKind { FileSystem, Registry };

// Runs the engine of the kind on the two files, which stay open for the next run.
CCompareRunFigures MeasureCompareRun(GeneratedKind kind, IInputFile& before, IInputFile& after);

// "load 1 0.101 s, load 2 0.099 s, ...": the steps in a line.
std::string PhasesText(const CCompareRunFigures& figures);
