// Hashes the contents of the files a walk records, with the system's own
// SHA-256 (the one certutil and Get-FileHash use), while the walk goes on.
// The walk's thread reads each file in large sequential pieces into a few
// buffers, and hashing threads hash the pieces already read, so that reading
// and hashing overlap, and files are hashed side by side on several
// processors. Files are opened so that other programs go on reading, writing
// and deleting them; a file that cannot be read whole, as it was listed, is
// marked with the reason instead.
#pragma once

#include "snapshot/ResultsText.h"
#include "snapshot/SnapAppendix.h"

#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
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

    // Reads the file at path (as the wide functions take it), listed with
    // this size and these attributes; its entry is the next in order.
    // reading, when given, is told every 16 MiB how many bytes were read.
    // Returns the file's mark: Hashed when it was read whole and is being
    // hashed, else why it is not.
    HashMark Add(const std::wstring& path, uint64_t size, DWORD attributes,
             const std::function<void(uint64_t read)>& reading = {});

    // Waits until every piece is hashed; the entries in the order of Add.
    std::vector<CFileHash> Finish();

    uint64_t Limit() const { return m_limit; }
    uint64_t BytesRead() const { return m_bytesRead; }
    // What Finish returned, counted.
    const CHashCounts& Counts() const { return m_counts; }

    // The size of the pieces files are read in.
    static constexpr uint32_t kPieceSize = 1 << 20;

private:
    struct Piece {
        CFileHash* entry;
        uint8_t* buffer;  // null for a file that ends before its first byte
        uint32_t length;
        bool first, last;
        HashMark mark;  // of the last piece: what the file's entry becomes
    };
    struct Worker {
        std::thread thread;
        std::deque<Piece> pieces;
    };

    HashMark ReadFile(const std::wstring& path, uint64_t size, CFileHash* entry,
                      const std::function<void(uint64_t)>& reading);
    uint8_t* TakeBuffer();
    void GiveBack(uint8_t* buffer);
    void Send(size_t worker, const Piece& piece);
    void Hash(size_t worker);
    void Stop();

    const uint64_t m_limit;
    const bool m_bHash;
    void* m_algorithm = nullptr;  // BCRYPT_ALG_HANDLE
    std::deque<CFileHash> m_entries;  // stays where it is while it grows
    std::vector<std::unique_ptr<uint8_t[]>> m_buffers;
    std::vector<uint8_t*> m_free;
    std::vector<Worker> m_workers;
    size_t m_nextWorker = 0;
    std::mutex m_lock;
    std::condition_variable m_changed;
    size_t m_pending = 0;  // pieces sent and not yet hashed
    bool m_bStop = false;
    uint64_t m_bytesRead = 0;
    CHashCounts m_counts;
};
