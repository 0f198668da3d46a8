// From the second Open dialog's OK to both trees of the registry results view
// shown, and then Expand All, for two snapshots of the whole registry of the
// running system (under Wine: the prefix's) taken with the program's own
// walker, between which KEYS keys (default 1,000) with five values of
// different types each were added below
// HKEY_LOCAL_MACHINE\Software\Corvane Bench; with the process's peak memory
// after each stage and the keys and values of both snapshots. Run under Wine:
//   scripts/wine-run build/win/bench/views/reg_view_bench.exe [KEYS] [--no-expand]
// (--no-expand stops after the trees are shown.)
// A child process of the same program takes both snapshots to the temp folder
// and removes the added keys again, so the walker's memory is no part of the
// peaks.
#include "bench/compare/TreeCounts.h"
#include "bench/snapshot/BenchRegSnap.h"
#include "bench/views/ViewBench.h"
#include "compare/RegMine.h"
#include "operation/DiskSnapFile.h"
#include "res/resource.h"
#include "snapshot/SnapOperation.h"
#include "views/RegView.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const char kSnapshotsMode[] = "--snapshots";
// Below HKEY_LOCAL_MACHINE; the only place the benchmark changes.
const char kBenchKey[] = "Software\\Corvane Bench";

// Removes the benchmark's key with everything below it, left over or not.
void RemoveBenchKey()
{
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kBenchKey);
}

// A key created (or opened) for writing, closed when it goes.
class CWritableKey {
public:
    CWritableKey(HKEY parent, const std::string& name)
    {
        if (::RegCreateKeyExA(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr) !=
            ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~CWritableKey()
    {
        if (m_key)
            ::RegCloseKey(m_key);
    }
    CWritableKey(const CWritableKey&) = delete;
    CWritableKey& operator=(const CWritableKey&) = delete;

    HKEY Get() const { return m_key; }
    bool Set(const char* name, DWORD type, const std::string& data)
    {
        return m_key && ::RegSetValueExA(m_key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                                         static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
    }

private:
    HKEY m_key = nullptr;
};

// The keys added between the two snapshots, each with a text, a number, binary
// data, a list of texts and a text with a variable in it; removed again when
// the object goes, whether they were all added or not.
class CAddedBenchKeys {
public:
    CAddedBenchKeys() = default;
    ~CAddedBenchKeys() { RemoveBenchKey(); }
    CAddedBenchKeys(const CAddedBenchKeys&) = delete;
    CAddedBenchKeys& operator=(const CAddedBenchKeys&) = delete;

    static const int kValuesPerKey = 5;

    bool Add(uint32_t count)
    {
        CWritableKey parent(HKEY_LOCAL_MACHINE, kBenchKey);
        for (uint32_t i = 0; i < count; ++i) {
            std::string number = std::to_string(i);
            CWritableKey key(parent.Get(), "Key " + number);
            DWORD dword = i;
            std::string binary;
            for (int b = 0; b < 16; ++b)
                binary += static_cast<char>(i * 31 + b);
            if (!key.Set("Name", REG_SZ, "Benchmark key " + number + '\0') ||
                !key.Set("Count", REG_DWORD, std::string(reinterpret_cast<const char*>(&dword), sizeof dword)) ||
                !key.Set("Data", REG_BINARY, binary) ||
                !key.Set("Folders", REG_MULTI_SZ, "C:\\Bench\\" + number + '\0' + "D:\\Bench" + '\0' + '\0') ||
                !key.Set("Path", REG_EXPAND_SZ, "%SystemRoot%\\Bench\\" + number + '\0'))
                return false;
        }
        return true;
    }
};

bool TakeSnapshot(const std::string& path, IUserMessages& messages)
{
    CNullProgress progress;
    CBenchRegSnap snap(path, nullptr, &progress, FALSE, &messages);
    snap.Run();
    if (snap.finished)
        std::printf("  %s: %u keys recorded, %u could not be opened\n", path.c_str(), snap.KeysRecorded(),
                    snap.KeysIgnored());
    return snap.finished;
}

// The keys and values of a snapshot file, as the comparison engine loads it.
bool PrintSnapshotCounts(const char* which, const std::string& path, IUserMessages& messages)
{
    CDiskSnapFile file;
    if (!file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite))
        return false;
    CRegMine mine(messages);
    mine.CreateRoots();
    if (!mine.Load(file, mine.GetRoot1()))
        return false;
    CTreeCounts counts = CountsBelow(*mine.GetRoot1());
    std::printf("%s: %llu keys and %llu values\n", which, static_cast<unsigned long long>(counts.nodes),
                static_cast<unsigned long long>(counts.items));
    return true;
}

// The child's part: the snapshot before the keys are added and the one after.
int TakeSnapshots(uint32_t keys, const std::string& path1, const std::string& path2)
{
    CQuietMessages messages;
    RemoveBenchKey();
    if (!TakeSnapshot(path1, messages)) {
        std::fprintf(stderr, "the first snapshot did not finish\n");
        return 1;
    }
    {
        CAddedBenchKeys added;
        if (!added.Add(keys)) {
            std::fprintf(stderr, "the keys could not be added\n");
            return 1;
        }
        if (!TakeSnapshot(path2, messages)) {
            std::fprintf(stderr, "the second snapshot did not finish\n");
            return 1;
        }
    }
    if (!PrintSnapshotCounts("snapshot 1", path1, messages) || !PrintSnapshotCounts("snapshot 2", path2, messages)) {
        std::fprintf(stderr, "the snapshots could not be read back\n");
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::string(argv[1]) == kSnapshotsMode)
        return TakeSnapshots(static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)), argv[3], argv[4]);
    uint32_t keys = argc > 1 ? static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10)) : 1000;
    bool expand = !(argc > 2 && std::string(argv[2]) == "--no-expand");
    if (keys == 0) {
        std::fprintf(stderr, "KEYS must be at least 1\n");
        return 2;
    }

    std::string path1 = TempFilePath("corvane_reg_view_bench_1.tvrec");
    std::string path2 = TempFilePath("corvane_reg_view_bench_2.tvrec");
    std::printf("%u keys with %d values each added below HKEY_LOCAL_MACHINE\\%s between the snapshots\n", keys,
                CAddedBenchKeys::kValuesPerKey, kBenchKey);
    bool taken = RunSnapshotWriter(argv[0], kSnapshotsMode, keys, path1, path2);
    // The child removes its keys itself; this covers a child that died.
    RemoveBenchKey();
    int code = 1;
    if (taken) {
        CRegView view;
        code = MeasureComparisonInViews(kSnapKindRegistry, path1, path2, ID_REG_VIEW_OPPOSITE, ID_REG_VIEW_VALUE,
                                        {CViewRun{"registry view", &view, nullptr, expand, false, nullptr}});
    } else {
        std::fprintf(stderr, "the snapshots were not taken\n");
    }
    ::DeleteFileA(path1.c_str());
    ::DeleteFileA(path2.c_str());
    return code;
}
