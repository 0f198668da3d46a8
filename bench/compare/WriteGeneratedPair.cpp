// Writes a generated pair of the comparison benchmarks to two snapshot files,
// so that corvane-diff itself can be timed on it: the file-system pair
// (1,000,000 files in 100,000 folders, 1 % changed) or, with --registry, the
// desktop registry pair (700,000 keys, 1,200,000 values, 1 % changed); with
// --scale K, K times as many folders and files, or keys and values:
//   write_generated_pair [--registry] [--scale K] BEFORE AFTER
#include "bench/compare/GeneratedSnapshots.h"
#include "snapshot/StdioFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool Save(const char* path, const CMemoryFile& snapshot)
{
    CStdioFile file;
    const auto& bytes = snapshot.Bytes();
    if (file.CreateTruncate(path) && file.Write(bytes.data(), static_cast<uint32_t>(bytes.size())))
        return true;
    std::fprintf(stderr, "cannot write %s\n", path);
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    bool registry = false;
    uint32_t scale = 1;
    int arg = 1;
    for (; arg + 2 < argc; ++arg) {
        if (std::strcmp(argv[arg], "--registry") == 0)
            registry = true;
        else if (std::strcmp(argv[arg], "--scale") == 0 && arg + 3 < argc)
            scale = static_cast<uint32_t>(std::strtoul(argv[++arg], nullptr, 10));
        else
            break;
    }
    if (argc - arg != 2 || scale < 1 || scale > 100) {
        std::fprintf(stderr, "usage: write_generated_pair [--registry] [--scale K] BEFORE AFTER\n");
        return 2;
    }
    const char* beforePath = argv[arg];
    const char* afterPath = argv[arg + 1];
    if (registry) {
        CGeneratedRegShape shape = DesktopRegistryShape();
        shape.keys *= scale;
        shape.values *= scale;
        CGeneratedRegPair pair = GenerateRegistryPair(shape);
        return Save(beforePath, pair.before) && Save(afterPath, pair.after) ? 0 : 1;
    }
    CGeneratedShape shape = ManyFoldersShape();
    shape.folders *= scale;
    CGeneratedPair pair = GeneratePair(shape);
    return Save(beforePath, pair.before) && Save(afterPath, pair.after) ? 0 : 1;
}
