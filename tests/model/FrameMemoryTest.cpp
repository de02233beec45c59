#include "model/FrameMemory.h"

#include "TestSupport.h"
#include "model/Model.h"

#include <thread>

namespace faceto::test {
namespace {

// Frames made in a scope share its block; the block lives until the last of them is gone, whichever
// thread frees it; frames beyond the block's room, or made outside a scope, come from the heap.
TEST(FrameMemory, FramesOfAScopeShareABlockUntilTheLastIsFreed) {
    frame_memory::giveBackKept();
    const frame_memory::Usage before = frame_memory::usage();
    std::vector<Frame> frames(40);
    {
        const FrameMemoryScope scope(32, 10000); // room for 32 of the 40
        for (Frame& f : frames) {
            f.positions.resize(10000);
            f.positions.back() = {1, 2, 3};
        }
    }
    EXPECT_EQ(before.blocks + 1, frame_memory::usage().blocks);
    EXPECT_GE(frame_memory::usage().bytes - before.bytes, 32u * 10000 * 12);
    // Neighbours in the block, each with its header before it.
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(frames[0].positions.data()) + 10000 * 12 + 16,
              reinterpret_cast<const uint8_t*>(frames[1].positions.data()));
    const Frame copy = frames[39]; // made outside any scope
    EXPECT_EQ(copy, frames[39]);
    // All but the first freed on another thread: the first still holds the block.
    std::vector<Frame> others(std::make_move_iterator(frames.begin() + 1),
                              std::make_move_iterator(frames.end()));
    frames.resize(1);
    std::thread([moved = std::move(others)]() mutable { moved.clear(); }).join();
    EXPECT_EQ(before.blocks + 1, frame_memory::usage().blocks);
    frames.clear();
    EXPECT_EQ(before.blocks, frame_memory::usage().blocks);
}

TEST(FrameMemory, SmallScopesAndHugeRequestsFallBackToTheHeap) {
    const frame_memory::Usage before = frame_memory::usage();
    {
        const FrameMemoryScope small(10, 100); // 12 KB: not worth a block
        Positions p(100);
        EXPECT_EQ(before.blocks, frame_memory::usage().blocks);
    }
    // A count that overflows is ignored, not trusted.
    const FrameMemoryScope absurd(SIZE_MAX / 8, SIZE_MAX / 8);
    Positions p(1000, FrameVertex{4, 5, 6});
    EXPECT_EQ((FrameVertex{4, 5, 6}), p[999]);
    EXPECT_EQ(before.blocks, frame_memory::usage().blocks);
}

} // namespace
} // namespace faceto::test
