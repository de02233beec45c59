#pragma once

#include "model/HugePages.h"

#include <cstddef>
#include <cstdlib>
#include <new>
#include <sys/mman.h>
#include <type_traits>
#include <utility>

namespace faceto {

// Allocator for the large byte blocks of file reading and writing. A block of 2 MiB or more is
// placed on 2 MiB boundaries and, when huge pages are wanted, offered transparent huge pages, so filling
// a 100 MB file buffer takes a few dozen page faults instead of tens of thousands. Contents are left
// uninitialised.
template <typename T> struct BulkAllocator {
    using value_type = T;
    static constexpr size_t HUGE_PAGE = size_t(2) << 20;

    BulkAllocator() = default;
    template <typename U> BulkAllocator(const BulkAllocator<U>&) {}

    T* allocate(size_t n) {
        const size_t bytes = n * sizeof(T);
        if (bytes < HUGE_PAGE) {
            return static_cast<T*>(::operator new(bytes));
        }
        const size_t rounded = (bytes + HUGE_PAGE - 1) / HUGE_PAGE * HUGE_PAGE;
        void* p = std::aligned_alloc(HUGE_PAGE, rounded);
        if (p == nullptr) {
            throw std::bad_alloc();
        }
        if (hugePagesWanted()) {
            ::madvise(p, rounded, MADV_HUGEPAGE);
        }
        return static_cast<T*>(p);
    }

    void deallocate(T* p, size_t n) {
        if (n * sizeof(T) < HUGE_PAGE) {
            ::operator delete(p);
        } else {
            std::free(p);
        }
    }

    // Elements are not zeroed when a buffer grows: readers and writers overwrite every byte.
    template <typename U> void construct(U* p) noexcept {
        if constexpr (!std::is_trivially_default_constructible_v<U>) {
            ::new (static_cast<void*>(p)) U;
        }
    }
    template <typename U, typename... Args> void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }

    template <typename U> bool operator==(const BulkAllocator<U>&) const { return true; }
};

} // namespace faceto
