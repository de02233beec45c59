#include "model/FrameMemory.h"

#include "model/HugePages.h"

#include <atomic>
#include <malloc.h>
#include <mutex>
#include <new>
#include <sys/mman.h>

namespace faceto {

namespace {

constexpr size_t HUGE_PAGE = size_t(2) << 20;
constexpr size_t HEADER = 16; // before every allocation: the block it came from
constexpr size_t SMALLEST_BLOCK = size_t(1) << 20;
constexpr size_t LARGEST_KEPT = size_t(256) << 20; // a block given back is kept up to this size

struct Block {
    uint8_t* base = nullptr; // the mapping, 2 MiB aligned
    size_t size = 0;
    uint8_t* next = nullptr; // where the next allocation goes (used by the scope's thread only)
    std::atomic<size_t> live{0};
};

struct Header {
    Block* block;
    size_t spare;
};
static_assert(sizeof(Header) == HEADER);

thread_local Block* current = nullptr;

std::mutex mutex;
Block* kept = nullptr; // the last block given back, ready for the next scope
size_t blocksInUse = 0;
size_t bytesInUse = 0;

Block* mapBlock(size_t size) {
    // Mapped with room to spare and cut to 2 MiB boundaries, so that every huge page is whole.
    void* raw = ::mmap(nullptr, size + HUGE_PAGE, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) {
        return nullptr;
    }
    auto* start = static_cast<uint8_t*>(raw);
    const uintptr_t address = reinterpret_cast<uintptr_t>(start);
    uint8_t* aligned = start + (((address + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1)) - address);
    if (aligned > start) {
        ::munmap(start, size_t(aligned - start));
    }
    const size_t tail = size_t(start + size + HUGE_PAGE - (aligned + size));
    if (tail > 0) {
        ::munmap(aligned + size, tail);
    }
    if (hugePagesWanted()) {
        ::madvise(aligned, size, MADV_HUGEPAGE); // quietly nothing where the kernel does not offer them
    }
    auto* block = new Block;
    block->base = aligned;
    block->size = size;
    return block;
}

void unmapBlock(Block* block) {
    ::munmap(block->base, block->size);
    delete block;
}

Block* takeBlock(size_t size) {
    Block* block = nullptr;
    {
        std::lock_guard lock(mutex);
        if (kept != nullptr && kept->size >= size && kept->size / 2 <= size) {
            block = kept;
            kept = nullptr;
        }
    }
    if (block == nullptr) {
        block = mapBlock(size);
        if (block == nullptr) {
            return nullptr;
        }
    }
    block->next = block->base;
    block->live.store(1); // the scope's own hold
    std::lock_guard lock(mutex);
    ++blocksInUse;
    bytesInUse += block->size;
    return block;
}

void dropHold(Block* block) {
    if (block->live.fetch_sub(1) != 1) {
        return;
    }
    Block* unmap = block;
    {
        std::lock_guard lock(mutex);
        --blocksInUse;
        bytesInUse -= block->size;
        if (block->size <= LARGEST_KEPT) {
            std::swap(kept, unmap); // the one kept before is given back to the kernel
        }
    }
    if (unmap != nullptr) {
        unmapBlock(unmap);
    }
}

size_t roundUp(size_t n, size_t to) {
    return (n + to - 1) / to * to;
}

// The heap keeps what is freed instead of giving it back to the kernel at once: a model's triangles,
// edges and undo steps are made and freed again and again while it is edited, and memory taken from
// the kernel anew costs a page fault per 4 KiB when first written. Blocks of 32 MiB and more are
// still mapped on their own (and given back when freed); what the heap holds beyond 256 MiB at its top
// is given back.
[[maybe_unused]] const bool heapKeepsFreedMemory = [] {
    ::mallopt(M_MMAP_THRESHOLD, 32 << 20);
    ::mallopt(M_TRIM_THRESHOLD, 256 << 20);
    ::mallopt(M_TOP_PAD, 16 << 20);
    return true;
}();

} // namespace

namespace frame_memory {

void* allocate(size_t bytes) {
    const size_t need = roundUp(bytes, HEADER) + HEADER;
    if (need < bytes) {
        throw std::bad_alloc();
    }
    Block* block = current;
    uint8_t* at = nullptr;
    if (block != nullptr && size_t(block->base + block->size - block->next) >= need) {
        at = block->next;
        block->next += need;
        block->live.fetch_add(1);
    } else {
        block = nullptr;
        at = static_cast<uint8_t*>(::operator new(need));
    }
    auto* header = reinterpret_cast<Header*>(at);
    header->block = block;
    return at + HEADER;
}

void release(void* p) noexcept {
    if (p == nullptr) {
        return;
    }
    auto* at = static_cast<uint8_t*>(p) - HEADER;
    Block* block = reinterpret_cast<Header*>(at)->block;
    if (block == nullptr) {
        ::operator delete(at);
    } else {
        dropHold(block);
    }
}

Usage usage() {
    std::lock_guard lock(mutex);
    return {blocksInUse, bytesInUse};
}

void giveBackKept() {
    Block* block = nullptr;
    {
        std::lock_guard lock(mutex);
        std::swap(block, kept);
    }
    if (block != nullptr) {
        unmapBlock(block);
    }
}

} // namespace frame_memory

FrameMemoryScope::FrameMemoryScope(size_t frames, size_t vertices) {
    previous_ = current;
    // Each frame's positions with their header, rounded as allocate rounds them.
    const size_t each = roundUp(vertices * 12, HEADER) + HEADER;
    if (frames == 0 || vertices == 0 || each / 12 < vertices || frames > SIZE_MAX / each) {
        return;
    }
    const size_t bytes = frames * each;
    if (bytes < SMALLEST_BLOCK) {
        return;
    }
    auto* block = takeBlock(roundUp(bytes, HUGE_PAGE));
    block_ = block;
    if (block != nullptr) {
        current = block;
    }
}

FrameMemoryScope::~FrameMemoryScope() {
    if (block_ != nullptr) {
        current = static_cast<Block*>(previous_);
        dropHold(static_cast<Block*>(block_));
    }
}

} // namespace faceto
