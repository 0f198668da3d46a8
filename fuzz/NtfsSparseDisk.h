// A small NTFS volume kept as the sectors that hold anything: a file of
// "CVNTFS01", the volume's size in bytes (8 bytes), then for each sector that
// is not all zeros its number (4 bytes) and its 512 bytes. The tests and the
// fuzz target read it as a disk; reads past the volume's end fail, as a
// real device's do.
#pragma once

#include "snapshot/NtfsTable.h"

#include <cstring>
#include <map>
#include <string>
#include <vector>

class CSparseDisk : public INtfsDisk {
public:
    static constexpr size_t kSector = 512;

    // false when the bytes are not such a file (or end inside a sector).
    bool Load(const uint8_t* data, size_t size)
    {
        if (size < 16 || std::memcmp(data, "CVNTFS01", 8) != 0)
            return false;
        std::memcpy(&m_end, data + 8, 8);
        m_sectors.clear();
        for (size_t at = 16; at < size; at += 4 + kSector) {
            if (size - at < 4 + kSector)
                return false;
            uint32_t number;
            std::memcpy(&number, data + at, 4);
            m_sectors[number].assign(data + at + 4, data + at + 4 + kSector);
        }
        return true;
    }
    bool Read(uint64_t offset, void* buffer, size_t size) override
    {
        if (offset > m_end || size > m_end - offset)
            return false;
        auto* into = static_cast<uint8_t*>(buffer);
        std::memset(into, 0, size);
        for (auto it = m_sectors.lower_bound(static_cast<uint32_t>(offset / kSector));
             it != m_sectors.end() && static_cast<uint64_t>(it->first) * kSector < offset + size; ++it) {
            const uint64_t start = static_cast<uint64_t>(it->first) * kSector;
            const uint64_t from = std::max(start, offset), to = std::min(start + kSector, offset + size);
            std::memcpy(into + (from - offset), it->second.data() + (from - start), static_cast<size_t>(to - from));
        }
        return true;
    }
    // The sector holding byte offset, made to exist, for a test to change.
    uint8_t* Sector(uint64_t offset)
    {
        std::vector<uint8_t>& sector = m_sectors[static_cast<uint32_t>(offset / kSector)];
        sector.resize(kSector);
        return sector.data();
    }
    std::map<uint32_t, std::vector<uint8_t>>& Sectors() { return m_sectors; }
    void SetEnd(uint64_t end) { m_end = end; }
    uint64_t End() const { return m_end; }

    std::string Save() const
    {
        std::string out("CVNTFS01", 8);
        out.append(reinterpret_cast<const char*>(&m_end), 8);
        for (const auto& [number, bytes] : m_sectors) {
            out.append(reinterpret_cast<const char*>(&number), 4);
            out.append(reinterpret_cast<const char*>(bytes.data()), kSector);
        }
        return out;
    }

private:
    uint64_t m_end = 0;
    std::map<uint32_t, std::vector<uint8_t>> m_sectors;
};
