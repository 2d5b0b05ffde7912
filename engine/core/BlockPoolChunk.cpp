#include "engine/core/BlockPoolChunk.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace Ostrel {

void BlockPoolChunk::Init(u32 blockSize, u8 blocks) {
    m_data = static_cast<u8*>(std::malloc(std::size_t(blockSize) * blocks));
    if (m_data == nullptr) {
        std::fprintf(stderr, "SmallAllocator: out of memory for a chunk of %u blocks of %u bytes\n",
                     unsigned(blocks), blockSize);
        std::abort();
    }
    m_freeCount = blocks;
    m_firstFree = 0;
    // The last block's link byte is never read: the free count guards it.
    for (u32 i = 1; i < blocks; ++i) {
        m_data[(i - 1) * blockSize] = u8(i);
    }
}

void* BlockPoolChunk::Allocate(u32 blockSize) {
    if (m_freeCount == 0) {
        return nullptr;
    }
    u8* block = m_data + std::size_t(m_firstFree) * blockSize;
    m_firstFree = *block;
    --m_freeCount;
    return block;
}

void BlockPoolChunk::Deallocate(void* block, u32 blockSize) {
    u8* bytes = static_cast<u8*>(block);
    *bytes = m_firstFree;
    m_firstFree = u8((bytes - m_data) / blockSize);
    ++m_freeCount;
}

void BlockPoolChunk::Release() {
    std::free(m_data);
    m_data = nullptr;
    m_firstFree = 0;
    m_freeCount = 0;
}

bool BlockPoolChunk::HasBlock(const void* block, u32 chunkLength) const {
    // Compared as integers: the pointer may come from any other allocation.
    const auto address = reinterpret_cast<std::uintptr_t>(block);
    const auto begin = reinterpret_cast<std::uintptr_t>(m_data);
    return begin <= address && address < begin + chunkLength;
}

}  // namespace Ostrel
