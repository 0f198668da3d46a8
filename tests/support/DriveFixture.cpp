#include "tests/support/DriveFixture.h"

#include "tests/support/WaitFor.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

char FixtureDriveLetter()
{
    const char* letter = std::getenv("CORVANE_FIXTURE_DRIVE");
    if (!letter || !letter[0])
        return 0;
    char c = letter[0];
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool MakeFolder(const std::string& path)
{
    return ::CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA found;
    HANDLE find = ::FindFirstFileA((path + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName, full = path + "\\" + name;
            if (name == "." || name == "..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                ::DeleteFileA(full.c_str());
        } while (::FindNextFileA(find, &found));
        ::FindClose(find);
    }
    ::RemoveDirectoryA(path.c_str());
    return ::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool MakeFile(const std::string& path, const std::string& content)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = content.empty() ||
              (::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written,
                           nullptr) &&
               written == content.size());
    ::CloseHandle(h);
    return ok;
}

bool MakeSizedFile(const std::string& path, uint64_t size)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(size);
    bool ok = ::SetFilePointerEx(h, to, nullptr, FILE_BEGIN) && ::SetEndOfFile(h);
    ::CloseHandle(h);
    return ok;
}

bool MakeFolderW(const std::wstring& path)
{
    return ::CreateDirectoryW((L"\\\\?\\" + path).c_str(), nullptr) != 0;
}

bool MakeFileW(const std::wstring& path, const std::string& content)
{
    HANDLE h = ::CreateFileW((L"\\\\?\\" + path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    bool ok = h != INVALID_HANDLE_VALUE &&
              ::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    ::CloseHandle(h);
    return ok && written == content.size();
}

std::vector<uint8_t> ReadWholeFile(const std::string& path)
{
    std::vector<uint8_t> bytes;
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return bytes;
    char chunk[65536];
    DWORD got = 0;
    while (::ReadFile(h, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    ::CloseHandle(h);
    return bytes;
}

std::string RunProgram(const std::string& exe, const std::string& arguments, DWORD& code)
{
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    std::string outPath = std::string(folder) + "corvane-program-out.txt";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = ::CreateFileA(outPath.c_str(), GENERIC_WRITE, 0, &inherited, CREATE_ALWAYS, 0, nullptr);
    std::string command = "\"" + exe + "\" " + arguments;
    PROCESS_INFORMATION pi{};
    code = 99;
    if (::CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        if (::WaitForSingleObject(pi.hProcess, 4 * kPatienceMs) != WAIT_OBJECT_0)
            ::TerminateProcess(pi.hProcess, 98);
        ::GetExitCodeProcess(pi.hProcess, &code);
        ::CloseHandle(pi.hProcess);
        ::CloseHandle(pi.hThread);
    }
    ::CloseHandle(si.hStdOutput);
    std::vector<uint8_t> bytes = ReadWholeFile(outPath);
    ::DeleteFileA(outPath.c_str());
    return std::string(bytes.begin(), bytes.end());
}

bool FileExists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {

class Cursor {
public:
    explicit Cursor(const std::vector<uint8_t>& b) : m_b(b) {}
    bool Take(void* out, size_t n)
    {
        if (m_pos + n > m_b.size())
            return false;
        std::memcpy(out, m_b.data() + m_pos, n);
        m_pos += n;
        return true;
    }
    template <typename T> bool Get(T& v) { return Take(&v, sizeof v); }  // little-endian host
    bool Name(std::string& s)
    {
        uint16_t n;
        if (!Get(n) || m_pos + n > m_b.size())
            return false;
        s.assign(reinterpret_cast<const char*>(m_b.data() + m_pos), n);
        m_pos += n;
        return true;
    }
    size_t Pos() const { return m_pos; }

private:
    const std::vector<uint8_t>& m_b;
    size_t m_pos = 0;
};

bool ParseFolder(Cursor& c, FolderRecord& folder, uint32_t& count, std::string& why, int depth)
{
    uint32_t subfolders, files;
    if (depth > 1000 || !c.Name(folder.name) || !c.Get(subfolders) || !c.Get(files)) {
        why = "folder record cut short";
        return false;
    }
    ++count;
    for (uint32_t i = 0; i < files; ++i) {
        FileRecord f;
        if (!c.Name(f.name) || !c.Get(f.creationTime) || !c.Get(f.lastWriteTime) ||
            !c.Get(f.size)) {
            why = "file record cut short in " + folder.name;
            return false;
        }
        folder.files.push_back(f);
    }
    for (uint32_t i = 0; i < subfolders; ++i) {
        folder.folders.emplace_back();
        if (!ParseFolder(c, folder.folders.back(), count, why, depth + 1))
            return false;
    }
    return true;
}

}  // namespace

bool ParseFSSnap(const std::vector<uint8_t>& bytes, FSSnapFile& out, std::string& why)
{
    Cursor c(bytes);
    if (!c.Get(out.version) || !c.Get(out.folderCount) || !c.Get(out.drive)) {
        why = "header cut short";
        return false;
    }
    if (!ParseFolder(c, out.root, out.foldersRead, why, 0))
        return false;
    out.bytesUsed = c.Pos();
    return true;
}

FolderRecord ListTree(const std::string& path, const std::string& name,
                      const std::vector<std::string>& notEntered)
{
    FolderRecord folder;
    folder.name = name;
    if (std::find(notEntered.begin(), notEntered.end(), path) != notEntered.end())
        return folder;
    std::vector<std::string> subfolders;
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((path + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string entry = data.cFileName;
            if (entry == "." || entry == "..")
                continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                subfolders.push_back(entry);
                continue;
            }
            auto ticks = [](const FILETIME& t) {
                return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
            };
            folder.files.push_back(
                FileRecord{entry, ticks(data.ftCreationTime), ticks(data.ftLastWriteTime), data.nFileSizeLow});
        } while (::FindNextFileA(find, &data));
        ::FindClose(find);
    }
    for (const std::string& sub : subfolders)
        folder.folders.push_back(ListTree(path + "\\" + sub, sub, notEntered));
    return folder;
}
