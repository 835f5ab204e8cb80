#include "Platform/PageAllocator.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <sys/mman.h>

namespace {

// The size is kept in front of the block, so that a re-allocation never reads
// past the old region. 16 bytes keep the block aligned for any pixel type.
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

void* PageAlloc(std::size_t size)
{
    std::size_t seen = largestRequest.load(std::memory_order_relaxed);
    while (size > seen && !largestRequest.compare_exchange_weak(seen, size, std::memory_order_relaxed)) {
    }
    if (size == 0 || size > SIZE_MAX - kHeader)
        return nullptr;
    auto* raw = static_cast<std::uint8_t*>(std::calloc(1, size + kHeader));
    if (!raw)
        return nullptr;
    AdviseHugePages(raw, size + kHeader);
    *reinterpret_cast<std::size_t*>(raw) = size;
    return raw + kHeader;
}

void PageFree(void* block)
{
    if (block)
        std::free(HeaderOf(block));
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
