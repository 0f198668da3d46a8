#include "framework/File.h"

CFile::CreateArgs CFile::ArgsOf(unsigned flags)
{
    DWORD access = GENERIC_READ;
    if (flags & modeWrite)
        access = GENERIC_WRITE;
    else if (flags & modeReadWrite)
        access = GENERIC_READ | GENERIC_WRITE;
    DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    if (flags & shareExclusive)
        share = 0;
    else if (flags & shareDenyWrite)
        share = FILE_SHARE_READ;
    DWORD disposition = (flags & modeCreate) ? CREATE_ALWAYS : OPEN_EXISTING;
    return CreateArgs{access, share, disposition};
}

bool CFile::Open(const char* path, unsigned flags)
{
    Close();
    CreateArgs a = ArgsOf(flags);
    return m_h.Attach(::CreateFileA(path, a.access, a.share, nullptr, a.disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool CFile::Open(const wchar_t* path, unsigned flags)
{
    Close();
    CreateArgs a = ArgsOf(flags);
    return m_h.Attach(::CreateFileW(path, a.access, a.share, nullptr, a.disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool CFile::Write(const void* data, uint32_t n)
{
    DWORD written = 0;
    return ::WriteFile(m_h.Get(), data, n, &written, nullptr) && written == n;
}

bool CFile::Seek(uint64_t offset)
{
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    return ::SetFilePointerEx(m_h.Get(), to, nullptr, FILE_BEGIN) != 0;
}

uint64_t CFile::GetPosition() const
{
    LARGE_INTEGER zero{}, pos{};
    if (!::SetFilePointerEx(m_h.Get(), zero, &pos, FILE_CURRENT))
        return 0;
    return static_cast<uint64_t>(pos.QuadPart);
}

uint32_t CFile::Read(void* data, uint32_t n)
{
    DWORD read = 0;
    if (!::ReadFile(m_h.Get(), data, n, &read, nullptr))
        return 0;
    return read;
}

uint64_t CFile::GetLength() const
{
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(m_h.Get(), &size))
        return 0;
    return static_cast<uint64_t>(size.QuadPart);
}
