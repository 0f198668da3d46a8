// Keys per second of a registry snapshot of the whole registry of the running
// system (under Wine: the prefix's registry), against a bare recursive walk
// that queries the same keys and values and writes nothing.
//   reg_walk_bench SNAPSHOT-PATH [ROUNDS]
#include "bench/snapshot/BenchClock.h"
#include "bench/snapshot/BenchRegSnap.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Every key and value read once, with buffers of the sizes the key reports.
uint32_t BareWalk(HKEY key)
{
    DWORD subkeys = 0, maxSubkey = 0, values = 0, maxName = 0, maxData = 0;
    if (::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, &maxSubkey, nullptr, &values,
                           &maxName, &maxData, nullptr, nullptr) != ERROR_SUCCESS)
        return 0;
    std::vector<char> name(std::max(maxName, maxSubkey) + 2);
    std::vector<BYTE> data(maxData + 2);
    for (DWORD i = 0; i < values; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size()), dataLength = static_cast<DWORD>(data.size());
        ::RegEnumValueA(key, i, name.data(), &nameLength, nullptr, nullptr, data.data(), &dataLength);
    }
    uint32_t keys = 1;
    for (DWORD j = 0; j < subkeys; ++j) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        if (::RegEnumKeyExA(key, j, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            continue;
        HKEY sub;
        if (::RegOpenKeyExA(key, name.data(), 0, KEY_READ, &sub) == ERROR_SUCCESS) {
            keys += BareWalk(sub);
            ::RegCloseKey(sub);
        }
    }
    return keys;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: reg_walk_bench SNAPSHOT-PATH [ROUNDS]\n");
        return 2;
    }
    std::string path = argv[1];
    int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    CQuietMessages messages;
    CNullProgress progress;
    for (int round = 1; round <= rounds; ++round) {
        for (BOOL fullPaths : {FALSE, TRUE}) {
            CBenchRegSnap snap(path, nullptr, &progress, fullPaths, &messages);
            LARGE_INTEGER start, end;
            ::QueryPerformanceCounter(&start);
            snap.Run();
            ::QueryPerformanceCounter(&end);
            if (!snap.finished) {
                std::fprintf(stderr, "the snapshot did not finish\n");
                return 1;
            }
            double s = Seconds(start, end);
            std::printf("round %d, full paths %s: %u keys recorded, %u ignored, %.3f s, %.0f keys/s\n",
                        round, fullPaths ? "on " : "off", snap.KeysRecorded(), snap.KeysIgnored(), s,
                        snap.KeysRecorded() / s);
            if (fullPaths && round == 1)
                std::printf("not opened:\n%s", snap.IgnoredList().c_str());
        }
        LARGE_INTEGER start, end;
        ::QueryPerformanceCounter(&start);
        uint32_t keys = BareWalk(HKEY_LOCAL_MACHINE) + BareWalk(HKEY_USERS);
        ::QueryPerformanceCounter(&end);
        double s = Seconds(start, end);
        std::printf("round %d, bare walk: %u keys, %.3f s, %.0f keys/s\n", round, keys, s, keys / s);
    }
    return 0;
}
