#include "LargeBlocks.h"

#include <gtest/gtest.h>

namespace {

TEST(LargeBlocks, AFreedBlockServesTheNextPictureOfItsSize) {
    ReleaseCachedBlocks();
    const std::size_t size = std::size_t(8) << 20;
    std::uint8_t* first = nullptr;
    {
        const auto block = AllocateBlock(size);
        first = block.get();
        block[size - 1] = 1;
    }
    const auto again = AllocateBlock(size - 1000);
#if defined(__SANITIZE_ADDRESS__)
    (void)first;
#else
    EXPECT_EQ(again.get(), first);
#endif
    // A much smaller request does not take a block that would waste most of itself.
    const auto small = AllocateBlock(size / 4);
    EXPECT_NE(small.get(), again.get());
    ReleaseCachedBlocks();
}

TEST(LargeBlocks, SmallAndHugeBlocksAreNotKept) {
    ReleaseCachedBlocks();
    const auto tiny = AllocateBlock(100);
    EXPECT_NE(tiny.get(), nullptr);
    const auto empty = AllocateBlock(0);
    (void)empty;
    ReleaseCachedBlocks();
}

} // namespace
