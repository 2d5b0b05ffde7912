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

void* SmallAllocator::Allocate(u32 size) {
    if (size > m_maxObjectSize) {
        void* block = std::malloc(size);
        if (block == nullptr) {
            std::fprintf(stderr, "SmallAllocator: out of memory for %u bytes\n", size);
            std::abort();
        }
        return block;
    }
    std::lock_guard<SpinLock> lock(m_lock);
    // A block size of 0 would divide by zero; an empty request gets one byte.
    return AllocatePooled(size == 0 ? 1 : size);
}

void* SmallAllocator::AllocatePooled(u32 size) {
    if (m_lastAlloc == nullptr || m_lastAlloc->GetBlockSize() != size) {
        auto [it, inserted] = m_pool.try_emplace(size);
        if (inserted) {
            it->second.Init(size, m_chunkSize);
        }
        m_lastAlloc = &it->second;
    }
    if (m_lastDealloc == nullptr) {
        m_lastDealloc = m_lastAlloc;
    }
    return m_lastAlloc->Allocate();
}

void SmallAllocator::Deallocate(void* block, u32 size) {
    if (block == nullptr) {
        return;
    }
    if (size > m_maxObjectSize) {
        std::free(block);
        return;
    }
    std::lock_guard<SpinLock> lock(m_lock);
    DeallocatePooled(block, size == 0 ? 1 : size);
}

void SmallAllocator::DeallocatePooled(void* block, u32 size) {
    if (m_lastDealloc == nullptr || m_lastDealloc->GetBlockSize() != size) {
        auto it = m_pool.find(size);
        if (it != m_pool.end()) {
            m_lastDealloc = &it->second;
        }
    }
    if (m_lastDealloc != nullptr && m_lastDealloc->GetBlockSize() == size &&
        m_lastDealloc->Deallocate(block)) {
        return;
    }
    // No chunk of that size holds it: it came from the general heap.
    std::free(block);
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

void* SmallAllocate(u32 size) {
    SmallAllocator* allocator = DefaultSmallAllocator::Instance();
    if (allocator == nullptr) {
        // Exit-time only; never given back (see SmallDeallocate).
        return std::malloc(size == 0 ? 1 : size);
    }
    return allocator->Allocate(size);
}

void SmallDeallocate(void* block, u32 size) {
    SmallAllocator* allocator = DefaultSmallAllocator::Instance();
    if (allocator != nullptr) {
        allocator->Deallocate(block, size);
    }
}

s32* RefCountNew(s32 initialCount) {
    return new (SmallAllocate(sizeof(s32))) s32(initialCount);
}

void RefCountDelete(s32* cell) {
    SmallDeallocate(cell, sizeof(s32));
}

}  // namespace Ostrel
