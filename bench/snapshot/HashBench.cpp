// The hashing of a walk against a plain read of the same files: every file
// below FOLDER read whole in the hasher's pieces by one thread, then the same
// files read and hashed by the walk's hasher, each timed.
//   hash_bench plain|hash|read FOLDER
// plain: the plain read; hash: the hasher; read: the hasher's reading alone,
// its pieces handed on but not hashed.
#include "bench/snapshot/BenchClock.h"
#include "framework/Handle.h"
#include "snapshot/FileHasher.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Listed {
    std::wstring path;
    uint64_t size;
    DWORD attributes;
};

void List(const std::wstring& folder, std::vector<Listed>& files)
{
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!std::wcscmp(data.cFileName, L".") || !std::wcscmp(data.cFileName, L".."))
            continue;
        std::wstring path = folder + L"\\" + data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            List(path, files);
        else
            files.push_back(Listed{path, static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow,
                                   data.dwFileAttributes});
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
}

uint64_t PlainRead(const std::vector<Listed>& files)
{
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[CFileHasher::kPieceSize]);
    uint64_t total = 0;
    for (const Listed& file : files) {
        CHandle handle(::CreateFileW(file.path.c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        DWORD got;
        while (handle.IsOpen() && ::ReadFile(handle.Get(), buffer.get(), CFileHasher::kPieceSize, &got, nullptr) &&
               got)
            total += got;
    }
    return total;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: hash_bench plain|hash|read FOLDER\n");
        return 2;
    }
    const std::wstring mode = argv[1];
    std::vector<Listed> files;
    List(argv[2], files);

    LARGE_INTEGER start, end;
    ::QueryPerformanceCounter(&start);
    uint64_t bytes;
    uint32_t hashed = 0;
    if (mode == L"plain") {
        bytes = PlainRead(files);
    } else {
        CFileHasher hasher(0, mode == L"hash");
        if (!hasher.Start())
            return 1;
        for (const Listed& file : files)
            hasher.Add(file.path, std::string(), file.size, file.attributes);
        hasher.Finish();
        bytes = hasher.BytesRead();
        hashed = hasher.Counts().hashed;
    }
    ::QueryPerformanceCounter(&end);
    const double seconds = Seconds(start, end);
    std::printf("%ls: %zu files, %llu bytes, %u hashed, %.3f s, %.1f MB/s\n", mode.c_str(), files.size(),
                static_cast<unsigned long long>(bytes), hashed, seconds, bytes / seconds / 1e6);
    return 0;
}
