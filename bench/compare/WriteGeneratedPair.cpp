// Writes a generated pair of the comparison benchmarks to two snapshot files,
// so that corvane-diff itself can be timed on it: the file-system pair
// (1,000,000 files in 100,000 folders, 1 % changed) or, with --registry, the
// desktop registry pair (700,000 keys, 1,200,000 values, 1 % changed):
//   write_generated_pair [--registry] BEFORE AFTER
#include "bench/compare/GeneratedSnapshots.h"
#include "snapshot/StdioFile.h"

#include <cstdio>
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
    bool registry = argc == 4 && std::strcmp(argv[1], "--registry") == 0;
    if (argc != (registry ? 4 : 3)) {
        std::fprintf(stderr, "usage: write_generated_pair [--registry] BEFORE AFTER\n");
        return 2;
    }
    const char* beforePath = argv[argc - 2];
    const char* afterPath = argv[argc - 1];
    if (registry) {
        CGeneratedRegPair pair = GenerateRegistryPair(DesktopRegistryShape());
        return Save(beforePath, pair.before) && Save(afterPath, pair.after) ? 0 : 1;
    }
    CGeneratedPair pair = GeneratePair(ManyFoldersShape());
    return Save(beforePath, pair.before) && Save(afterPath, pair.after) ? 0 : 1;
}
