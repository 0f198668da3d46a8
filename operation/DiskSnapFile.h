// A snapshot file on disk: the framework's file behind the portable file
// seams, so the walkers write and the comparison reads through CFile's share
// modes.
#pragma once

#include "framework/File.h"
#include "seams/SnapFile.h"

class CDiskSnapFile : public IOutputFile, public IInputFile {
public:
    CDiskSnapFile() = default;

    bool Open(const char* path, unsigned flags) { return m_file.Open(path, flags); }
    bool Open(const wchar_t* path, unsigned flags) { return m_file.Open(path, flags); }
    void Close() { m_file.Close(); }
    bool IsOpen() const { return m_file.IsOpen(); }

    bool Write(const void* data, uint32_t n) override { return m_file.Write(data, n); }
    bool Seek(uint64_t offset) override { return m_file.Seek(offset); }
    uint64_t GetPosition() const override { return m_file.GetPosition(); }
    bool SeekToBegin() override { return m_file.SeekToBegin(); }
    uint32_t Read(void* data, uint32_t n) override { return m_file.Read(data, n); }

private:
    CFile m_file;
};
