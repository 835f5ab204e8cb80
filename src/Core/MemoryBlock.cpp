#include "Core/MemoryBlock.h"

#include "Platform/PageAllocator.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

bool CMemoryBlock::CopyFrom(const void* source, std::size_t count)
{
    if (!m_data || count > m_size || (!source && count > 0))
        return false;
    if (count > 0)
        std::memcpy(m_data, source, count);
    return true;
}

CVirtualMemoryBlock::~CVirtualMemoryBlock()
{
    CVirtualMemoryBlock::Free();
}

bool CVirtualMemoryBlock::Alloc(std::size_t size)
{
    Free();
    return AllocNew(size);
}

bool CVirtualMemoryBlock::AllocNew(std::size_t size)
{
    void* data = size > 0 ? PageAlloc(size) : nullptr;
    m_data = data;
    m_size = data ? size : 0;
    return data != nullptr;
}

bool CVirtualMemoryBlock::Free()
{
    if (!m_data)
        return false;
    PageFree(m_data);
    m_data = nullptr;
    m_size = 0;
    return true;
}

CHeapMemoryBlock::~CHeapMemoryBlock()
{
    CHeapMemoryBlock::Free();
}

bool CHeapMemoryBlock::Alloc(std::size_t size)
{
    return AllocOn(size, nullptr);
}

bool CHeapMemoryBlock::AllocOn(std::size_t size, CMemoryBlock* owner)
{
    if (owner && !owner->HasData())
        return false;
    m_data = HeapAllocZeroed(size, owner);
    if (!m_data)
        return false;
    m_size = size;
    m_owner = owner;
    return true;
}

bool CHeapMemoryBlock::Free()
{
    if (!m_data)
        return false;
    std::free(m_data);
    m_data = nullptr;
    m_size = 0;
    m_owner = nullptr;
    return true;
}

bool CHeapMemoryBlock::ReAlloc(std::size_t size)
{
    if (!m_data)
        return false;
    void* grown = std::realloc(m_data, std::max<std::size_t>(size, 1));
    if (!grown)
        return false;
    if (size > m_size)
        std::memset(static_cast<char*>(grown) + m_size, 0, size - m_size);
    m_data = grown;
    m_size = size;
    return true;
}

bool FreeVirtualMemory(void* pointer)
{
    if (!pointer)
        return false;
    PageFree(pointer);
    return true;
}

void* HeapAllocZeroed(std::size_t size, const CMemoryBlock* owner)
{
    if (owner && !owner->HasData())
        return nullptr;
    return std::calloc(std::max<std::size_t>(size, 1), 1);
}

bool HeapFreeBlock(void* pointer, const CMemoryBlock* owner)
{
    if (!pointer || (owner && !owner->HasData()))
        return false;
    std::free(pointer);
    return true;
}
