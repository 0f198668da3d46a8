// The percentage of a file-system snapshot: the bar moves once per
// 1,000,000,000 bytes of file data, against the drive's used space in the same
// units. One file, however large, completes at most one step.
#pragma once

#include <cstdint>

// Used space in whole units of 1,000,000,000 bytes (low 32 bits of the
// quotient, as a float) from the counts that GetDiskFreeSpace reports.
float UsedGigaunits(uint32_t sectorsPerCluster, uint32_t bytesPerSector, uint32_t freeClusters,
                    uint32_t totalClusters);

// Divisor when the used space is unknown: every step then counts 0 percent,
// and the bar stays empty until the walk's final 100.
float UnknownUsedGigaunits();

class CFSProgressMeter {
public:
    explicit CFSProgressMeter(float usedGigaunits = 0) : m_usedGigaunits(usedGigaunits) {}

    // Adds a file's size; true when a step completed, with the new percentage.
    bool AddFile(uint32_t sizeLow, float& percent);

    uint32_t ByteCount() const { return m_byteCount; }
    float StepsDone() const { return m_stepsDone; }

private:
    float m_usedGigaunits;
    uint32_t m_byteCount = 0;
    float m_stepsDone = 0;
};
