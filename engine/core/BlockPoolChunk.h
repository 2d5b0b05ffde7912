#pragma once
// One chunk of equally sized blocks of the small-object allocator. The free
// blocks form a singly linked list of one-byte indices: the first byte of each
// free block holds the index of the next free one. A chunk therefore holds at
// most 255 blocks, each at least one byte. A plain record: FixedAllocator
// keeps chunks by value in an array and swaps them around.

#include "engine/core/Types.h"

namespace Ostrel {

struct BlockPoolChunk {
    // Takes blockSize * blocks bytes from malloc and threads the free list.
    // A failed malloc is fatal (the allocator has no way to report it).
    void Init(u32 blockSize, u8 blocks);

    // A free block, or nullptr when the chunk is full.
    void* Allocate(u32 blockSize);

    // Returns a block of this chunk (the caller checked HasBlock).
    void Deallocate(void* block, u32 blockSize);

    // Gives the memory back to malloc; the record becomes empty.
    void Release();

    // Whether block lies inside this chunk's chunkLength bytes.
    bool HasBlock(const void* block, u32 chunkLength) const;

    u8* m_data = nullptr;
    u8 m_firstFree = 0;
    u8 m_freeCount = 0;
};

}  // namespace Ostrel
