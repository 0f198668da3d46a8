// Hashes the contents of the files a walk records, with the system's own
// SHA-256 (the one certutil and Get-FileHash use), while the walk goes on.
// The walk hands each file on as it records it; hashing threads, one per
// processor, each take the next file and read it whole in large sequential
// pieces, hashing each piece as it arrives. So reading and hashing overlap:
// the threads' reads and hashes run side by side, and the system reads
// ahead of each sequential reader. Files are opened so that other programs go
// on reading, writing and deleting them; a file that cannot be read whole,
// as it was listed, is marked with the reason instead.
#pragma once

#include "snapshot/ResultsText.h"
#include "snapshot/SnapAppendix.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <thread>
#include <vector>

class CFileHasher {
public:
    // Files larger than limit are not read (0: no limit). hash false only
    // reads, for measuring the hashing against a plain read.
    explicit CFileHasher(uint64_t limit, bool hash = true);
    ~CFileHasher();
    CFileHasher(const CFileHasher&) = delete;
    CFileHasher& operator=(const CFileHasher&) = delete;

    // Starts the hashing threads; false when the system has no SHA-256.
    bool Start();

    // Hands on the file at path (as the wide functions take it), listed with
    // this size and these attributes, shown as shownPath where it could not
    // be read; its entry is the next in order. While the hashing is far
    // behind the walk it waits, calling waiting as it begins to and then
    // about four times a second.
    void Add(const std::wstring& path, const std::string& shownPath, uint64_t size, DWORD attributes,
             const std::function<void()>& waiting = {});

    // Waits until every file is hashed; the entries in the order of Add.
    std::vector<CFileHash> Finish();

    // Bytes of the files handed on to be read, and of those read so far.
    uint64_t BytesListed() const { return m_bytesListed; }
    uint64_t BytesRead() const { return m_bytesRead; }
    // What Finish returned, counted, and the files that could not be read
    // (each as "\n", its shown path and its reason), in file order.
    const CHashCounts& Counts() const { return m_counts; }
    const std::string& Unreadable() const { return m_strUnreadable; }

    // The size of the pieces files are read in.
    static constexpr uint32_t kPieceSize = 1 << 20;

private:
    struct Job {
        std::wstring path;
        std::string shownPath;
        uint64_t size;
        size_t index;
        CFileHash* entry;
    };
    struct Failure {
        size_t index;
        std::string shownPath;
        HashMark mark;
    };

    void Work();
    HashMark ReadAndHash(const Job& job, uint8_t* buffer);
    void Stop(bool finish);
    // Waits, holding the lock, until ready() holds, or a time passes.
    template <class Ready>
    bool WaitUntil(Ready ready, DWORD milliseconds = INFINITE)
    {
        while (!ready())
            if (!::SleepConditionVariableSRW(&m_changed, &m_lock, milliseconds, 0))
                return ready();
        return true;
    }

    const uint64_t m_limit;
    const bool m_bHash;
    void* m_algorithm = nullptr;      // BCRYPT_ALG_HANDLE
    std::deque<CFileHash> m_entries;  // stays where it is while it grows
    std::vector<std::thread> m_threads;
    // The system's own lock and condition: waking a thread costs no call
    // into the kernel when none waits, which matters at a file or two per
    // millisecond.
    SRWLOCK m_lock = SRWLOCK_INIT;
    CONDITION_VARIABLE m_changed = CONDITION_VARIABLE_INIT;
    std::deque<Job> m_jobs;
    uint64_t m_queuedBytes = 0;
    bool m_bFinishing = false, m_bStop = false;
    std::vector<Failure> m_failures;
    std::atomic<uint64_t> m_bytesRead{0};
    uint64_t m_bytesListed = 0;
    CHashCounts m_counts;
    std::string m_strUnreadable;
};
