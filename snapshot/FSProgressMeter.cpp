#include "snapshot/FSProgressMeter.h"

#include <limits>

float UsedGigaunits(uint32_t sectorsPerCluster, uint32_t bytesPerSector, uint32_t freeClusters,
                    uint32_t totalClusters)
{
    uint64_t bytesPerCluster = static_cast<uint64_t>(sectorsPerCluster) * bytesPerSector;
    uint64_t used = static_cast<uint64_t>(totalClusters) * bytesPerCluster -
                    static_cast<uint64_t>(freeClusters) * bytesPerCluster;
    uint32_t units = static_cast<uint32_t>(used / 1000000000ull);
    return static_cast<float>(units);
}

float UnknownUsedGigaunits()
{
    return std::numeric_limits<float>::infinity();
}

bool CFSProgressMeter::AddFile(uint32_t sizeLow, float& percent)
{
    m_byteCount += sizeLow;  // wraps modulo 2^32, like the stored size
    if (m_byteCount <= 1000000000u)
        return false;
    m_stepsDone += 1.0f;
    m_byteCount = 0;
    percent = m_stepsDone / m_usedGigaunits * 100.0f;
    return true;
}
