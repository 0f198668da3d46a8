// A snapshot file on disk through the C runtime, for the portable tools
// (corvane-diff, benchmarks) that must also build without Windows.
#pragma once

#include "seams/SnapFile.h"
#include "seams/SystemText.h"

#include <cstdio>
#include <string>

// Opens a file with fopen's modes. On Windows a name as the system gives it
// is opened by its wide form, exactly as given, and a narrow name in the
// ANSI code page, as the ANSI functions take it.
std::FILE* OpenStdioFile(const std::string& path, const char* mode);
#ifdef _WIN32
std::FILE* OpenStdioFile(const std::wstring& path, const char* mode);
#endif

class CStdioFile : public IOutputFile, public IInputFile {
public:
    CStdioFile() = default;
    ~CStdioFile() override { Close(); }
    CStdioFile(const CStdioFile&) = delete;
    CStdioFile& operator=(const CStdioFile&) = delete;

    bool OpenRead(const std::string& path);
#ifdef _WIN32
    bool OpenRead(const std::wstring& path);
#endif
    bool CreateTruncate(const std::string& path);
    void Close();
    bool IsOpen() const { return m_file != nullptr; }

    bool Write(const void* data, uint32_t n) override;
    bool Seek(uint64_t offset) override;
    uint64_t GetPosition() const override;
    bool SeekToBegin() override { return Seek(0); }
    uint32_t Read(void* data, uint32_t n) override;

private:
    std::FILE* m_file = nullptr;
};
