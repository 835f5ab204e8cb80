#include "Core/MemoryBlock.h"

#include "Platform/PageAllocator.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>

namespace {

bool AllZero(const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return std::all_of(bytes, bytes + size, [](std::uint8_t b) { return b == 0; });
}

} // namespace

TEST(MemoryBlock, VirtualBlockIsZeroedAndReplacedByAlloc)
{
    CVirtualMemoryBlock block;
    EXPECT_FALSE(block.HasData());
    EXPECT_FALSE(block.Free()); // nothing held
    ASSERT_TRUE(block.Alloc(4096));
    EXPECT_EQ(block.GetSize(), 4096u);
    EXPECT_TRUE(AllZero(block.GetData(), 4096));
    static_cast<std::uint8_t*>(block.GetData())[4095] = 0xAB;

    ASSERT_TRUE(block.Alloc(100)); // the old region is released first
    EXPECT_EQ(block.GetSize(), 100u);
    EXPECT_TRUE(AllZero(block.GetData(), 100));

    EXPECT_FALSE(block.Alloc(0));
    EXPECT_FALSE(block.HasData());
    EXPECT_EQ(block.GetSize(), 0u);
}

TEST(MemoryBlock, AllocNewLeavesTheOldRegionToTheCaller)
{
    CVirtualMemoryBlock block;
    ASSERT_TRUE(block.Alloc(64));
    void* handedOver = block.GetData();
    ASSERT_TRUE(block.AllocNew(32));
    EXPECT_NE(block.GetData(), handedOver);
    EXPECT_EQ(PageSize(handedOver), 64u); // still alive
    EXPECT_TRUE(FreeVirtualMemory(handedOver));
    EXPECT_FALSE(FreeVirtualMemory(nullptr));
}

TEST(MemoryBlock, HeapBlockReAllocKeepsBytesAndZeroesGrowth)
{
    CHeapMemoryBlock block;
    EXPECT_FALSE(block.ReAlloc(10)); // nothing held
    ASSERT_TRUE(block.Alloc(16));
    EXPECT_TRUE(AllZero(block.GetData(), 16));
    auto* bytes = static_cast<std::uint8_t*>(block.GetData());
    for (int i = 0; i < 16; ++i)
        bytes[i] = static_cast<std::uint8_t>(i + 1);

    ASSERT_TRUE(block.ReAlloc(1 << 20));
    EXPECT_EQ(block.GetSize(), 1u << 20);
    bytes = static_cast<std::uint8_t*>(block.GetData());
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(bytes[i], i + 1);
    EXPECT_TRUE(AllZero(bytes + 16, (1 << 20) - 16));

    ASSERT_TRUE(block.ReAlloc(8));
    EXPECT_EQ(static_cast<std::uint8_t*>(block.GetData())[7], 8);
    EXPECT_TRUE(block.Free());
    EXPECT_FALSE(block.HasData());
    EXPECT_EQ(block.GetSize(), 0u);
    EXPECT_FALSE(block.Free());
}

TEST(MemoryBlock, HeapBlockOwner)
{
    CHeapMemoryBlock emptyOwner;
    CHeapMemoryBlock block;
    EXPECT_FALSE(block.AllocOn(8, &emptyOwner));
    EXPECT_FALSE(block.HasData());

    CVirtualMemoryBlock owner;
    ASSERT_TRUE(owner.Alloc(8));
    ASSERT_TRUE(block.AllocOn(8, &owner));
    EXPECT_EQ(block.GetOwner(), &owner);
    EXPECT_TRUE(block.Free());
    EXPECT_EQ(block.GetOwner(), nullptr);
}

TEST(MemoryBlock, CopyFromRefusesMoreThanTheBlockHolds)
{
    CHeapMemoryBlock block;
    const char source[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_FALSE(block.CopyFrom(source, 4)); // empty
    ASSERT_TRUE(block.Alloc(4));
    EXPECT_FALSE(block.CopyFrom(source, 8));
    EXPECT_TRUE(AllZero(block.GetData(), 4));
    EXPECT_TRUE(block.CopyFrom(source, 4));
    EXPECT_EQ(static_cast<const char*>(block.GetData())[3], 4);
}

TEST(MemoryBlock, BarePointers)
{
    void* zeroSized = HeapAllocZeroed(0);
    EXPECT_NE(zeroSized, nullptr);
    EXPECT_TRUE(HeapFreeBlock(zeroSized));
    void* block = HeapAllocZeroed(256);
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(AllZero(block, 256));
    EXPECT_TRUE(HeapFreeBlock(block));
    EXPECT_FALSE(HeapFreeBlock(nullptr));
    CHeapMemoryBlock emptyOwner;
    EXPECT_EQ(HeapAllocZeroed(4, &emptyOwner), nullptr);
}
