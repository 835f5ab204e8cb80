// Owned buffers: CVirtualMemoryBlock on the page allocator for pixel and codec
// buffers, CHeapMemoryBlock on zero-filled heap memory; both release their
// memory when they go. The free functions handle bare pointers handed between
// objects. Nothing throws: a failed allocation is a false or null result.
#pragma once

#include <cstddef>

class CMemoryBlock
{
public:
    CMemoryBlock() = default;
    virtual ~CMemoryBlock() = default;
    CMemoryBlock(const CMemoryBlock&) = delete;
    CMemoryBlock& operator=(const CMemoryBlock&) = delete;

    virtual bool Alloc(std::size_t size) = 0;
    // False when nothing was held.
    virtual bool Free() = 0;

    // Copies `count` bytes to the start of the block; false when the block is
    // empty or smaller than `count`.
    bool CopyFrom(const void* source, std::size_t count);
    bool HasData() const { return m_data != nullptr; }
    void* GetData() const { return m_data; }
    std::size_t GetSize() const { return m_size; }

protected:
    void* m_data = nullptr;
    std::size_t m_size = 0;
};

// Zero-filled pages from the page allocator (PageAlloc).
class CVirtualMemoryBlock : public CMemoryBlock
{
public:
    ~CVirtualMemoryBlock() override;
    // Releases what the block holds, then takes a new region; a size of 0 is
    // refused and leaves the block empty.
    bool Alloc(std::size_t size) override;
    // Takes a new region without releasing the one held: the caller must have
    // taken that pointer over (and releases it with FreeVirtualMemory).
    bool AllocNew(std::size_t size);
    bool Free() override;
};

// Zero-filled heap memory. The owner of a heap block stands for the private
// heap it came from; this system has one heap, so the owner is only checked
// (it must hold memory) and remembered.
class CHeapMemoryBlock : public CMemoryBlock
{
public:
    ~CHeapMemoryBlock() override;
    // AllocOn with no owner. Like AllocOn, does not release what is held.
    bool Alloc(std::size_t size) override;
    // False and the block unchanged when the owner holds nothing; false and a
    // null pointer when memory is short.
    virtual bool AllocOn(std::size_t size, CMemoryBlock* owner);
    bool Free() override;
    // Grows or shrinks the block, keeping its bytes and zero-filling growth;
    // false (old memory kept) when nothing is held or memory is short.
    bool ReAlloc(std::size_t size);
    CMemoryBlock* GetOwner() const { return m_owner; }

private:
    CMemoryBlock* m_owner = nullptr;
};

// Releases a page-allocated buffer (PageAlloc, CVirtualMemoryBlock::AllocNew);
// false for null.
bool FreeVirtualMemory(void* pointer);
// Zero-filled heap memory; a size of 0 gives a valid block. Null when memory
// is short or the owner holds nothing.
void* HeapAllocZeroed(std::size_t size, const CMemoryBlock* owner = nullptr);
// False for null (or an owner that holds nothing).
bool HeapFreeBlock(void* pointer, const CMemoryBlock* owner = nullptr);
