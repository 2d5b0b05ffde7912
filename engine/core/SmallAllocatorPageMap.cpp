#include "engine/core/SmallAllocatorPageMap.h"

#include <cstdio>
#include <cstdlib>

namespace Ostrel::Private {

constinit std::atomic<PoolPageMid*> g_poolPageRoot[std::size_t(1) << kPoolRootBits] = {};

namespace {

// Zeroed memory from the general heap; running out is fatal, as for chunks.
void* NewZeroed(std::size_t bytes) {
    void* memory = std::calloc(1, bytes);
    if (memory == nullptr) {
        std::fprintf(stderr, "SmallAllocator: out of memory for the page map\n");
        std::abort();
    }
    return memory;
}

// Returns the node in slot, creating it when absent. Two threads may race to
// create it: the loser frees its copy and takes the winner's.
template <class Node>
Node* NodeIn(std::atomic<Node*>& slot) {
    Node* node = slot.load(std::memory_order_acquire);
    if (node != nullptr) {
        return node;
    }
    Node* fresh = static_cast<Node*>(NewZeroed(sizeof(Node)));
    if (slot.compare_exchange_strong(node, fresh, std::memory_order_acq_rel, std::memory_order_acquire)) {
        return fresh;
    }
    std::free(fresh);
    return node;
}

PoolPage& PageRecord(std::uintptr_t page) {
    const std::uintptr_t rootIndex = page >> (kPoolLeafBits + kPoolMidBits);
    if (rootIndex >= (std::uintptr_t(1) << kPoolRootBits)) {
        std::fprintf(stderr, "SmallAllocator: chunk address beyond 48 bits\n");
        std::abort();
    }
    PoolPageMid* mid = NodeIn(g_poolPageRoot[rootIndex]);
    PoolPageLeaf* leaf = NodeIn(mid->leaves[(page >> kPoolLeafBits) & ((1u << kPoolMidBits) - 1)]);
    return leaf->pages[page & ((1u << kPoolLeafBits) - 1)];
}

}  // namespace

void MapPoolPages(const void* data, std::size_t length, FixedAllocator* pool, u32 chunk) {
    const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(data) >> kPoolPageShift;
    const std::uintptr_t end = first + (PoolPagesLength(length) >> kPoolPageShift);
    for (std::uintptr_t page = first; page < end; ++page) {
        PoolPage& record = PageRecord(page);
        record.chunk.store(chunk, std::memory_order_relaxed);
        record.pool.store(pool, std::memory_order_release);
    }
}

}  // namespace Ostrel::Private
