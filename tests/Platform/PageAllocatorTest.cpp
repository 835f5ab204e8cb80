#include "Platform/PageAllocator.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(PageAllocator, BlocksStartZeroed)
{
    auto* p = static_cast<unsigned char*>(PageAlloc(10000));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 10000; ++i)
        ASSERT_EQ(p[i], 0) << i;
    EXPECT_EQ(PageSize(p), 10000u);
    PageFree(p);
    EXPECT_EQ(PageAlloc(0), nullptr);
    PageFree(nullptr);
}

TEST(PageAllocator, ReallocKeepsOldBytesAndZeroesGrowth)
{
    auto* p = static_cast<unsigned char*>(PageAlloc(8));
    std::memset(p, 0xAB, 8);
    auto* q = static_cast<unsigned char*>(PageRealloc(p, 64));
    ASSERT_NE(q, nullptr);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(q[i], 0xAB);
    for (int i = 8; i < 64; ++i)
        EXPECT_EQ(q[i], 0);
    auto* r = static_cast<unsigned char*>(PageRealloc(q, 4)); // shrinking copies only what fits
    EXPECT_EQ(r[3], 0xAB);
    PageFree(r);
}

// Large blocks may be handed out again after being freed: every one still
// starts zeroed and reports the size it was asked for.
TEST(PageAllocator, LargeBlocksStartZeroedAgain)
{
    const std::size_t sizes[] = {std::size_t(6) << 20, (std::size_t(6) << 20) - 4096, std::size_t(5) << 20,
                                 std::size_t(9) << 20};
    for (int round = 0; round < 3; ++round)
        for (const std::size_t size : sizes) {
            auto* p = static_cast<unsigned char*>(PageAlloc(size));
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(PageSize(p), size);
            for (std::size_t i = 0; i < size; i += 4093)
                ASSERT_EQ(p[i], 0) << size << " " << i;
            ASSERT_EQ(p[size - 1], 0) << size;
            std::memset(p, 0xAB, size);
            PageFree(p);
            // A block handed out uncleared goes back and forth the same way.
            auto* q = static_cast<unsigned char*>(PageAllocUncleared(size));
            ASSERT_NE(q, nullptr);
            EXPECT_EQ(PageSize(q), size);
            std::memset(q, 0xCD, size);
            PageFree(q);
        }
    EXPECT_EQ(PageAllocUncleared(0), nullptr);
}
