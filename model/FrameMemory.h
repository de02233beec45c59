#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <type_traits>
#include <utility>
#include <vector>

namespace faceto {

// Where frame positions live. A load (or a paste) makes the positions of every frame at once; each
// frame's positions are an allocation of their own, but while a FrameMemoryScope lives on the thread
// they are cut from one block made for all of them, which may ask the kernel for huge pages
// (HugePages.h): filling it then costs a page fault per 2 MiB instead of one per 4 KiB. A block is given back
// when the last frame cut from it is freed; the last block given back is kept for the next scope of its size.
// Outside a scope, and once a scope's block is full, positions come from the ordinary heap.
namespace frame_memory {

void* allocate(size_t bytes);
void release(void* p) noexcept;

// How many blocks are in use and how many bytes they hold (for tests).
struct Usage {
    size_t blocks = 0;
    size_t bytes = 0;
};
Usage usage();
// Gives the block kept for the next scope back to the kernel.
void giveBackKept();

} // namespace frame_memory

class FrameMemoryScope {
public:
    // Room for `frames` frames of `vertices` positions each. Below a megabyte nothing is set aside.
    FrameMemoryScope(size_t frames, size_t vertices);
    ~FrameMemoryScope();
    FrameMemoryScope(const FrameMemoryScope&) = delete;
    FrameMemoryScope& operator=(const FrameMemoryScope&) = delete;

private:
    void* block_ = nullptr;
    void* previous_ = nullptr;
};

// What a frame container's element is made from when a reader writes every one of them next: its memory
// is left as it is instead of being zeroed first (see resizeUnwritten). Anywhere else it is a
// value-initialised element.
struct LeftUnwritten {
    template <typename T> operator T() const { return T{}; }
};

template <typename T> struct FrameAllocator {
    using value_type = T;
    FrameAllocator() = default;
    template <typename U> FrameAllocator(const FrameAllocator<U>&) {}
    T* allocate(size_t n) { return static_cast<T*>(frame_memory::allocate(n * sizeof(T))); }
    void deallocate(T* p, size_t) noexcept { frame_memory::release(p); }
    template <typename U> bool operator==(const FrameAllocator<U>&) const { return true; }
    template <typename U, typename... Args> void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    template <typename U> void construct(U*, LeftUnwritten) {}
};

// Counts out the LeftUnwritten elements of resizeUnwritten.
struct UnwrittenElements {
    using iterator_category = std::random_access_iterator_tag;
    using value_type = LeftUnwritten;
    using difference_type = std::ptrdiff_t;
    using pointer = const LeftUnwritten*;
    using reference = LeftUnwritten;
    size_t at = 0;
    LeftUnwritten operator*() const { return {}; }
    UnwrittenElements& operator++() {
        ++at;
        return *this;
    }
    UnwrittenElements operator++(int) { return {at++}; }
    UnwrittenElements& operator--() {
        --at;
        return *this;
    }
    UnwrittenElements& operator+=(difference_type k) {
        at += size_t(k);
        return *this;
    }
    UnwrittenElements operator+(difference_type k) const { return {at + size_t(k)}; }
    difference_type operator-(const UnwrittenElements& o) const { return difference_type(at - o.at); }
    bool operator==(const UnwrittenElements& o) const { return at == o.at; }
};

// Makes `v` hold `n` elements whose memory is not written, for the caller to write every one of them
// before anything reads it. Only for elements that any bytes make valid (plain numbers).
template <typename T> void resizeUnwritten(std::vector<T, FrameAllocator<T>>& v, size_t n) {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);
    v.clear();
    v.assign(UnwrittenElements{0}, UnwrittenElements{n});
}

} // namespace faceto
