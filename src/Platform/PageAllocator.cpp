#include "Platform/PageAllocator.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include <sys/mman.h>

#if defined(__has_include)
#if __has_include(<sanitizer/asan_interface.h>)
#include <sanitizer/asan_interface.h>
#endif
#endif
#ifndef ASAN_POISON_MEMORY_REGION
#define ASAN_POISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#endif

namespace {

// The size (and the capacity of the allocation) is kept in front of the
// block, so that a re-allocation never reads past the old region. 16 bytes
// keep the block aligned for any pixel type.
constexpr std::size_t kHeader = 16;

// Large pixel buffers are touched whole right after allocation; on huge pages
// that costs one fault per 2 MiB instead of one per 4 KiB.
constexpr std::size_t kHugePage = std::size_t(2) << 20;
constexpr std::size_t kHugeAdviceFrom = 2 * kHugePage;

void AdviseHugePages(std::uint8_t* raw, std::size_t size)
{
    if (size < kHugeAdviceFrom)
        return;
    const auto first = (reinterpret_cast<std::uintptr_t>(raw) + kHugePage - 1) & ~(kHugePage - 1);
    const auto last = (reinterpret_cast<std::uintptr_t>(raw) + size) & ~(kHugePage - 1);
    if (last > first) // only a hint: a refusal changes nothing
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

std::size_t* HeaderOf(const void* block)
{
    return reinterpret_cast<std::size_t*>(static_cast<std::uint8_t*>(const_cast<void*>(block)) - kHeader);
}

// Large blocks (pictures, canvases, masks) come and go in the same few sizes
// with every picture drawn and every frame image rendered. Freshly mapped
// memory costs a page fault per page (and on huge pages possibly a wait for
// compaction), several times the cost of clearing pages already mapped; so a
// few freed large blocks are kept for the next request of about their size.
// Kept blocks are poisoned for the address sanitizer, which so still reports
// any use after PageFree.
constexpr std::size_t kKeepFrom = kHugeAdviceFrom;
constexpr std::size_t kKeptBlocks = 8;
constexpr std::size_t kKeptBytes = std::size_t(384) << 20;

struct KeptBlock
{
    std::uint8_t* raw;
    std::size_t capacity;
};

struct FreedBlocks
{
    std::mutex lock;
    KeptBlock blocks[kKeptBlocks] = {};
    std::size_t count = 0; // blocks[0] is the oldest
    std::size_t bytes = 0;

    void RemoveAt(std::size_t i)
    {
        bytes -= blocks[i].capacity;
        for (std::size_t j = i + 1; j < count; ++j)
            blocks[j - 1] = blocks[j];
        --count;
    }

    // The smallest kept block that holds `capacity` bytes without wasting
    // more than as much again; null when none does.
    std::uint8_t* Take(std::size_t capacity, std::size_t& taken)
    {
        const std::lock_guard<std::mutex> guard(lock);
        std::size_t best = count;
        for (std::size_t i = 0; i < count; ++i)
            if (blocks[i].capacity >= capacity && blocks[i].capacity / 2 <= capacity &&
                (best == count || blocks[i].capacity < blocks[best].capacity))
                best = i;
        if (best == count)
            return nullptr;
        std::uint8_t* raw = blocks[best].raw;
        taken = blocks[best].capacity;
        RemoveAt(best);
        ASAN_UNPOISON_MEMORY_REGION(raw, taken);
        return raw;
    }

    // Keeps the block; returns what no longer fits (the oldest first), to be
    // released outside the lock.
    std::size_t Keep(std::uint8_t* raw, std::size_t capacity, KeptBlock (&released)[kKeptBlocks + 1])
    {
        std::size_t out = 0;
        const std::lock_guard<std::mutex> guard(lock);
        if (capacity > kKeptBytes) {
            released[out++] = {raw, capacity};
            return out;
        }
        while (count > 0 && (count == kKeptBlocks || bytes + capacity > kKeptBytes)) {
            released[out++] = blocks[0];
            RemoveAt(0);
        }
        ASAN_POISON_MEMORY_REGION(raw, capacity);
        blocks[count++] = {raw, capacity};
        bytes += capacity;
        return out;
    }
};

FreedBlocks& Freed()
{
    static FreedBlocks* freed = new FreedBlocks; // never destroyed: threads may free blocks at exit
    return *freed;
}

} // namespace

namespace {
// Watched by tests that a hostile header cannot make the readers ask for gigabytes.
std::atomic<std::size_t> largestRequest{0};
} // namespace

std::size_t PageAllocLargestRequest()
{
    return largestRequest.load(std::memory_order_relaxed);
}

void PageAllocResetLargestRequest()
{
    largestRequest.store(0, std::memory_order_relaxed);
}

namespace {

void* Allocate(std::size_t size, bool clear)
{
    std::size_t seen = largestRequest.load(std::memory_order_relaxed);
    while (size > seen && !largestRequest.compare_exchange_weak(seen, size, std::memory_order_relaxed)) {
    }
    if (size == 0 || size > SIZE_MAX - kHeader)
        return nullptr;
    std::size_t capacity = size + kHeader;
    std::uint8_t* raw = nullptr;
    if (capacity >= kKeepFrom) {
        raw = Freed().Take(capacity, capacity);
        if (raw && clear)
            std::memset(raw + kHeader, 0, size);
    }
    if (!raw) {
        raw = static_cast<std::uint8_t*>(std::calloc(1, capacity));
        if (!raw)
            return nullptr;
        AdviseHugePages(raw, capacity);
    }
    reinterpret_cast<std::size_t*>(raw)[0] = size;
    reinterpret_cast<std::size_t*>(raw)[1] = capacity;
    return raw + kHeader;
}

} // namespace

void* PageAlloc(std::size_t size)
{
    return Allocate(size, true);
}

void* PageAllocUncleared(std::size_t size)
{
    return Allocate(size, false);
}

void PageFree(void* block)
{
    if (!block)
        return;
    auto* raw = reinterpret_cast<std::uint8_t*>(HeaderOf(block));
    const std::size_t capacity = reinterpret_cast<std::size_t*>(raw)[1];
    if (capacity < kKeepFrom) {
        std::free(raw);
        return;
    }
    KeptBlock released[kKeptBlocks + 1];
    const std::size_t count = Freed().Keep(raw, capacity, released);
    for (std::size_t i = 0; i < count; ++i) {
        ASAN_UNPOISON_MEMORY_REGION(released[i].raw, released[i].capacity);
        std::free(released[i].raw);
    }
}

void* PageRealloc(void* block, std::size_t size)
{
    void* fresh = PageAlloc(size);
    if (!fresh)
        return nullptr;
    if (block) {
        const std::size_t old = PageSize(block);
        std::memcpy(fresh, block, old < size ? old : size);
        PageFree(block);
    }
    return fresh;
}

std::size_t PageSize(const void* block)
{
    return block ? *HeaderOf(block) : 0;
}
