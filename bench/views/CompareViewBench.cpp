// From the second Open dialog's OK to both trees of the file-system results
// view shown, and then Expand All, for a generated pair of snapshots in which
// every one of N files (in 10,000 folders) differs; with the process's peak
// memory after each stage. Run under Wine:
//   scripts/wine-run build/win/bench/views/compare_view_bench.exe [N] [--no-expand]
// (--no-expand stops after the trees are shown.)
// The two snapshot files are written to the temp folder by a child process of
// the same program, so the generator's memory is no part of the peaks.
#include "bench/compare/GeneratedSnapshots.h"
#include "bench/views/ViewBench.h"
#include "snapshot/SnapOperation.h"
#include "views/FSView.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const uint32_t kFolders = 10000;
const char kWriteMode[] = "--write";

// Every file of the first snapshot is in the second with another size.
CGeneratedShape EveryFileDiffers(uint32_t files)
{
    uint32_t perFolder = (files + kFolders - 1) / kFolders;
    return CGeneratedShape{kFolders, perFolder, 8, 1.0, 0.0, 0.0};
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// The child's part: generates the pair and writes both files.
int WritePair(uint32_t files, const std::string& path1, const std::string& path2)
{
    CGeneratedPair pair = GeneratePair(EveryFileDiffers(files));
    if (!WriteBytes(path1, pair.before.Bytes()) || !WriteBytes(path2, pair.after.Bytes())) {
        std::fprintf(stderr, "could not write the snapshots\n");
        return 1;
    }
    std::printf("snapshots: %llu and %llu files, %.1f and %.1f MB\n",
                static_cast<unsigned long long>(pair.filesBefore), static_cast<unsigned long long>(pair.filesAfter),
                pair.before.Bytes().size() / 1048576.0, pair.after.Bytes().size() / 1048576.0);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::string(argv[1]) == kWriteMode)
        return WritePair(static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)), argv[3], argv[4]);
    uint32_t files = argc > 1 ? static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10)) : 100000;
    bool expand = !(argc > 2 && std::string(argv[2]) == "--no-expand");
    if (files < kFolders) {
        std::fprintf(stderr, "N must be at least %u\n", kFolders);
        return 2;
    }

    std::string path1 = TempFilePath("corvane_view_bench_1.tvrec");
    std::string path2 = TempFilePath("corvane_view_bench_2.tvrec");
    std::printf("%u differing files in %u folders\n", files, kFolders);
    if (!RunSnapshotWriter(argv[0], kWriteMode, files, path1, path2)) {
        std::fprintf(stderr, "the snapshots were not written\n");
        return 1;
    }
    CFSView view;
    int code = MeasureComparisonInView(view, kSnapKindFileSystem, path1, path2, expand);
    ::DeleteFileA(path1.c_str());
    ::DeleteFileA(path2.c_str());
    return code;
}
