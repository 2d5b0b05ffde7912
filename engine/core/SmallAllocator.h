#pragma once
// The small-object allocator: the pool behind every Variant, every
// VariantFunction and the reference-count cell of every RefPtr. Requests up
// to the maximum object size (64 bytes for the process-wide instance) are
// served from one FixedAllocator per exact size; larger ones go to malloc.
// The caller gives Deallocate the size it gave Allocate.
//
// Loading threads create delegates and count cells too, so Allocate and
// Deallocate hold a spin lock; single-threaded, the bookkeeping is exactly the
// unsynchronised one (last-alloc and last-dealloc caches, chunk cursors).
//
// The process-wide instance is SmallAllocatorSingletonInst<4096, 64>, created
// on first use and destroyed last at exit (Lifetime.h). Blocks given back
// after that (by static objects destroyed later still) are ignored: their
// memory went back to malloc with their chunk.

#include "engine/base/Types.h"
#include "engine/core/FixedAllocator.h"
#include "engine/core/SpinLock.h"

#include <atomic>
#include <cstdlib>
#include <map>
#include <mutex>

namespace Ostrel {

class SmallAllocator {
public:
    SmallAllocator(u32 chunkSize, u32 maxObjectSize);
    virtual ~SmallAllocator();
    SmallAllocator(const SmallAllocator&) = delete;
    SmallAllocator& operator=(const SmallAllocator&) = delete;

    // At least size bytes; never nullptr (running out of memory is fatal).
    void* Allocate(u32 size) {
        if (size > m_maxObjectSize) {
            return AllocateLarge(size);
        }
        std::lock_guard<SpinLock> lock(m_lock);
        if (m_lastAlloc == nullptr || m_lastAlloc->GetBlockSize() != size) {
            FindAllocPool(size);
        }
        if (m_lastDealloc == nullptr) {
            m_lastDealloc = m_lastAlloc;
        }
        return m_lastAlloc->Allocate();
    }

    void Deallocate(void* block, u32 size) {
        if (block == nullptr) {
            return;
        }
        if (size > m_maxObjectSize) {
            std::free(block);
            return;
        }
        std::lock_guard<SpinLock> lock(m_lock);
        if (m_lastDealloc == nullptr || m_lastDealloc->GetBlockSize() != size) {
            FindDeallocPool(size);
        }
        if (m_lastDealloc != nullptr && m_lastDealloc->GetBlockSize() == size &&
            m_lastDealloc->Deallocate(block)) {
            return;
        }
        // No chunk of that size holds it: it came from the general heap.
        std::free(block);
    }

    u32 GetChunkSize() const { return m_chunkSize; }
    u32 GetMaxObjectSize() const { return m_maxObjectSize; }

    // The pool of one block size, or nullptr before its first allocation.
    // For tests and diagnostics; not synchronised with other threads.
    const FixedAllocator* FindFixedAllocator(u32 size) const;

private:
    static void* AllocateLarge(u32 size);
    // Points m_lastAlloc at the pool of size, creating it on first use.
    void FindAllocPool(u32 size);
    // Points m_lastDealloc at the pool of size when there is one.
    void FindDeallocPool(u32 size);

    std::map<u32, FixedAllocator> m_pool;
    FixedAllocator* m_lastAlloc = nullptr;
    FixedAllocator* m_lastDealloc = nullptr;
    u32 m_chunkSize;
    u32 m_maxObjectSize;
    SpinLock m_lock;
};

template <u32 ChunkSize, u32 MaxObjectSize>
class SmallAllocatorSingletonInst final : public SmallAllocator {
public:
    // The process-wide allocator, created on first use; nullptr only after
    // it was destroyed at exit.
    static SmallAllocator* Instance() {
        SmallAllocator* instance = s_instance.load(std::memory_order_acquire);
        if (instance != nullptr || s_destroyed.load(std::memory_order_relaxed)) {
            return instance;
        }
        return Create();
    }
    static SmallAllocator* Get() { return Instance(); }

    ~SmallAllocatorSingletonInst() override = default;

private:
    SmallAllocatorSingletonInst() : SmallAllocator(ChunkSize, MaxObjectSize) {}

    static SmallAllocator* Create();
    friend SmallAllocator;
    static void Destroy(SmallAllocatorSingletonInst* instance);

    static inline std::atomic<SmallAllocatorSingletonInst*> s_instance{nullptr};
    static inline std::atomic<bool> s_destroyed{false};
};

constexpr u32 kSmallChunkSize = 4096;
constexpr u32 kSmallMaxObjectSize = 64;
using DefaultSmallAllocator = SmallAllocatorSingletonInst<kSmallChunkSize, kSmallMaxObjectSize>;

// Allocates from / gives back to the process-wide allocator. Safe at exit:
// after the allocator is gone, Allocate falls back to malloc and Deallocate
// does nothing (the block went back to malloc with its chunk).
inline void* SmallAllocate(u32 size) {
    SmallAllocator* allocator = DefaultSmallAllocator::Instance();
    return allocator != nullptr ? allocator->Allocate(size) : std::malloc(size == 0 ? 1 : size);
}

inline void SmallDeallocate(void* block, u32 size) {
    if (SmallAllocator* allocator = DefaultSmallAllocator::Instance()) {
        allocator->Deallocate(block, size);
    }
}

// A 32-bit reference-count cell from the pool, holding initialCount.
s32* RefCountNew(s32 initialCount);
void RefCountDelete(s32* cell);

}  // namespace Ostrel
