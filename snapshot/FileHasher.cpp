#include "snapshot/FileHasher.h"

#include "framework/Handle.h"

#include <bcrypt.h>

#include <algorithm>

namespace {

bool IsInUse(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

HashMark MarkOfError(DWORD error)
{
    if (IsInUse(error))
        return HashMark::InUse;
    return error == ERROR_ACCESS_DENIED ? HashMark::Denied : HashMark::Unreadable;
}

// Reading the content of these would fetch it from elsewhere first.
constexpr DWORD kContentElsewhere = FILE_ATTRIBUTE_OFFLINE | 0x00040000 /* RECALL_ON_OPEN */ |
                                    0x00400000 /* RECALL_ON_DATA_ACCESS */;

constexpr uint64_t kReadingReport = 16ull << 20;

}  // namespace

CFileHasher::CFileHasher(uint64_t limit, bool hash) : m_limit(limit), m_bHash(hash) {}

CFileHasher::~CFileHasher()
{
    Stop();
    if (m_algorithm)
        ::BCryptCloseAlgorithmProvider(static_cast<BCRYPT_ALG_HANDLE>(m_algorithm), 0);
}

bool CFileHasher::Start()
{
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (m_bHash && !BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
        return false;
    m_algorithm = algorithm;
    // One hashing thread per processor (the reading is mostly waiting), and
    // buffers enough that each has a piece to hash while the next is read.
    const unsigned processors = std::max(1u, std::min(8u, std::thread::hardware_concurrency()));
    m_workers = std::vector<Worker>(processors);
    for (size_t i = 0; i < 2 * processors + 2; ++i) {
        m_buffers.push_back(std::make_unique<uint8_t[]>(kPieceSize));
        m_free.push_back(m_buffers.back().get());
    }
    for (size_t i = 0; i < m_workers.size(); ++i)
        m_workers[i].thread = std::thread(&CFileHasher::Hash, this, i);
    return true;
}

void CFileHasher::Stop()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_bStop = true;
    }
    m_changed.notify_all();
    for (Worker& worker : m_workers)
        if (worker.thread.joinable())
            worker.thread.join();
}

HashMark CFileHasher::Add(const std::wstring& path, uint64_t size, DWORD attributes,
                          const std::function<void(uint64_t)>& reading)
{
    m_entries.emplace_back();
    CFileHash* entry = &m_entries.back();
    HashMark mark;
    if (m_limit && size > m_limit)
        mark = HashMark::TooLarge;
    else if (attributes & kContentElsewhere)
        mark = HashMark::Online;
    else
        mark = ReadFile(path, size, entry, reading);
    if (mark != HashMark::Hashed)
        entry->mark = mark;  // no piece of it went to a hashing thread
    return mark;
}

// Reads the file whole, as listed, handing each piece to one hashing thread,
// the file's own; the last piece tells what the entry becomes.
HashMark CFileHasher::ReadFile(const std::wstring& path, uint64_t size, CFileHash* entry,
                               const std::function<void(uint64_t)>& reading)
{
    CHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.IsOpen())
        return MarkOfError(::GetLastError());
    const size_t worker = m_nextWorker;
    m_nextWorker = (m_nextWorker + 1) % m_workers.size();

    uint64_t read = 0, reported = 0;
    bool first = true;
    for (;;) {
        uint8_t* buffer = TakeBuffer();
        if (!buffer)
            return HashMark::Unreadable;  // stopping
        // One byte more than listed is asked for at the end, to tell a file
        // that grew from one that is whole.
        const uint64_t wanted = std::min<uint64_t>(kPieceSize, size - std::min(size, read) + 1);
        DWORD got = 0;
        HashMark mark = HashMark::Hashed;
        if (!::ReadFile(file.Get(), buffer, static_cast<DWORD>(wanted), &got, nullptr))
            mark = MarkOfError(::GetLastError());
        read += got;
        const bool end = mark != HashMark::Hashed || got == 0 || read > size;
        if (end && mark == HashMark::Hashed && read != size)
            mark = HashMark::Changed;
        if (got == 0 && !first && end) {
            // The last piece is already sent: an empty one ends the file.
            GiveBack(buffer);
            buffer = nullptr;
        }
        Send(worker, Piece{entry, buffer, got, first, end, mark});
        first = false;
        m_bytesRead += got;
        if (reading && read - reported >= kReadingReport) {
            reported = read;
            reading(read);
        }
        if (end)
            return mark;
    }
}

uint8_t* CFileHasher::TakeBuffer()
{
    std::unique_lock<std::mutex> lock(m_lock);
    m_changed.wait(lock, [this] { return m_bStop || !m_free.empty(); });
    if (m_bStop)
        return nullptr;
    uint8_t* buffer = m_free.back();
    m_free.pop_back();
    return buffer;
}

void CFileHasher::GiveBack(uint8_t* buffer)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_free.push_back(buffer);
    }
    m_changed.notify_all();
}

void CFileHasher::Send(size_t worker, const Piece& piece)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_workers[worker].pieces.push_back(piece);
        ++m_pending;
    }
    m_changed.notify_all();
}

void CFileHasher::Hash(size_t worker)
{
    BCRYPT_HASH_HANDLE hash = nullptr;
    for (;;) {
        Piece piece;
        {
            std::unique_lock<std::mutex> lock(m_lock);
            std::deque<Piece>& pieces = m_workers[worker].pieces;
            m_changed.wait(lock, [&] { return m_bStop || !pieces.empty(); });
            if (m_bStop)
                break;
            piece = pieces.front();
            pieces.pop_front();
        }
        if (m_bHash) {
            if (piece.first)
                ::BCryptCreateHash(static_cast<BCRYPT_ALG_HANDLE>(m_algorithm), &hash, nullptr, 0, nullptr, 0, 0);
            if (piece.length)
                ::BCryptHashData(hash, piece.buffer, piece.length, 0);
            if (piece.last) {
                if (piece.mark == HashMark::Hashed)
                    ::BCryptFinishHash(hash, piece.entry->sha256, kSha256Size, 0);
                ::BCryptDestroyHash(hash);
                hash = nullptr;
            }
        }
        if (piece.last)
            piece.entry->mark = piece.mark;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (piece.buffer)
                m_free.push_back(piece.buffer);
            --m_pending;
        }
        m_changed.notify_all();
    }
    if (hash)
        ::BCryptDestroyHash(hash);
}

std::vector<CFileHash> CFileHasher::Finish()
{
    {
        std::unique_lock<std::mutex> lock(m_lock);
        m_changed.wait(lock, [this] { return m_pending == 0; });
    }
    Stop();
    std::vector<CFileHash> entries(m_entries.begin(), m_entries.end());
    m_entries.clear();
    m_counts = CHashCounts();
    for (const CFileHash& entry : entries) {
        if (entry.mark == HashMark::Hashed)
            ++m_counts.hashed;
        else
            ++m_counts.byMark[static_cast<uint8_t>(entry.mark)];
    }
    return entries;
}
