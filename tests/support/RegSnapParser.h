// Reads a registry snapshot file record by record into a plain tree, for tests
// that check what a walker or writer produced. Independent of the program's
// own loader; the version word is reported, not judged.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct RegValueRecord {
    std::string name;
    uint32_t type = 0;
    std::vector<uint8_t> data;
};

struct RegKeyRecord {
    std::string name;
    std::vector<RegValueRecord> values;
    std::vector<RegKeyRecord> subkeys;

    const RegKeyRecord* Subkey(const std::string& n) const
    {
        for (const auto& k : subkeys)
            if (k.name == n)
                return &k;
        return nullptr;
    }
};

struct RegSnapFile {
    uint16_t version = 0;
    uint32_t keysRecorded = 0;
    uint32_t rootCount = 0;
    std::vector<RegKeyRecord> roots;
    uint32_t keyRecords = 0;       // every key record in the file, empty ones included
    uint32_t emptyKeyRecords = 0;  // of those, the ones with no values and no subkeys
    size_t bytesUsed = 0;          // offset just after the last root's record
};

class CRegSnapParser {
public:
    explicit CRegSnapParser(const std::vector<uint8_t>& bytes) : m_bytes(bytes) {}

    bool Parse(RegSnapFile& out, std::string& why)
    {
        if (!U16(out.version) || !U32(out.keysRecorded) || !U32(out.rootCount))
            return Fail(why, "header");
        for (uint32_t i = 0; i < out.rootCount; ++i) {
            RegKeyRecord root;
            if (!Name(root.name) || !Key(root, out))
                return Fail(why, "root " + std::to_string(i));
            out.roots.push_back(std::move(root));
        }
        out.bytesUsed = m_pos;
        return true;
    }

private:
    bool Fail(std::string& why, const std::string& where)
    {
        why = "short or malformed at offset " + std::to_string(m_pos) + " (" + where + ")";
        return false;
    }
    bool Take(void* p, size_t n)
    {
        if (m_bytes.size() - m_pos < n)
            return false;
        if (n)
            std::memcpy(p, m_bytes.data() + m_pos, n);
        m_pos += n;
        return true;
    }
    bool U16(uint16_t& v)
    {
        uint8_t b[2];
        if (!Take(b, 2))
            return false;
        v = static_cast<uint16_t>(b[0] | b[1] << 8);
        return true;
    }
    bool U32(uint32_t& v)
    {
        uint8_t b[4];
        if (!Take(b, 4))
            return false;
        v = b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24;
        return true;
    }
    bool Name(std::string& name)
    {
        uint16_t n;
        if (!U16(n))
            return false;
        name.assign(n, '\0');
        return Take(&name[0], n);
    }
    bool Key(RegKeyRecord& key, RegSnapFile& file)
    {
        uint32_t s, v;
        if (!U32(s) || !U32(v))
            return false;
        ++file.keyRecords;
        if (s == 0 && v == 0)
            ++file.emptyKeyRecords;
        for (uint32_t i = 0; i < v; ++i) {
            RegValueRecord value;
            uint32_t length;
            if (!Name(value.name) || !U32(value.type) || !U32(length))
                return false;
            if (m_bytes.size() - m_pos < length)
                return false;
            value.data.assign(m_bytes.begin() + static_cast<std::ptrdiff_t>(m_pos),
                              m_bytes.begin() + static_cast<std::ptrdiff_t>(m_pos + length));
            m_pos += length;
            key.values.push_back(std::move(value));
        }
        for (uint32_t j = 0; j < s; ++j) {
            RegKeyRecord sub;
            if (!Name(sub.name) || !Key(sub, file))
                return false;
            key.subkeys.push_back(std::move(sub));
        }
        return true;
    }

    const std::vector<uint8_t>& m_bytes;
    size_t m_pos = 0;
};

inline bool ParseRegSnap(const std::vector<uint8_t>& bytes, RegSnapFile& out, std::string& why)
{
    return CRegSnapParser(bytes).Parse(out, why);
}
