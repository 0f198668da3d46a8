// Google Benchmark of the file-system comparison on generated snapshots:
// the time of the whole run (load both, compare both ways, prune), and the
// peak heap per loaded file, counted at operator new, as counters.
#include "bench/compare/CompareRun.h"
#include "bench/compare/GeneratedSnapshots.h"

#include <benchmark/benchmark.h>

namespace {

void RunPair(benchmark::State& state, const CGeneratedShape& shape)
{
    CGeneratedPair pair = GeneratePair(shape);
    CCompareRunFigures figures{};
    double deleteSeconds = 0;
    for (auto _ : state) {
        figures = MeasureCompareRun(GeneratedKind::FileSystem, pair.before, pair.after);
        state.SetIterationTime(figures.compareSeconds);
        deleteSeconds = figures.deleteSeconds;
        if (!figures.ok)
            state.SkipWithError("the comparison failed");
    }
    double files = static_cast<double>(pair.filesBefore + pair.filesAfter);
    state.counters["files_loaded"] = files;
    state.counters["avg_name_len"] = static_cast<double>(pair.nameBytes) / files;
    state.counters["peak_MB"] = static_cast<double>(figures.peakBytes) / 1e6;
    state.counters["bytes_per_file"] = static_cast<double>(figures.peakBytes) / files;
    state.counters["delete_s"] = deleteSeconds;
}

void BM_Compare1MFilesIn100kFolders(benchmark::State& state)
{
    RunPair(state, ManyFoldersShape());
}

void BM_Compare100kFilesInOneFolder(benchmark::State& state)
{
    RunPair(state, OneFolderShape());
}

}  // namespace

BENCHMARK(BM_Compare1MFilesIn100kFolders)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Compare100kFilesInOneFolder)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

BENCHMARK_MAIN();
