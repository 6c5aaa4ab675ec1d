// Pool_Allocator<T>: a standard allocator whose blocks, once freed, wait on a free list for the next request of the
// same size instead of going back to the heap, so objects made and dropped every frame (pieces, list nodes, effect
// objects) cost no heap allocation once the game has reached its usual numbers. Header-only; used by the piece
// list (board/pieces.cpp, platform/list.h) and the effect lists (effects/effects.h). Main thread only.
#pragma once

#include <cstddef>
#include <new>

namespace pool_detail {
// One free list per element type: blocks of the first size asked for (1 element for std::allocate_shared and list
// nodes, one node's worth for std::deque); requests of other sizes go to the heap as usual. The blocks stay reachable
// from the list head, so leak checkers see them as in use, not lost.
template <class T> struct FreeList {
    struct Block {
        Block* next;
    };
    static inline Block* head = nullptr;
    static inline std::size_t count = 0;  // the block size in elements; 0 until the first request
    static inline std::size_t parked = 0; // blocks waiting on the list (tests read it)
};
} // namespace pool_detail

template <class T> class Pool_Allocator {
  public:
    using value_type = T;

    Pool_Allocator() noexcept = default;
    template <class U> Pool_Allocator(const Pool_Allocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        using L = pool_detail::FreeList<T>;
        if (L::count == 0) L::count = n;
        if (n == L::count && L::head) {
            typename L::Block* b = L::head;
            L::head = b->next;
            --L::parked;
            return reinterpret_cast<T*>(b);
        }
        return static_cast<T*>(::operator new(Bytes(n)));
    }
    void deallocate(T* p, std::size_t n) noexcept {
        using L = pool_detail::FreeList<T>;
        if (n == L::count) {
            auto* b = reinterpret_cast<typename L::Block*>(p);
            b->next = L::head;
            L::head = b;
            ++L::parked;
            return;
        }
        ::operator delete(p);
    }

    template <class U> bool operator==(const Pool_Allocator<U>&) const noexcept { return true; }
    template <class U> bool operator!=(const Pool_Allocator<U>&) const noexcept { return false; }

  private:
    static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__, "the plain operator new must align T");
    // Every block holds at least a free-list link.
    static std::size_t Bytes(std::size_t n) {
        const std::size_t b = n * sizeof(T);
        return b < sizeof(void*) ? sizeof(void*) : b;
    }
};

// Blocks of T's size waiting for reuse.
template <class T> std::size_t Pool_Parked() { return pool_detail::FreeList<T>::parked; }
