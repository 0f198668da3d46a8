// The NTFS table reader on a volume given as its non-zero sectors (the form
// of NtfsSparseDisk.h): whatever the sectors hold, it returns,
// and the listings it gives are within its names.
#include "fuzz/NtfsSparseDisk.h"


extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CSparseDisk disk;
    if (!disk.Load(data, size))
        return 0;
    CNtfsTable table;
    if (table.Load(disk) != CNtfsTable::Outcome::Read)
        return 0;
    // Every listing and name read, for the sanitizers to see.
    size_t units = 0;
    for (uint64_t record = 0; record < 64; ++record)
        if (const auto* entries = table.Folder(record))
            for (uint32_t number : *entries)
                for (char16_t c : table.Name(table.Entry(number)))
                    units += c;
    return units == 1 ? 1 : 0;
}
