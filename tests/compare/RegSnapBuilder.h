// Describes a registry in a few lines and writes it as a registry snapshot
// file with the project's own writer.
#pragma once

#include "snapshot/MemoryFile.h"
#include "snapshot/RegSnapFormat.h"

#include <cstdint>
#include <string>
#include <vector>

struct TValue {
    std::string name;
    uint32_t type = 0;
    std::vector<uint8_t> data;
    CValueExactParts exact = {};  // what the record cannot hold
};

struct TKey {
    std::string name;
    std::vector<TValue> values;
    std::vector<TKey> subkeys;
    std::u16string exact = {};  // the name the registry holds, when name is not it
};

// What the files this build writes say of a whole snapshot.
inline CSnapAppendix WholeAppendix()
{
    return CSnapAppendix{true, 1252, "corvane-snap", "2.1.0.0", {}, {}};
}

// The two roots of a snapshot, HKEY_LOCAL_MACHINE and HKEY_USERS, and the
// appendix written after them (none when not present: a file of 2.0.0.1).
struct TRegistry {
    TKey machine{"HKEY_LOCAL_MACHINE", {}, {}};
    TKey users{"HKEY_USERS", {}, {}};
    CSnapAppendix appendix = WholeAppendix();
};

inline TValue Dword(const std::string& name, uint32_t v)
{
    return TValue{name, 4, {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}};
}

inline TValue Sz(const std::string& name, const std::string& text, uint32_t type = 1)
{
    std::vector<uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    return TValue{name, type, data};
}

inline uint32_t CountKeys(const TKey& key)
{
    uint32_t count = 1;
    for (const TKey& sub : key.subkeys)
        count += CountKeys(sub);
    return count;
}

inline void WriteKey(CRegSnapWriter& writer, const TKey& key)
{
    writer.WriteKeyName(key.name, key.exact);
    writer.WriteKeyCounts(static_cast<uint32_t>(key.subkeys.size()),
                          static_cast<uint32_t>(key.values.size()));
    for (const TValue& v : key.values)
        writer.WriteValue(v.name.data(), v.name.size(), v.type, v.data.data(),
                          static_cast<uint32_t>(v.data.size()), v.exact);
    for (const TKey& sub : key.subkeys)
        WriteKey(writer, sub);
}

inline CMemoryFile WriteSnapshot(const TRegistry& registry)
{
    CMemoryFile file;
    CRegSnapWriter writer(file);
    writer.WriteHeader();
    WriteKey(writer, registry.machine);
    WriteKey(writer, registry.users);
    if (registry.appendix.present)
        writer.WriteAppendix(registry.appendix);
    writer.Finish(CountKeys(registry.machine) + CountKeys(registry.users));
    file.SeekToBegin();
    return file;
}
