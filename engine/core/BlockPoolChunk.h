#pragma once
// One chunk of equally sized blocks of the small-object allocator. The free
// blocks form a singly linked list of one-byte indices: the first byte of each
// free block holds the index of the next free one. A chunk therefore holds at
// most 255 blocks, each at least one byte. A plain record: FixedAllocator
// keeps chunks by value in an array and swaps them around.

#include "engine/base/Types.h"

#include <cstddef>
#include <cstdint>

namespace Ostrel {

struct BlockPoolChunk {
    // Takes blockSize * blocks bytes from the general heap, rounded up to whole
    // pages of the page map and starting on a page, and threads the free list.
    // A failed malloc is fatal (the allocator has no way to report it).
    void Init(u32 blockSize, u8 blocks);

    // A free block, or nullptr when the chunk is full.
    void* Allocate(u32 blockSize) {
        if (m_freeCount == 0) {
            return nullptr;
        }
        u8* block = m_data + std::size_t(m_firstFree) * blockSize;
        m_firstFree = *block;
        --m_freeCount;
        return block;
    }

    // Returns a block of this chunk (the caller checked HasBlock).
    void Deallocate(void* block, u32 blockSize) {
        DeallocateAt(block, u8(std::size_t(static_cast<u8*>(block) - m_data) / blockSize));
    }

    // Returns block, the index-th of this chunk (the caller did the division).
    void DeallocateAt(void* block, u8 index) {
        *static_cast<u8*>(block) = m_firstFree;
        m_firstFree = index;
        ++m_freeCount;
    }

    // Gives the memory back to malloc; the record becomes empty.
    void Release();

    // Whether block lies inside this chunk's chunkLength bytes (compared as
    // integers: the pointer may come from any other allocation).
    bool HasBlock(const void* block, u32 chunkLength) const {
        const auto address = reinterpret_cast<std::uintptr_t>(block);
        const auto begin = reinterpret_cast<std::uintptr_t>(m_data);
        return address - begin < chunkLength;
    }

    u8* m_data = nullptr;
    u8 m_firstFree = 0;
    u8 m_freeCount = 0;
};

}  // namespace Ostrel
