#pragma once
// The small-object allocator: the pool behind every Variant, every
// VariantFunction and the reference-count cell of every RefPtr. Requests up
// to the maximum object size (64 bytes for the process-wide instance) are
// served from one FixedAllocator per exact size; larger ones go to malloc.
// The caller gives Deallocate the size it gave Allocate.
//
// Threads. A SmallAllocator belongs to one thread at a time and is not
// locked: its bookkeeping (last-alloc and last-dealloc caches, chunk cursors)
// is plain single-threaded code. SmallAllocate and SmallDeallocate pick the
// calling thread's own allocator: the process-wide instance for the thread
// that created it (the main thread, from the first static initialiser), a
// private one for any other thread (a loading thread), made on its first
// request. A block given back on a thread that does not own it is found
// through the page map and queued on its owner's remote-free list (one
// compare-and-swap); the owner takes the list back before its next
// allocation. When a thread ends, its allocator is deleted if it holds no
// live block, otherwise parked for the next new thread to take over, still
// receiving remote frees meanwhile.
//
// The process-wide instance is SmallAllocatorSingletonInst<4096, 64>, created
// on first use and destroyed last at exit (Lifetime.h). Blocks given back
// after that (by static objects destroyed later still) are ignored: their
// memory went back to malloc with their chunk.

#include "engine/base/Types.h"
#include "engine/core/FixedAllocator.h"
#include "engine/base/Types.h"

#include <atomic>
#include <cstdlib>
#include <map>

namespace Ostrel {

class SmallAllocator {
public:
    SmallAllocator(u32 chunkSize, u32 maxObjectSize);
    virtual ~SmallAllocator();
    SmallAllocator(const SmallAllocator&) = delete;
    SmallAllocator& operator=(const SmallAllocator&) = delete;

    // At least size bytes; never nullptr (running out of memory is fatal).
    // Owner thread only.
    void* Allocate(u32 size) {
        if (size > m_maxObjectSize) {
            return AllocateLarge(size);
        }
        if (m_remoteFrees.load(std::memory_order_relaxed) != nullptr) [[unlikely]] {
            TakeRemoteFrees();
        }
        if (m_lastAlloc == nullptr || m_lastAlloc->GetBlockSize() != size) {
            FindAllocPool(size);
        }
        if (m_lastDealloc == nullptr) {
            m_lastDealloc = m_lastAlloc;
        }
        return m_lastAlloc->Allocate();
    }

    // Owner thread only; a block of another allocator is handed to its owner.
    void Deallocate(void* block, u32 size) {
        if (block == nullptr) {
            return;
        }
        if (size > m_maxObjectSize) {
            std::free(block);
            return;
        }
        if (m_lastDealloc == nullptr || m_lastDealloc->GetBlockSize() != size) {
            FindDeallocPool(size);
        }
        if (m_lastDealloc != nullptr && m_lastDealloc->GetBlockSize() == size &&
            m_lastDealloc->Deallocate(block)) {
            return;
        }
        DeallocateElsewhere(block, size);
    }

    // Any thread: queues block (one of this allocator's) for its owner.
    void DeallocateRemote(void* block, u32 size);
    // Owner thread: gives back every block queued by other threads.
    void TakeRemoteFrees();

    u32 GetChunkSize() const { return m_chunkSize; }
    u32 GetMaxObjectSize() const { return m_maxObjectSize; }

    // The pool of one block size, or nullptr before its first allocation.
    // For tests and diagnostics; owner thread only.
    const FixedAllocator* FindFixedAllocator(u32 size) const;
    // True when no block of any pool is allocated (remote frees not yet
    // taken back count as allocated).
    bool IsUnused() const;

private:
    friend struct SmallAllocatorThreads;

    struct RemoteFree {
        RemoteFree* next;
        void* block;
        u32 size;
    };

    static void* AllocateLarge(u32 size);
    // Points m_lastAlloc at the pool of size, creating it on first use.
    void FindAllocPool(u32 size);
    // Points m_lastDealloc at the pool of size when there is one.
    void FindDeallocPool(u32 size);
    // No pool of this allocator holds block: another allocator's block goes
    // to its owner, anything else came from the general heap and is freed.
    void DeallocateElsewhere(void* block, u32 size);

    std::map<u32, FixedAllocator> m_pool;
    FixedAllocator* m_lastAlloc = nullptr;
    FixedAllocator* m_lastDealloc = nullptr;
    u32 m_chunkSize;
    u32 m_maxObjectSize;
    // Next parked allocator (guarded by the list's mutex).
    SmallAllocator* m_nextParked = nullptr;
    // Written by other threads: kept off the owner's cache line.
    alignas(64) std::atomic<RemoteFree*> m_remoteFrees{nullptr};
};

template <u32 ChunkSize, u32 MaxObjectSize>
class SmallAllocatorSingletonInst final : public SmallAllocator {
public:
    // The process-wide allocator, created on first use; nullptr only after
    // it was destroyed at exit. The thread that creates it owns it.
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

namespace Private {
// The calling thread's allocator; null until its first request, and again
// once the thread is ending or the process-wide allocator is gone.
inline constinit thread_local SmallAllocator* t_smallAllocator = nullptr;

void* SmallAllocateUnattached(u32 size);
void SmallDeallocateUnattached(void* block, u32 size);
}  // namespace Private

// Allocates from / gives back to the calling thread's allocator. Safe at
// exit: after the process-wide allocator is gone, SmallAllocate falls back to
// malloc and SmallDeallocate does nothing (the block went back to malloc with
// its chunk). A request for 0 bytes is served as 1 byte (the pools divide
// by the block size); give it back with the same size 0.
inline void* SmallAllocate(u32 size) {
    size += (size == 0);
    if (SmallAllocator* allocator = Private::t_smallAllocator) [[likely]] {
        return allocator->Allocate(size);
    }
    return Private::SmallAllocateUnattached(size);
}

inline void SmallDeallocate(void* block, u32 size) {
    size += (size == 0);
    if (SmallAllocator* allocator = Private::t_smallAllocator) [[likely]] {
        allocator->Deallocate(block, size);
        return;
    }
    Private::SmallDeallocateUnattached(block, size);
}

// A 32-bit reference-count cell from the pool, holding initialCount.
s32* RefCountNew(s32 initialCount);
void RefCountDelete(s32* cell);

}  // namespace Ostrel
