#pragma once

#include <cstddef>
#include <cstdint>

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

template <typename T> struct FrameAllocator {
    using value_type = T;
    FrameAllocator() = default;
    template <typename U> FrameAllocator(const FrameAllocator<U>&) {}
    T* allocate(size_t n) { return static_cast<T*>(frame_memory::allocate(n * sizeof(T))); }
    void deallocate(T* p, size_t) noexcept { frame_memory::release(p); }
    template <typename U> bool operator==(const FrameAllocator<U>&) const { return true; }
};

} // namespace faceto
