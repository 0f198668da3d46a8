#include "bench/compare/GeneratedSnapshots.h"

#include "snapshot/FSSnapFormat.h"
#include "snapshot/RegSnapFormat.h"

#include <random>
#include <string>
#include <vector>

namespace {

// Name stems and extensions of varied length, as a drive's files have them.
const char* const kStems[] = {"setup", "readme", "Microsoft.Windows.Common-Controls_", "img_",
                              "kernel", "WindowsCodecsRaw", "x", "Document ", "libcrypto-",
                              "en-US_resources_"};
const char* const kExtensions[] = {".dll", ".txt", ".exe", ".manifest", ".jpg", ".mui", "", ".cat"};

struct Writer {
    const CGeneratedShape& shape;
    std::mt19937 random;
    CFSSnapWriter& before;
    CFSSnapWriter& after;
    CGeneratedPair& pair;
    uint32_t foldersWritten = 0;
    uint64_t serial = 0;

    std::string FileName()
    {
        uint64_t n = serial++;
        return kStems[n % 10] + std::to_string(n) + kExtensions[(n / 10) % 8];
    }

    bool Chance(double share) { return std::uniform_real_distribution<double>(0, 1)(random) < share; }

    void WriteFile(CFSSnapWriter& w, const std::string& name, uint32_t size, uint64_t time)
    {
        w.WriteFile(name.data(), name.size(), time, time + 7, size);
        pair.nameBytes += name.size();
    }

    // Writes one folder, in both snapshots, and the subfolders it is given.
    void Folder(const std::string& name, uint32_t subfoldersToGive)
    {
        ++foldersWritten;
        uint64_t countsBefore = before.BeginFolder(name.data(), name.size());
        uint64_t countsAfter = after.BeginFolder(name.data(), name.size());
        uint32_t filesBefore = 0, filesAfter = 0;
        for (uint32_t i = 0; i < shape.filesPerFolder; ++i) {
            std::string file = FileName();
            uint32_t size = static_cast<uint32_t>(random() % 1000000);
            uint64_t time = 130698651090000000ull + random();
            WriteFile(before, file, size, time);
            ++filesBefore;
            if (Chance(shape.removed))
                continue;
            WriteFile(after, file, Chance(shape.changed) ? size + 1 : size, time);
            ++filesAfter;
        }
        for (uint32_t i = 0; i < shape.filesPerFolder; ++i)
            if (Chance(shape.added)) {
                WriteFile(after, FileName(), 1, 130698651090000000ull);
                ++filesAfter;
            }
        pair.filesBefore += filesBefore;
        pair.filesAfter += filesAfter;

        uint32_t children =
            subfoldersToGive < shape.foldersPerFolder ? subfoldersToGive : shape.foldersPerFolder;
        subfoldersToGive -= children;
        // Give the subfolders breadth first, so the tree stays shallow.
        std::vector<uint32_t> shares(children, 0);
        for (uint32_t i = 0; i < children && subfoldersToGive; ++i) {
            uint32_t share = subfoldersToGive / (children - i);
            shares[i] = share;
            subfoldersToGive -= share;
        }
        for (uint32_t i = 0; i < children; ++i)
            Folder("Folder " + std::to_string(foldersWritten), shares[i]);
        before.EndFolder(countsBefore, children, filesBefore);
        after.EndFolder(countsAfter, children, filesAfter);
    }
};

// Writes the registry before and after the change in one pass, so both hold
// the same keys and values in the same order and differ only in the data of
// the values picked for a change.
class CRegistryWriter {
public:
    CRegistryWriter(const CGeneratedRegShape& shape, CGeneratedRegPair& pair)
        : m_shape(shape), m_pair(pair), m_before(pair.before), m_after(pair.after)
    {
    }

    void Generate()
    {
        m_before.WriteHeader();
        m_after.WriteHeader();
        uint32_t machineKeys = m_shape.keys * 3 / 5;
        WriteKey("HKEY_LOCAL_MACHINE", machineKeys, 0);
        WriteKey("HKEY_USERS", m_shape.keys - machineKeys, 0);
        m_before.Finish(m_pair.keys);
        m_after.Finish(m_pair.keys);
        m_pair.before.SeekToBegin();
        m_pair.after.SeekToBegin();
    }

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
        uint32_t serial = ++m_pair.keys;
        uint32_t below = keys - 1;
        uint32_t fanout = 0;
        if (below > 0) {
            uint32_t pick = Next() % 100;
            fanout = depth > 10 ? below : pick < 2 ? 2000 : 1 + Next() % 8;
            if (fanout > below)
                fanout = below;
        }
        uint32_t values = static_cast<uint32_t>(uint64_t(serial) * m_shape.values / m_shape.keys -
                                                uint64_t(serial - 1) * m_shape.values / m_shape.keys);
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
        ++m_pair.values;
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
        m_pair.dataBytes += data.size();
        m_before.WriteValue(name.data(), name.size(), type, data.data(), static_cast<uint32_t>(data.size()));
        if (Next() % 1000 < m_shape.changedPerMille) {
            ++m_pair.changed;
            if (Next() % 2)
                data.back() = static_cast<char>(data.back() ^ 1);  // the same length, a byte differs
            else
                data += 'x';  // one byte more
        }
        m_after.WriteValue(name.data(), name.size(), type, data.data(), static_cast<uint32_t>(data.size()));
    }

    const CGeneratedRegShape& m_shape;
    CGeneratedRegPair& m_pair;
    CRegSnapWriter m_before, m_after;
    uint32_t m_seed = 2463534242u;
};

}  // namespace

CGeneratedShape ManyFoldersShape()
{
    return CGeneratedShape{100000, 10, 8, 0.01, 0.001, 0.001};
}

CGeneratedShape OneFolderShape()
{
    return CGeneratedShape{1, 100000, 0, 0.01, 0.001, 0.001};
}

CGeneratedPair GeneratePair(const CGeneratedShape& shape, uint32_t seed)
{
    CGeneratedPair pair;
    CFSSnapWriter before(pair.before), after(pair.after);
    before.WriteHeader('C');
    after.WriteHeader('C');
    Writer writer{shape, std::mt19937(seed), before, after, pair};
    writer.Folder("C:", shape.folders - 1);
    before.Finish(writer.foldersWritten);
    after.Finish(writer.foldersWritten);
    pair.before.SeekToBegin();
    pair.after.SeekToBegin();
    return pair;
}

CGeneratedRegShape DesktopRegistryShape()
{
    return CGeneratedRegShape{700000, 1200000, 10};
}

CGeneratedRegPair GenerateRegistryPair(const CGeneratedRegShape& shape)
{
    CGeneratedRegPair pair;
    CRegistryWriter(shape, pair).Generate();
    return pair;
}
