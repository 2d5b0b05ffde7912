#pragma once
// Which pool, and which chunk of it, holds an address: a radix map over the
// address space in pages of 1 KiB. Every chunk of the small-object allocator
// starts on a page boundary and owns whole pages (BlockPoolChunk::Init), so a
// page belongs to at most one chunk and any address, including one the pool
// never gave out, is answered exactly in three loads, without searching.
//
// Threads: the owner of a pool maps and unmaps its chunks' pages; any thread
// may look an address up. A page's pool stays the same while a block of its
// chunk is alive, so a thread that holds a live block reads a stable answer.
// The chunk index may change under a reader (chunks move inside their pool's
// array), but only the pool's owner reads it. Interior nodes are created on
// demand, installed with a compare-and-swap, and never freed.

#include "engine/base/Types.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace Ostrel {

class FixedAllocator;

namespace Private {

constexpr unsigned kPoolPageShift = 10;
constexpr std::size_t kPoolPageSize = std::size_t(1) << kPoolPageShift;

// Bytes a chunk of length bytes takes: whole pages.
constexpr std::size_t PoolPagesLength(std::size_t length) {
    return (length + kPoolPageSize - 1) & ~(kPoolPageSize - 1);
}

struct PoolPage {
    std::atomic<FixedAllocator*> pool{nullptr};
    std::atomic<u32> chunk{0};
};

// 48-bit addresses: 14 bits of root, 12 of middle, 12 of leaf, 10 in a page.
constexpr unsigned kPoolLeafBits = 12;
constexpr unsigned kPoolMidBits = 12;
constexpr unsigned kPoolRootBits = 14;

struct PoolPageLeaf {
    PoolPage pages[std::size_t(1) << kPoolLeafBits];
};
struct PoolPageMid {
    std::atomic<PoolPageLeaf*> leaves[std::size_t(1) << kPoolMidBits];
};

extern std::atomic<PoolPageMid*> g_poolPageRoot[std::size_t(1) << kPoolRootBits];

// The page record of address, or nullptr when no chunk ever mapped a page
// near it. A record whose pool is null belongs to no chunk now.
inline PoolPage* FindPoolPage(const void* address) {
    const std::uintptr_t page = reinterpret_cast<std::uintptr_t>(address) >> kPoolPageShift;
    const std::uintptr_t rootIndex = page >> (kPoolLeafBits + kPoolMidBits);
    if (rootIndex >= (std::uintptr_t(1) << kPoolRootBits)) {
        return nullptr;
    }
    PoolPageMid* mid = g_poolPageRoot[rootIndex].load(std::memory_order_acquire);
    if (mid == nullptr) {
        return nullptr;
    }
    PoolPageLeaf* leaf =
        mid->leaves[(page >> kPoolLeafBits) & ((1u << kPoolMidBits) - 1)].load(std::memory_order_acquire);
    if (leaf == nullptr) {
        return nullptr;
    }
    return &leaf->pages[page & ((1u << kPoolLeafBits) - 1)];
}

// The pool that holds address now, or nullptr.
inline FixedAllocator* FindPoolOf(const void* address) {
    PoolPage* page = FindPoolPage(address);
    return page != nullptr ? page->pool.load(std::memory_order_acquire) : nullptr;
}

// Records the pages of [data, data + length) as chunk index of pool (or
// updates the index after the chunk moved); pool nullptr forgets them.
void MapPoolPages(const void* data, std::size_t length, FixedAllocator* pool, u32 chunk);

}  // namespace Private

}  // namespace Ostrel
