// One measured comparison of a generated pair: the times of the whole run
// and of deleting the result, and the heap it needed at its peak.
#pragma once

#include "bench/compare/GeneratedSnapshots.h"

#include <cstdint>

struct CCompareRunFigures {
    double compareSeconds;  // load both, compare both ways, prune
    double deleteSeconds;   // deleting the engine with what is left of both trees
    uint64_t peakBytes;     // heap in use at the peak of the run, above what was in use before
    bool ok;
};

CCompareRunFigures MeasureCompareRun(CGeneratedPair& pair);
