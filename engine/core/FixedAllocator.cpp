#include "engine/core/FixedAllocator.h"

#include <utility>

namespace Ostrel {

namespace {
constexpr u32 kMinBlocksPerChunk = 8;
constexpr u32 kMaxBlocksPerChunk = 255;
}  // namespace

FixedAllocator::~FixedAllocator() {
    for (BlockPoolChunk& chunk : m_chunks) {
        MapChunk(chunk, nullptr);
        chunk.Release();
    }
}

void FixedAllocator::Init(u32 blockSize, u32 chunkSize) {
    m_blockSize = blockSize;
    u32 blocks = chunkSize / blockSize;
    if (blocks > kMaxBlocksPerChunk) {
        blocks = kMaxBlocksPerChunk;
    } else if (blocks < kMinBlocksPerChunk) {
        blocks = kMinBlocksPerChunk;
    }
    m_blocksPerChunk = u8(blocks);
    m_chunkLength = blocks * blockSize;
    // floor(offset * ceil(2^32 / d) / 2^32) equals floor(offset / d) while
    // offset * d < 2^32; offsets stay below 255 * d, so d up to 4096 is safe.
    m_reciprocal = blockSize <= 4096 ? ((u64(1) << 32) + blockSize - 1) / blockSize : 0;
}

bool FixedAllocator::IsUnused() const {
    for (const BlockPoolChunk& chunk : m_chunks) {
        if (chunk.m_freeCount != m_blocksPerChunk) {
            return false;
        }
    }
    return true;
}

// The alloc chunk is full (or unset): the held empty chunk, else the first
// chunk with a free block, else a new chunk.
BlockPoolChunk* FixedAllocator::PickAllocChunk() {
    if (m_emptyChunk != nullptr) {
        m_allocChunk = m_emptyChunk;
        m_emptyChunk = nullptr;
        return m_allocChunk;
    }
    for (BlockPoolChunk& chunk : m_chunks) {
        if (chunk.m_freeCount > 0) {
            m_allocChunk = &chunk;
            return m_allocChunk;
        }
    }
    return AppendChunk();
}

BlockPoolChunk* FixedAllocator::AppendChunk() {
    // Exactly one more slot: the array moves, so every chunk pointer is taken
    // after the growth (the empty chunk is null here, or step two had used it).
    m_chunks.reserve(m_chunks.size() + 1);
    m_chunks.emplace_back();
    BlockPoolChunk& chunk = m_chunks.back();
    chunk.Init(m_blockSize, m_blocksPerChunk);
    MapChunk(chunk, this);
    m_allocChunk = &chunk;
    m_deallocChunk = &chunk;
    return m_allocChunk;
}

// Two chunks are completely free (the held one and the dealloc chunk): move
// one of them to the end of the array and give it back to malloc.
void FixedAllocator::GiveBackOneFreeChunk() {
    BlockPoolChunk* last = &m_chunks.back();
    if (last == m_deallocChunk) {
        m_deallocChunk = m_emptyChunk;
    } else if (last != m_emptyChunk) {
        std::swap(*m_emptyChunk, *last);
        MapChunk(*m_emptyChunk, this);  // the former last chunk, in its new slot
    }
    if (m_allocChunk == nullptr || m_allocChunk == last || m_allocChunk->m_freeCount == 0) {
        m_allocChunk = m_deallocChunk;
    }
    MapChunk(*last, nullptr);
    last->Release();
    m_chunks.pop_back();
}

void FixedAllocator::MapChunk(const BlockPoolChunk& chunk, FixedAllocator* pool) {
    Private::MapPoolPages(chunk.m_data, m_chunkLength, pool, u32(&chunk - m_chunks.data()));
}

int FixedAllocator::IndexOf(const BlockPoolChunk* chunk) const {
    return chunk == nullptr ? -1 : int(chunk - m_chunks.data());
}

}  // namespace Ostrel
