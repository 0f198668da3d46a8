#include "snapshot/FileHasher.h"

#include "compare/AnsiChars.h"
#include "framework/Handle.h"

#include <bcrypt.h>

#include <algorithm>
#include <memory>

namespace {

HashMark MarkOfError(DWORD error)
{
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
        return HashMark::InUse;
    return error == ERROR_ACCESS_DENIED ? HashMark::Denied : HashMark::Unreadable;
}

// Reading the content of these would fetch it from elsewhere first.
constexpr DWORD kContentElsewhere = FILE_ATTRIBUTE_OFFLINE | 0x00040000 /* RECALL_ON_OPEN */ |
                                    0x00400000 /* RECALL_ON_DATA_ACCESS */;

// How far the walk may run ahead of the hashing: files, and bytes of them.
constexpr size_t kQueuedFiles = 256;
constexpr uint64_t kQueuedBytes = 64ull << 20;

// Holds the hasher's lock for its scope.
class CLocked {
public:
    explicit CLocked(SRWLOCK& lock) : m_lock(lock) { ::AcquireSRWLockExclusive(&m_lock); }
    ~CLocked() { ::ReleaseSRWLockExclusive(&m_lock); }
    CLocked(const CLocked&) = delete;
    CLocked& operator=(const CLocked&) = delete;

private:
    SRWLOCK& m_lock;
};

}  // namespace

CFileHasher::CFileHasher(uint64_t limit, bool hash) : m_limit(limit), m_bHash(hash) {}

CFileHasher::~CFileHasher()
{
    Stop(false);
    if (m_algorithm)
        ::BCryptCloseAlgorithmProvider(static_cast<BCRYPT_ALG_HANDLE>(m_algorithm), 0);
}

bool CFileHasher::Start()
{
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (m_bHash && !BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
        return false;
    m_algorithm = algorithm;
    const unsigned processors = std::max(1u, std::min(8u, std::thread::hardware_concurrency()));
    for (unsigned i = 0; i < processors; ++i)
        m_threads.emplace_back(&CFileHasher::Work, this);
    return true;
}

// finish: the threads hash every file handed on first; else they stop now.
void CFileHasher::Stop(bool finish)
{
    {
        CLocked locked(m_lock);
        (finish ? m_bFinishing : m_bStop) = true;
    }
    ::WakeAllConditionVariable(&m_changed);
    for (std::thread& thread : m_threads)
        if (thread.joinable())
            thread.join();
}

void CFileHasher::Add(const std::wstring& path, const std::string& shownPath, uint64_t size, DWORD attributes,
                      const std::function<void()>& waiting)
{
    m_entries.emplace_back();
    CFileHash* entry = &m_entries.back();
    if (m_limit && size > m_limit) {
        entry->mark = HashMark::TooLarge;
        return;
    }
    if (attributes & kContentElsewhere) {
        entry->mark = HashMark::Online;
        return;
    }
    m_bytesListed += size;
    {
        CLocked locked(m_lock);
        // A file larger than the bytes allowed ahead still goes when the
        // queue is empty.
        auto room = [&] {
            return m_jobs.empty() || (m_jobs.size() < kQueuedFiles && m_queuedBytes + size <= kQueuedBytes);
        };
        while (!room()) {
            if (waiting) {
                ::ReleaseSRWLockExclusive(&m_lock);
                waiting();
                ::AcquireSRWLockExclusive(&m_lock);
            }
            WaitUntil(room, 250);
        }
        m_jobs.push_back(Job{path, shownPath, size, m_entries.size() - 1, entry});
        m_queuedBytes += size;
    }
    ::WakeAllConditionVariable(&m_changed);
}

void CFileHasher::Work()
{
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[kPieceSize]);
    for (;;) {
        Job job;
        {
            CLocked locked(m_lock);
            WaitUntil([this] { return m_bStop || m_bFinishing || !m_jobs.empty(); });
            if (m_bStop || m_jobs.empty())
                return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
            m_queuedBytes -= job.size;
        }
        ::WakeAllConditionVariable(&m_changed);  // room for the walk
        const HashMark mark = ReadAndHash(job, buffer.get());
        {
            CLocked locked(m_lock);
            job.entry->mark = mark;
            if (mark != HashMark::Hashed)
                m_failures.push_back(Failure{job.index, std::move(job.shownPath), mark});
        }
        ::WakeAllConditionVariable(&m_changed);
    }
}

// Reads the file whole, as listed, hashing each piece as it arrives.
HashMark CFileHasher::ReadAndHash(const Job& job, uint8_t* buffer)
{
    CHandle file(::CreateFileW(job.path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.IsOpen())
        return MarkOfError(::GetLastError());
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (m_bHash && !BCRYPT_SUCCESS(::BCryptCreateHash(static_cast<BCRYPT_ALG_HANDLE>(m_algorithm), &hash, nullptr, 0,
                                                      nullptr, 0, 0)))
        return HashMark::Unreadable;
    struct DestroyHash {
        BCRYPT_HASH_HANDLE hash;
        ~DestroyHash()
        {
            if (hash)
                ::BCryptDestroyHash(hash);
        }
    } destroy{hash};

    uint64_t read = 0;
    for (;;) {
        if (m_bStop)
            return HashMark::Unreadable;
        // One byte more than listed is asked for at the end, to tell a file
        // that grew from one that is whole.
        const DWORD wanted = static_cast<DWORD>(std::min<uint64_t>(kPieceSize, job.size - std::min(job.size, read) + 1));
        DWORD got = 0;
        if (!::ReadFile(file.Get(), buffer, wanted, &got, nullptr))
            return MarkOfError(::GetLastError());
        read += got;
        m_bytesRead += got;
        if (read > job.size)
            return HashMark::Changed;
        if (got == 0)
            break;
        if (hash)
            ::BCryptHashData(hash, buffer, got, 0);
    }
    if (read != job.size)
        return HashMark::Changed;
    if (hash)
        ::BCryptFinishHash(hash, job.entry->sha256, kSha256Size, 0);
    return HashMark::Hashed;
}

std::vector<CFileHash> CFileHasher::Finish()
{
    Stop(true);
    std::vector<CFileHash> entries(m_entries.begin(), m_entries.end());
    m_entries.clear();
    m_counts = CHashCounts();
    for (const CFileHash& entry : entries) {
        if (entry.mark == HashMark::Hashed)
            ++m_counts.hashed;
        else
            ++m_counts.byMark[static_cast<uint8_t>(entry.mark)];
    }
    std::sort(m_failures.begin(), m_failures.end(),
              [](const Failure& a, const Failure& b) { return a.index < b.index; });
    m_strUnreadable.clear();
    for (const Failure& failure : m_failures) {
        m_strUnreadable += "\n";
        AppendShownName(m_strUnreadable, failure.shownPath);
        ((m_strUnreadable += " (") += HashMarkReason(failure.mark)) += ')';
    }
    return entries;
}
