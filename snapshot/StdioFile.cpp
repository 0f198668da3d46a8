#include "snapshot/StdioFile.h"

#ifdef _WIN32
#define corvane_fseek _fseeki64
#define corvane_ftell _ftelli64
#else
#define corvane_fseek fseeko
#define corvane_ftell ftello
#endif

std::FILE* OpenStdioFile(const std::string& path, const char* mode)
{
    return std::fopen(path.c_str(), mode);
}

#ifdef _WIN32
std::FILE* OpenStdioFile(const std::wstring& path, const char* mode)
{
    std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(path.c_str(), wideMode.c_str());
}

bool CStdioFile::OpenRead(const std::wstring& path)
{
    Close();
    m_file = OpenStdioFile(path, "rb");
    return m_file != nullptr;
}
#endif

bool CStdioFile::OpenRead(const std::string& path)
{
    Close();
    m_file = OpenStdioFile(path, "rb");
    return m_file != nullptr;
}

bool CStdioFile::CreateTruncate(const std::string& path)
{
    Close();
    m_file = OpenStdioFile(path, "w+b");
    return m_file != nullptr;
}

void CStdioFile::Close()
{
    if (m_file)
        std::fclose(m_file);
    m_file = nullptr;
}

bool CStdioFile::Write(const void* data, uint32_t n)
{
    return std::fwrite(data, 1, n, m_file) == n;
}

bool CStdioFile::Seek(uint64_t offset)
{
    return corvane_fseek(m_file, static_cast<int64_t>(offset), SEEK_SET) == 0;
}

uint64_t CStdioFile::GetPosition() const
{
    int64_t pos = corvane_ftell(m_file);
    return pos < 0 ? 0 : static_cast<uint64_t>(pos);
}

uint32_t CStdioFile::Read(void* data, uint32_t n)
{
    return static_cast<uint32_t>(std::fread(data, 1, n, m_file));
}
