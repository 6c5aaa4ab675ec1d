// The counting operator new of alloc_counter.h: malloc and free underneath, one count per allocation while counting.
#include "alloc_counter.h"

#include <cstdlib>
#include <new>

std::atomic<long> Alloc_Count{0};
std::atomic<bool> Alloc_Counting{false};

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t n) {
    if (Alloc_Counting) Alloc_Count.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
