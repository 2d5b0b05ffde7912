#pragma once
// The small-object allocator's pool for one block size: an array of chunks
// (BlockPoolChunk) held by value, with three cursors. The alloc chunk served
// the last allocation and is tried first; the dealloc chunk served the last
// release and is where the search for a released pointer's chunk starts
// (outward: that chunk, the next, the previous, the next but one, ...). At
// most one completely free chunk is kept (the empty chunk); a second one goes
// back to malloc at once, so churn at a chunk boundary does not thrash malloc.
//
// Not synchronised: SmallAllocator holds its lock around every call.

#include "engine/base/Types.h"
#include "engine/core/BlockPoolChunk.h"

#include <vector>

namespace Ostrel {

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
        if (chunk == nullptr || !chunk->HasBlock(block, u32(m_blocksPerChunk) * m_blockSize)) {
            chunk = FindChunk(block);
            if (chunk == nullptr) {
                return false;
            }
            m_deallocChunk = chunk;
        }
        chunk->Deallocate(block, m_blockSize);
        if (chunk->m_freeCount == m_blocksPerChunk) {
            KeepOrGiveBackFreeChunk();
        }
        return true;
    }

    u32 GetBlockSize() const { return m_blockSize; }
    u8 GetBlocksPerChunk() const { return m_blocksPerChunk; }

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
    BlockPoolChunk* FindChunk(const void* block);
    void KeepOrGiveBackFreeChunk();
    void GiveBackOneFreeChunk();
    int IndexOf(const BlockPoolChunk* chunk) const;

    u32 m_blockSize = 0;
    u8 m_blocksPerChunk = 0;
    std::vector<BlockPoolChunk> m_chunks;
    BlockPoolChunk* m_allocChunk = nullptr;
    BlockPoolChunk* m_deallocChunk = nullptr;
    BlockPoolChunk* m_emptyChunk = nullptr;
};

}  // namespace Ostrel
