// Keeps of an NTFS image only the sectors the table reader reads that hold
// anything, in the form the tests and the fuzz target load.
//   compact_volume IMAGE OUT
#include "fuzz/NtfsSparseDisk.h"

#include <cstdio>

namespace {

class CRecordingDisk : public INtfsDisk {
public:
    explicit CRecordingDisk(std::FILE* image) : m_image(image) {}
    bool Read(uint64_t offset, void* buffer, size_t size) override
    {
        if (std::fseek(m_image, static_cast<long>(offset), SEEK_SET) != 0 ||
            std::fread(buffer, 1, size, m_image) != size)
            return false;
        for (uint64_t at = offset - offset % CSparseDisk::kSector; at < offset + size; at += CSparseDisk::kSector) {
            uint8_t sector[CSparseDisk::kSector];
            std::fseek(m_image, static_cast<long>(at), SEEK_SET);
            if (std::fread(sector, 1, sizeof sector, m_image) != sizeof sector)
                continue;
            bool zero = true;
            for (uint8_t b : sector)
                zero = zero && b == 0;
            if (!zero)
                std::memcpy(kept.Sector(at), sector, sizeof sector);
        }
        return true;
    }
    CSparseDisk kept;

private:
    std::FILE* m_image;
};

}  // namespace

int main(int argc, char** argv)
{
    std::FILE* image = argc == 3 ? std::fopen(argv[1], "rb") : nullptr;
    if (!image) {
        std::fprintf(stderr, "usage: compact_volume IMAGE OUT\n");
        return 2;
    }
    std::fseek(image, 0, SEEK_END);
    CRecordingDisk disk(image);
    disk.kept.SetEnd(static_cast<uint64_t>(std::ftell(image)));
    CNtfsTable table;
    if (table.Load(disk) != CNtfsTable::Outcome::Read) {
        std::fprintf(stderr, "compact_volume: the table of %s cannot be read\n", argv[1]);
        return 1;
    }
    // Records the reader passes by (free ones, files) are left out: their
    // sectors read as zeros, which it passes by too.
    auto& sectors = disk.kept.Sectors();
    uint8_t boot[512];
    disk.Read(0, boot, sizeof boot);
    const int8_t code = static_cast<int8_t>(boot[0x40]);
    const uint64_t cluster = static_cast<uint64_t>(boot[0x0D]) * (boot[0x0B] | boot[0x0C] << 8);
    const uint64_t recordSectors = (code < 0 ? 1u << -code : code * cluster) / CSparseDisk::kSector;
    uint64_t tableStart = 0;
    std::memcpy(&tableStart, boot + 0x30, 8);
    for (auto it = sectors.begin(); it != sectors.end();) {
        const uint8_t* r = it->second.data();
        const bool record = std::memcmp(r, "FILE", 4) == 0;
        const uint16_t flags = static_cast<uint16_t>(r[0x16] | r[0x17] << 8);
        uint64_t base;
        std::memcpy(&base, r + 0x20, 8);
        const bool first = static_cast<uint64_t>(it->first) * CSparseDisk::kSector == tableStart * cluster;
        if (!record || first || ((flags & 1) && ((flags & 2) || (base & 0xFFFFFFFFFFFFull)))) {
            ++it;
            continue;
        }
        const uint32_t number = it->first;
        while (it != sectors.end() && it->first < number + recordSectors)
            it = sectors.erase(it);
    }
    std::string bytes = disk.kept.Save();
    std::FILE* out = std::fopen(argv[2], "wb");
    bool written = out && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    written = out && std::fclose(out) == 0 && written;
    std::printf("%zu folders, %zu bytes kept\n", table.FolderCount(), bytes.size());
    return written ? 0 : 1;
}
