#include "bench/compare/HeapCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

#ifdef _WIN32
#include <malloc.h>
#define corvane_usable_size _msize
#else
#include <malloc.h>
#define corvane_usable_size malloc_usable_size
#endif

namespace {

std::atomic<uint64_t> g_current{0};
std::atomic<uint64_t> g_peak{0};

// What a block really occupies: its usable size and the allocator's header.
uint64_t Cost(void* p)
{
    return static_cast<uint64_t>(corvane_usable_size(p)) + sizeof(void*);
}

void* Allocate(size_t n)
{
    void* p = std::malloc(n ? n : 1);
    if (!p)
        throw std::bad_alloc();
    uint64_t now = g_current.fetch_add(Cost(p), std::memory_order_relaxed) + Cost(p);
    uint64_t peak = g_peak.load(std::memory_order_relaxed);
    while (now > peak && !g_peak.compare_exchange_weak(peak, now, std::memory_order_relaxed)) {
    }
    return p;
}

void Free(void* p)
{
    if (!p)
        return;
    g_current.fetch_sub(Cost(p), std::memory_order_relaxed);
    std::free(p);
}

}  // namespace

uint64_t HeapCounter::Current() { return g_current.load(); }
uint64_t HeapCounter::Peak() { return g_peak.load(); }
void HeapCounter::ResetPeak() { g_peak.store(g_current.load()); }

void* operator new(size_t n) { return Allocate(n); }
void* operator new[](size_t n) { return Allocate(n); }
void* operator new(size_t n, const std::nothrow_t&) noexcept
{
    try {
        return Allocate(n);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](size_t n, const std::nothrow_t& t) noexcept { return operator new(n, t); }
void operator delete(void* p) noexcept { Free(p); }
void operator delete[](void* p) noexcept { Free(p); }
void operator delete(void* p, size_t) noexcept { Free(p); }
void operator delete[](void* p, size_t) noexcept { Free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Free(p); }
