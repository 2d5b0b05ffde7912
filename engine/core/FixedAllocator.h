#pragma once
// The small-object allocator's pool for one block size: an array of chunks
// (BlockPoolChunk) held by value, with three cursors. The alloc chunk served
// the last allocation and is tried first; the dealloc chunk served the last
// release and is tried first for the next one. Any other block's chunk comes
// straight from the page map (SmallAllocatorPageMap.h), which also tells a
// block of another pool or of the general heap apart. At most one completely
// free chunk is kept (the empty chunk); a second one goes back to the general
// heap at once, so churn at a chunk boundary does not thrash malloc.
//
// Not synchronised: used by the thread that owns its SmallAllocator.

#include "engine/base/Types.h"
#include "engine/core/BlockPoolChunk.h"
#include "engine/core/SmallAllocatorPageMap.h"
#include "engine/base/Types.h"

#include <vector>

namespace Ostrel {

class SmallAllocator;

class FixedAllocator {
public:
    FixedAllocator() = default;
    ~FixedAllocator();
    FixedAllocator(const FixedAllocator&) = delete;
    FixedAllocator& operator=(const FixedAllocator&) = delete;

    // Block size and blocks per chunk: chunkSize / blockSize, kept within
    // [8, 255] (255 blocks for every size up to 16 bytes with 4096).
    void Init(u32 blockSize, u32 chunkSize);

    void* Allocate() {
        BlockPoolChunk* chunk = m_allocChunk;
        if (chunk == nullptr || chunk->m_freeCount == 0) {
            chunk = PickAllocChunk();
        } else if (chunk == m_emptyChunk) {
            m_emptyChunk = nullptr;
        }
        return chunk->Allocate(m_blockSize);
    }

    // True when one of the chunks held block and it was freed.
    bool Deallocate(void* block) {
        BlockPoolChunk* chunk = m_deallocChunk;
        if (chunk == nullptr || !chunk->HasBlock(block, m_chunkLength)) {
            chunk = FindChunk(block);
            if (chunk == nullptr) {
                return false;
            }
            m_deallocChunk = chunk;
        }
        chunk->DeallocateAt(block, BlockIndex(*chunk, block));
        if (chunk->m_freeCount == m_blocksPerChunk) {
            // The chunk became completely free: it is held as the empty one,
            // after giving back the one held before, if any.
            if (m_emptyChunk != nullptr) {
                GiveBackOneFreeChunk();
            }
            m_emptyChunk = m_deallocChunk;
        }
        return true;
    }

    u32 GetBlockSize() const { return m_blockSize; }
    u8 GetBlocksPerChunk() const { return m_blocksPerChunk; }

    // The allocator this pool belongs to (blocks freed on another thread are
    // handed to it), or nullptr for a pool on its own.
    SmallAllocator* GetOwner() const { return m_owner; }
    void SetOwner(SmallAllocator* owner) { m_owner = owner; }

    // True when every chunk is completely free.
    bool IsUnused() const;

    // Inspection for tests and diagnostics. Chunk indices are -1 for none.
    std::size_t GetChunkCount() const { return m_chunks.size(); }
    std::size_t GetChunkCapacity() const { return m_chunks.capacity(); }
    const BlockPoolChunk& GetChunk(std::size_t index) const { return m_chunks[index]; }
    int GetAllocChunkIndex() const { return IndexOf(m_allocChunk); }
    int GetDeallocChunkIndex() const { return IndexOf(m_deallocChunk); }
    int GetEmptyChunkIndex() const { return IndexOf(m_emptyChunk); }

private:
    BlockPoolChunk* PickAllocChunk();
    BlockPoolChunk* AppendChunk();
    BlockPoolChunk* FindChunk(const void* block) {
        Private::PoolPage* page = Private::FindPoolPage(block);
        if (page == nullptr || page->pool.load(std::memory_order_relaxed) != this) {
            return nullptr;
        }
        BlockPoolChunk* chunk = &m_chunks[page->chunk.load(std::memory_order_relaxed)];
        // The pages round the chunk up: an address past its last block is
        // not a block of it.
        return chunk->HasBlock(block, m_chunkLength) ? chunk : nullptr;
    }
    // Offset / block size as a multiplication by the reciprocal when that is
    // exact for every offset inside a chunk (see Init), else a division.
    u8 BlockIndex(const BlockPoolChunk& chunk, const void* block) const {
        const u64 offset = u64(static_cast<const u8*>(block) - chunk.m_data);
        return m_reciprocal != 0 ? u8((offset * m_reciprocal) >> 32) : u8(offset / m_blockSize);
    }
    void GiveBackOneFreeChunk();
    void MapChunk(const BlockPoolChunk& chunk, FixedAllocator* pool);
    int IndexOf(const BlockPoolChunk* chunk) const;

    u32 m_blockSize = 0;
    u8 m_blocksPerChunk = 0;
    std::vector<BlockPoolChunk> m_chunks;
    BlockPoolChunk* m_allocChunk = nullptr;
    BlockPoolChunk* m_deallocChunk = nullptr;
    BlockPoolChunk* m_emptyChunk = nullptr;
    // blocks per chunk * block size, kept for the ownership test.
    u32 m_chunkLength = 0;
    // ceil(2^32 / block size), or 0 where it would not be exact.
    u64 m_reciprocal = 0;
    SmallAllocator* m_owner = nullptr;
};

}  // namespace Ostrel
