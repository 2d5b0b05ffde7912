#include "engine/core/SmallAllocator.h"

#include "engine/core/Lifetime.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <new>

namespace Ostrel {

SmallAllocator::SmallAllocator(u32 chunkSize, u32 maxObjectSize)
    : m_chunkSize(chunkSize), m_maxObjectSize(maxObjectSize) {}

SmallAllocator::~SmallAllocator() = default;

void* SmallAllocator::AllocateLarge(u32 size) {
    void* block = std::malloc(size);
    if (block == nullptr) {
        std::fprintf(stderr, "SmallAllocator: out of memory for %u bytes\n", size);
        std::abort();
    }
    return block;
}

void SmallAllocator::FindAllocPool(u32 size) {
    auto [it, inserted] = m_pool.try_emplace(size);
    if (inserted) {
        it->second.Init(size, m_chunkSize);
    }
    m_lastAlloc = &it->second;
}

void SmallAllocator::FindDeallocPool(u32 size) {
    auto it = m_pool.find(size);
    if (it != m_pool.end()) {
        m_lastDealloc = &it->second;
    }
}

const FixedAllocator* SmallAllocator::FindFixedAllocator(u32 size) const {
    auto it = m_pool.find(size);
    return it == m_pool.end() ? nullptr : &it->second;
}

template <u32 ChunkSize, u32 MaxObjectSize>
SmallAllocator* SmallAllocatorSingletonInst<ChunkSize, MaxObjectSize>::Create() {
    std::lock_guard<std::mutex> lock(Private::SingletonCreationMutex());
    SmallAllocatorSingletonInst* instance = s_instance.load(std::memory_order_relaxed);
    if (instance == nullptr && !s_destroyed.load(std::memory_order_relaxed)) {
        // The allocator itself comes from the general heap, never the pool.
        instance = new SmallAllocatorSingletonInst();
        s_instance.store(instance, std::memory_order_release);
        SetLongevity<SmallAllocatorSingletonInst>(instance, kLongevitySmallAllocator, &Destroy);
    }
    return instance;
}

template <u32 ChunkSize, u32 MaxObjectSize>
void SmallAllocatorSingletonInst<ChunkSize, MaxObjectSize>::Destroy(
    SmallAllocatorSingletonInst* instance) {
    s_destroyed.store(true, std::memory_order_relaxed);
    s_instance.store(nullptr, std::memory_order_release);
    delete instance;
}

template class SmallAllocatorSingletonInst<kSmallChunkSize, kSmallMaxObjectSize>;

s32* RefCountNew(s32 initialCount) {
    return new (SmallAllocate(sizeof(s32))) s32(initialCount);
}

void RefCountDelete(s32* cell) {
    SmallDeallocate(cell, sizeof(s32));
}

}  // namespace Ostrel
