// Heap allocations made by one thread while it counts, so a test can see
// whether a path allocates. Replaces the global operator new: include it in
// exactly one file of a test program.
#pragma once

#include <atomic>
#include <cstdlib>
#include <new>

namespace allocation_count {
inline thread_local bool t_bCounting = false;
inline std::atomic<long> g_nAllocations{0};

// Counts the allocations of the calling thread while it lives.
class CCounting {
public:
    CCounting() : m_nBefore(g_nAllocations.load()) { t_bCounting = true; }
    ~CCounting() { t_bCounting = false; }
    long Count() const { return g_nAllocations.load() - m_nBefore; }

private:
    long m_nBefore;
};
} // namespace allocation_count

void* operator new(std::size_t nSize)
{
    if (allocation_count::t_bCounting) {
        allocation_count::g_nAllocations.fetch_add(1, std::memory_order_relaxed);
    }
    if (void* p = std::malloc(nSize == 0 ? 1 : nSize)) {
        return p;
    }
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
