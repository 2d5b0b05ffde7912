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

#include "engine/core/FixedAllocator.h"
#include "engine/core/SpinLock.h"
#include "engine/core/Types.h"

#include <atomic>
#include <map>

namespace Ostrel {

class SmallAllocator {
public:
    SmallAllocator(u32 chunkSize, u32 maxObjectSize);
    virtual ~SmallAllocator();
    SmallAllocator(const SmallAllocator&) = delete;
    SmallAllocator& operator=(const SmallAllocator&) = delete;

    // At least size bytes; never nullptr (running out of memory is fatal).
    void* Allocate(u32 size);
    void Deallocate(void* block, u32 size);

    u32 GetChunkSize() const { return m_chunkSize; }
    u32 GetMaxObjectSize() const { return m_maxObjectSize; }

    // The pool of one block size, or nullptr before its first allocation.
    // For tests and diagnostics; not synchronised with other threads.
    const FixedAllocator* FindFixedAllocator(u32 size) const;

private:
    void* AllocatePooled(u32 size);
    void DeallocatePooled(void* block, u32 size);

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
    static void Destroy(SmallAllocatorSingletonInst* instance);

    static inline std::atomic<SmallAllocatorSingletonInst*> s_instance{nullptr};
    static inline std::atomic<bool> s_destroyed{false};
};

constexpr u32 kSmallChunkSize = 4096;
constexpr u32 kSmallMaxObjectSize = 64;
using DefaultSmallAllocator = SmallAllocatorSingletonInst<kSmallChunkSize, kSmallMaxObjectSize>;

// Allocates from / gives back to the process-wide allocator. Safe at exit:
// after the allocator is gone, Allocate falls back to malloc and Deallocate
// does nothing.
void* SmallAllocate(u32 size);
void SmallDeallocate(void* block, u32 size);

// A 32-bit reference-count cell from the pool, holding initialCount.
s32* RefCountNew(s32 initialCount);
void RefCountDelete(s32* cell);

}  // namespace Ostrel
