#include "engine/core/BlockPoolChunk.h"

#include "engine/core/SmallAllocatorPageMap.h"

#include <cstdio>
#include <cstdlib>

namespace Ostrel {

void BlockPoolChunk::Init(u32 blockSize, u8 blocks) {
    // Whole pages of the page map, so that the map answers for every block
    // of this chunk and for no other allocation.
    const std::size_t length = Private::PoolPagesLength(std::size_t(blockSize) * blocks);
    m_data = static_cast<u8*>(std::aligned_alloc(Private::kPoolPageSize, length));
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

void BlockPoolChunk::Release() {
    std::free(m_data);
    m_data = nullptr;
    m_firstFree = 0;
    m_freeCount = 0;
}

}  // namespace Ostrel
