// The parts of a snapshot read from an NTFS drive's master file table, timed
// one by one: the table and the index blocks read and parsed, then each
// folder opened for listing and identified, as the walk does.
//   ntfs_table_bench X
#include "bench/snapshot/BenchClock.h"
#include "framework/Handle.h"
#include "snapshot/VolumeDisk.h"

#include <winternl.h>

#include <cstdio>
#include <string>

namespace {

// Opens the folder as the walk does (its file index alone, as for a folder
// that cannot leave its parent's volume) and goes on into the subfolders the
// table lists for the folder the system opened; the folders opened.
uint32_t OpenEach(const CNtfsTable& table, const std::wstring& path, uint32_t& files)
{
    CHandle folder(::CreateFileW((path + L"\\").c_str(), FILE_LIST_DIRECTORY | SYNCHRONIZE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    FILE_INTERNAL_INFORMATION internal;
    IO_STATUS_BLOCK status;
    if (!folder.IsOpen() || !NT_SUCCESS(::NtQueryInformationFile(folder.Get(), &status, &internal, sizeof internal,
                                                                 FileInternalInformation)))
        return 0;
    folder.Close();
    const auto* entries = table.Folder(static_cast<uint64_t>(internal.IndexNumber.QuadPart));
    if (!entries)
        return 0;
    uint32_t folders = 1;
    for (uint32_t number : *entries) {
        const CNtfsEntry& e = table.Entry(number);
        std::u16string_view name = table.Name(e);
        if (e.IsFolder())
            folders += OpenEach(table, path + L"\\" + std::wstring(name.begin(), name.end()), files);
        else
            ++files;
    }
    return folders;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: ntfs_table_bench DRIVE-LETTER\n");
        return 2;
    }
    LARGE_INTEGER start, loaded, opened;
    ::QueryPerformanceCounter(&start);
    CVolumeDisk disk;
    if (!disk.Open(argv[1][0])) {
        std::fprintf(stderr, "cannot open the volume: error %lu\n", disk.LastError());
        return 1;
    }
    CNtfsTable table;
    const auto outcome = table.Load(disk);
    ::QueryPerformanceCounter(&loaded);
    std::printf("table read: outcome %d, %zu folders (%zu failing their checks), %llu bytes of table and %llu "
                "of index blocks in %.2f s\n",
                static_cast<int>(outcome), table.FolderCount(), table.DamagedFolders(),
                static_cast<unsigned long long>(table.TableBytes()), static_cast<unsigned long long>(table.IndexBytes()),
                Seconds(start, loaded));
    uint32_t files = 0;
    const std::wstring root = std::wstring(L"\\\\?\\") + static_cast<wchar_t>(argv[1][0]) + L":";
    const uint32_t folders = OpenEach(table, root, files);
    ::QueryPerformanceCounter(&opened);
    std::printf("folders opened: %u folders, %u files in %.2f s\n", folders, files, Seconds(loaded, opened));
    return 0;
}
