// A volume's raw bytes through \\.\X:, opened for reading only. The system
// reads a volume in whole sectors from sector boundaries, so a read that
// starts or ends inside one goes through a buffer of whole pages.
#pragma once

#include "framework/Handle.h"
#include "snapshot/NtfsTable.h"

#include <windows.h>

#include <vector>

class CVolumeDisk : public INtfsDisk {
public:
    // false with the system's error in LastError (access denied without
    // administrator rights).
    bool Open(char driveLetter);
    DWORD LastError() const { return m_error; }
    bool Read(uint64_t offset, void* buffer, size_t size) override;

private:
    bool ReadAligned(uint64_t offset, void* buffer, DWORD size);

    CHandle m_volume;
    DWORD m_error = 0;
    std::vector<unsigned char> m_bounce;
};
