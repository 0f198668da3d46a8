#include "snapshot/VolumeDisk.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr uint64_t kAlign = 4096;  // a multiple of every sector size
}

bool CVolumeDisk::Open(char driveLetter)
{
    const wchar_t path[] = {L'\\', L'\\', L'.', L'\\', static_cast<wchar_t>(static_cast<unsigned char>(driveLetter)),
                            L':', 0};
    m_volume.Attach(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    m_error = m_volume.IsOpen() ? 0 : ::GetLastError();
    return m_volume.IsOpen();
}

bool CVolumeDisk::ReadAligned(uint64_t offset, void* buffer, DWORD size)
{
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    return ::ReadFile(m_volume.Get(), buffer, size, &read, &at) && read == size;
}

bool CVolumeDisk::Read(uint64_t offset, void* buffer, size_t size)
{
    auto* into = static_cast<unsigned char*>(buffer);
    while (size) {
        const uint64_t start = offset - offset % kAlign;
        const size_t skip = static_cast<size_t>(offset - start);
        if (!skip && size >= kAlign) {
            // Whole sectors straight into the caller's buffer, up to 16 MiB at a time.
            const size_t now = static_cast<size_t>(std::min<uint64_t>(size - size % kAlign, 16u << 20));
            if (!ReadAligned(offset, into, static_cast<DWORD>(now)))
                return false;
            offset += now;
            into += now;
            size -= now;
            continue;
        }
        m_bounce.resize(kAlign);
        if (!ReadAligned(start, m_bounce.data(), kAlign))
            return false;
        const size_t now = std::min<size_t>(size, kAlign - skip);
        std::memcpy(into, m_bounce.data() + skip, now);
        offset += now;
        into += now;
        size -= now;
    }
    return true;
}
