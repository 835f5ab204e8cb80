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
