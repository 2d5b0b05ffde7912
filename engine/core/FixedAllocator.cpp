#include "engine/core/FixedAllocator.h"

#include <utility>

namespace Ostrel {

namespace {
constexpr u32 kMinBlocksPerChunk = 8;
constexpr u32 kMaxBlocksPerChunk = 255;
}  // namespace

FixedAllocator::~FixedAllocator() {
    for (BlockPoolChunk& chunk : m_chunks) {
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
    m_allocChunk = &chunk;
    m_deallocChunk = &chunk;
    return m_allocChunk;
}

BlockPoolChunk* FixedAllocator::FindChunk(const void* block) {
    if (m_chunks.empty() || m_deallocChunk == nullptr) {
        return nullptr;
    }
    const u32 chunkLength = u32(m_blocksPerChunk) * m_blockSize;
    BlockPoolChunk* const first = &m_chunks.front();
    BlockPoolChunk* const last = &m_chunks.back();
    BlockPoolChunk* lo = m_deallocChunk;
    BlockPoolChunk* hi = (lo == last) ? nullptr : lo + 1;
    while (lo != nullptr || hi != nullptr) {
        if (lo != nullptr) {
            if (lo->HasBlock(block, chunkLength)) {
                return lo;
            }
            lo = (lo == first) ? nullptr : lo - 1;
        }
        if (hi != nullptr) {
            if (hi->HasBlock(block, chunkLength)) {
                return hi;
            }
            hi = (hi == last) ? nullptr : hi + 1;
        }
    }
    return nullptr;
}

// The dealloc chunk has just become completely free: it becomes the held
// empty chunk, after giving one free chunk back if one was held already.
void FixedAllocator::KeepOrGiveBackFreeChunk() {
    if (m_emptyChunk != nullptr) {
        GiveBackOneFreeChunk();
    }
    m_emptyChunk = m_deallocChunk;
}

// Two chunks are completely free (the held one and the dealloc chunk): move
// one of them to the end of the array and give it back to malloc.
void FixedAllocator::GiveBackOneFreeChunk() {
    BlockPoolChunk* last = &m_chunks.back();
    if (last == m_deallocChunk) {
        m_deallocChunk = m_emptyChunk;
    } else if (last != m_emptyChunk) {
        std::swap(*m_emptyChunk, *last);
    }
    if (m_allocChunk == nullptr || m_allocChunk == last || m_allocChunk->m_freeCount == 0) {
        m_allocChunk = m_deallocChunk;
    }
    last->Release();
    m_chunks.pop_back();
}

int FixedAllocator::IndexOf(const BlockPoolChunk* chunk) const {
    return chunk == nullptr ? -1 : int(chunk - m_chunks.data());
}

}  // namespace Ostrel
