// An in-memory snapshot file: written by tests and benchmarks, read back by the
// loaders. It can be told to fail every write from a given offset on, which is
// how a full disk looks to the writer.
#pragma once

#include "seams/SnapFile.h"

#include <cstdint>
#include <limits>
#include <vector>

class CMemoryFile : public IOutputFile, public IInputFile {
public:
    CMemoryFile() = default;
    explicit CMemoryFile(std::vector<uint8_t> bytes) : m_bytes(std::move(bytes)) {}

    bool Write(const void* data, uint32_t n) override;
    bool Seek(uint64_t offset) override;
    uint64_t GetPosition() const override { return m_pos; }
    bool SeekToBegin() override { m_pos = 0; return true; }
    uint32_t Read(void* data, uint32_t n) override;

    // Writes that would reach past this many bytes fail and write nothing.
    void FailWritesFrom(uint64_t limit) { m_writeLimit = limit; }

    const std::vector<uint8_t>& Bytes() const { return m_bytes; }
    std::vector<uint8_t>& Bytes() { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
    uint64_t m_pos = 0;
    uint64_t m_writeLimit = std::numeric_limits<uint64_t>::max();
};
