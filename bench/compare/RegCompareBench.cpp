// The registry comparison on two generated snapshots the size of a full
// desktop registry (700,000 keys, 1,200,000 values), 1 % of the values
// changed: the time of the whole run (load both, compare both ways, prune)
// and the peak heap per loaded value, counted at operator new.
//   reg_compare_bench [ROUNDS]
#include "bench/compare/HeapCounter.h"
#include "bench/compare/TreeCounts.h"
#include "compare/RegMine.h"
#include "compare/RegNode.h"
#include "compare/RegVal.h"
#include "snapshot/MemoryFile.h"
#include "snapshot/RegSnapFormat.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kKeys = 700000;
constexpr uint32_t kValues = 1200000;
constexpr uint32_t kChangedPerMille = 10;

class CSilentMessages : public IUserMessages {
public:
    MsgAnswer Show(const std::string& text, MsgIcon, MsgButtons) override
    {
        std::fprintf(stderr, "message: %s\n", text.c_str());
        return MsgAnswer::Ok;
    }
};

// Writes the snapshot before and after the change in one pass, so both
// hold the same keys and values in the same order and differ only in the
// data of the values picked for a change.
class CRegistryGenerator {
public:
    CRegistryGenerator() : m_before(m_file1), m_after(m_file2) {}

    void Generate()
    {
        m_before.WriteHeader();
        m_after.WriteHeader();
        uint32_t machineKeys = kKeys * 3 / 5;
        WriteKey("HKEY_LOCAL_MACHINE", machineKeys, 0);
        WriteKey("HKEY_USERS", kKeys - machineKeys, 0);
        m_before.Finish(m_keys);
        m_after.Finish(m_keys);
        m_file1.SeekToBegin();
        m_file2.SeekToBegin();
    }

    CMemoryFile m_file1, m_file2;
    uint32_t m_keys = 0, m_values = 0, m_changed = 0;
    uint64_t m_dataBytes = 0;

private:
    uint32_t Next()
    {
        m_seed ^= m_seed << 13;
        m_seed ^= m_seed >> 17;
        m_seed ^= m_seed << 5;
        return m_seed;
    }

    std::string Name(const char* prefix, uint32_t minLength, uint32_t spread)
    {
        std::string name = prefix;
        uint32_t length = minLength + Next() % spread;
        while (name.size() < length)
            name += static_cast<char>('a' + Next() % 26);
        return name;
    }

    // A key holding keys - 1 keys below it, spread over a few subkeys, now
    // and then over thousands (as class registrations are).
    void WriteKey(const std::string& name, uint32_t keys, uint32_t depth)
    {
        ++m_keys;
        uint32_t below = keys - 1;
        uint32_t fanout = 0;
        if (below > 0) {
            uint32_t pick = Next() % 100;
            fanout = depth > 10 ? below : pick < 2 ? 2000 : 1 + Next() % 8;
            if (fanout > below)
                fanout = below;
        }
        uint32_t values = static_cast<uint32_t>(uint64_t(m_keys) * kValues / kKeys -
                                                uint64_t(m_keys - 1) * kValues / kKeys);
        for (CRegSnapWriter* w : {&m_before, &m_after}) {
            w->WriteKeyName(name);
            w->WriteKeyCounts(fanout, values);
        }
        for (uint32_t i = 0; i < values; ++i)
            WriteValue();
        for (uint32_t i = 0; i < fanout; ++i) {
            uint32_t share = below / fanout + (i < below % fanout ? 1 : 0);
            WriteKey(Name("", 4, 20), share, depth + 1);
        }
    }

    void WriteValue()
    {
        ++m_values;
        std::string name = Next() % 10 == 0 ? std::string() : Name("", 3, 18);
        uint32_t type;
        std::string data;
        uint32_t kind = Next() % 100;
        if (kind < 40) {
            type = 1;  // a path or a text
            data = Name("C:\\Program Files\\", 10, 50) + '\0';
        } else if (kind < 75) {
            type = 4;
            uint32_t v = Next() % 4 == 0 ? Next() : Next() % 16;
            data.assign(reinterpret_cast<const char*>(&v), 4);
        } else if (kind < 90) {
            type = 3;
            data.resize(8 + Next() % 56);
            for (char& c : data)
                c = static_cast<char>(Next());
        } else {
            type = Next() % 2 ? 2 : 7;
            data = Name("%SystemRoot%\\", 10, 40) + '\0' + '\0';
        }
        m_dataBytes += data.size();
        m_before.WriteValue(name.data(), name.size(), type, data.data(), static_cast<uint32_t>(data.size()));
        if (Next() % 1000 < kChangedPerMille) {
            ++m_changed;
            if (Next() % 2)
                data.back() = static_cast<char>(data.back() ^ 1);  // the same length, a byte differs
            else
                data += 'x';  // one byte more
        }
        m_after.WriteValue(name.data(), name.size(), type, data.data(), static_cast<uint32_t>(data.size()));
    }

    CRegSnapWriter m_before, m_after;
    uint32_t m_seed = 2463534242u;
};

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv)
{
    int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
    CRegistryGenerator generator;
    generator.Generate();
    std::printf("generated: %u keys and %u values in each snapshot (%.1f bytes of data per value), "
                "%u values changed; files of %.1f MB\n",
                generator.m_keys, generator.m_values,
                static_cast<double>(generator.m_dataBytes) / generator.m_values, generator.m_changed,
                static_cast<double>(generator.m_file1.Bytes().size()) / 1e6);

    std::printf("objects before allocator rounding: a key %zu bytes, a value %zu bytes and its data\n",
                sizeof(CRegNode), sizeof(CRegVal));

    CSilentMessages messages;
    double best = 1e9;
    for (int round = 0; round < rounds; ++round) {
        uint64_t before = HeapCounter::Current();
        HeapCounter::ResetPeak();
        auto start = std::chrono::steady_clock::now();
        auto mine = std::make_unique<CRegMine>(messages);
        bool ok = mine->Compare(nullptr, generator.m_file1, generator.m_file2);
        double seconds = SecondsSince(start);
        uint64_t peak = HeapCounter::Peak() - before;
        if (!ok) {
            std::printf("the comparison failed\n");
            return 1;
        }
        CTreeCounts left1 = CountsBelow(*mine->GetRoot1()), left2 = CountsBelow(*mine->GetRoot2());
        start = std::chrono::steady_clock::now();
        mine.reset();
        double deleteSeconds = SecondsSince(start);
        best = seconds < best ? seconds : best;
        double loaded = 2.0 * generator.m_values;
        std::printf("round %d: load-compare-prune %.3f s, delete %.3f s, peak heap %.1f MB = %.1f bytes "
                    "per loaded value; left %llu keys and %llu values in tree 1, %llu and %llu in tree 2\n",
                    round + 1, seconds, deleteSeconds, static_cast<double>(peak) / 1e6,
                    static_cast<double>(peak) / loaded, static_cast<unsigned long long>(left1.nodes),
                    static_cast<unsigned long long>(left1.items), static_cast<unsigned long long>(left2.nodes),
                    static_cast<unsigned long long>(left2.items));
    }
    std::printf("best of %d: %.3f s\n", rounds, best);
    return 0;
}
