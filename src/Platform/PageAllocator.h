// The page allocator: zero-filled blocks for pixel buffers, planes, headers and
// palettes handed between imaging functions. Rests on calloc/free so that the
// sanitizers see every buffer; a few freed large blocks are kept for reuse,
// poisoned for the address sanitizer meanwhile.
#pragma once

#include <cstddef>

// Zero-filled block of `size` bytes; null for size 0 or when memory is short.
void* PageAlloc(std::size_t size);
// Like PageAlloc, for a caller that writes every byte before it reads any:
// the contents are unspecified, which spares clearing a reused block.
void* PageAllocUncleared(std::size_t size);
// Releases a block from PageAlloc or PageRealloc; null is ignored.
void PageFree(void* block);
// New zero-filled block holding the old contents (up to the smaller size); the
// old block is released. Null (old block kept) when the new one cannot be had.
// A null `block` behaves like PageAlloc.
void* PageRealloc(void* block, std::size_t size);
// Size that PageAlloc was asked for; 0 for null.
std::size_t PageSize(const void* block);
// Largest size PageAlloc was asked for in this process since the last reset.
std::size_t PageAllocLargestRequest();
void PageAllocResetLargestRequest();
