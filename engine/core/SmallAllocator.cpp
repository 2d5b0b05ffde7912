#include "engine/core/SmallAllocator.h"

#include "engine/core/Lifetime.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <new>

namespace Ostrel {

namespace {
[[noreturn]] void OutOfMemory(u32 size) {
    std::fprintf(stderr, "SmallAllocator: out of memory for %u bytes\n", size);
    std::abort();
}
}  // namespace

SmallAllocator::SmallAllocator(u32 chunkSize, u32 maxObjectSize)
    : m_chunkSize(chunkSize), m_maxObjectSize(maxObjectSize) {}

SmallAllocator::~SmallAllocator() {
    // Queued blocks belong to chunks that go now; only the records are freed.
    RemoteFree* item = m_remoteFrees.exchange(nullptr, std::memory_order_acquire);
    while (item != nullptr) {
        RemoteFree* next = item->next;
        std::free(item);
        item = next;
    }
}

void* SmallAllocator::AllocateLarge(u32 size) {
    void* block = std::malloc(size);
    if (block == nullptr) {
        OutOfMemory(size);
    }
    return block;
}

void SmallAllocator::FindAllocPool(u32 size) {
    auto [it, inserted] = m_pool.try_emplace(size);
    if (inserted) {
        it->second.Init(size, m_chunkSize);
        it->second.SetOwner(this);
    }
    m_lastAlloc = &it->second;
}

void SmallAllocator::FindDeallocPool(u32 size) {
    auto it = m_pool.find(size);
    if (it != m_pool.end()) {
        m_lastDealloc = &it->second;
    }
}

void SmallAllocator::DeallocateElsewhere(void* block, u32 size) {
    const FixedAllocator* pool = Private::FindPoolOf(block);
    SmallAllocator* owner = pool != nullptr ? pool->GetOwner() : nullptr;
    if (owner != nullptr && owner != this) {
        owner->DeallocateRemote(block, size);
        return;
    }
    std::free(block);
}

void SmallAllocator::DeallocateRemote(void* block, u32 size) {
    // A record of its own: a block may be too small to hold the link.
    auto* item = static_cast<RemoteFree*>(std::malloc(sizeof(RemoteFree)));
    if (item == nullptr) {
        OutOfMemory(u32(sizeof(RemoteFree)));
    }
    item->block = block;
    item->size = size;
    item->next = m_remoteFrees.load(std::memory_order_relaxed);
    while (!m_remoteFrees.compare_exchange_weak(item->next, item, std::memory_order_release,
                                                std::memory_order_relaxed)) {
    }
}

void SmallAllocator::TakeRemoteFrees() {
    RemoteFree* item = m_remoteFrees.exchange(nullptr, std::memory_order_acquire);
    while (item != nullptr) {
        RemoteFree* next = item->next;
        Deallocate(item->block, item->size);
        std::free(item);
        item = next;
    }
}

const FixedAllocator* SmallAllocator::FindFixedAllocator(u32 size) const {
    auto it = m_pool.find(size);
    return it == m_pool.end() ? nullptr : &it->second;
}

bool SmallAllocator::IsUnused() const {
    for (const auto& [size, pool] : m_pool) {
        if (!pool.IsUnused()) {
            return false;
        }
    }
    return true;
}

// Allocators of the threads other than the process-wide allocator's owner.
struct SmallAllocatorThreads {
    // Allocators whose thread ended while some of their blocks lived on,
    // linked through m_nextParked.
    static inline constinit std::mutex s_parkedMutex{};
    static inline constinit SmallAllocator* s_parked = nullptr;
    // The thread ended: its allocator is gone or parked, and the thread's
    // last frees travel as remote ones.
    static inline constinit thread_local bool t_ended = false;

    static SmallAllocator* TakeParked() {
        std::lock_guard<std::mutex> lock(s_parkedMutex);
        SmallAllocator* allocator = s_parked;
        if (allocator != nullptr) {
            s_parked = allocator->m_nextParked;
            allocator->m_nextParked = nullptr;
        }
        return allocator;
    }

    static void Park(SmallAllocator* allocator) {
        std::lock_guard<std::mutex> lock(s_parkedMutex);
        allocator->m_nextParked = s_parked;
        s_parked = allocator;
    }

    // At exit, with the process-wide allocator: nobody owns these any more.
    static void DeleteParked() {
        std::lock_guard<std::mutex> lock(s_parkedMutex);
        while (s_parked != nullptr) {
            SmallAllocator* allocator = s_parked;
            s_parked = allocator->m_nextParked;
            delete allocator;
        }
    }

    // Runs when a thread that had an allocator of its own ends.
    struct Detacher {
        bool attached = false;
        ~Detacher() {
            SmallAllocator* allocator = Private::t_smallAllocator;
            Private::t_smallAllocator = nullptr;
            t_ended = true;
            if (!attached || allocator == nullptr) {
                return;
            }
            allocator->TakeRemoteFrees();
            if (allocator->IsUnused()) {
                // No live block: nobody can hand one back any more.
                delete allocator;
            } else {
                Park(allocator);
            }
        }
    };
    static Detacher& ThreadDetacher();

    // The calling thread's allocator, set up on its first request; nullptr
    // when the thread is ending or the process-wide allocator is gone.
    static SmallAllocator* Attach() {
        if (t_ended) {
            return nullptr;
        }
        SmallAllocator* process = DefaultSmallAllocator::Instance();
        if (process == nullptr) {
            return nullptr;
        }
        if (Private::t_smallAllocator != nullptr) {
            return Private::t_smallAllocator;  // this thread created the process-wide one
        }
        SmallAllocator* own = TakeParked();
        if (own == nullptr) {
            own = new SmallAllocator(process->GetChunkSize(), process->GetMaxObjectSize());
        }
        own->TakeRemoteFrees();
        Private::t_smallAllocator = own;
        ThreadDetacher().attached = true;  // first use registers its destructor
        return own;
    }
};

SmallAllocatorThreads::Detacher& SmallAllocatorThreads::ThreadDetacher() {
    static thread_local Detacher detacher;
    return detacher;
}

namespace Private {

void* SmallAllocateUnattached(u32 size) {
    if (SmallAllocator* allocator = SmallAllocatorThreads::Attach()) {
        return allocator->Allocate(size);
    }
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        OutOfMemory(size);
    }
    return block;
}

void SmallDeallocateUnattached(void* block, u32 size) {
    if (block == nullptr) {
        return;
    }
    if (SmallAllocator* allocator = SmallAllocatorThreads::Attach()) {
        allocator->Deallocate(block, size);
        return;
    }
    if (!SmallAllocatorThreads::t_ended || DefaultSmallAllocator::Instance() == nullptr) {
        return;  // after exit: the block's chunk is gone already
    }
    // An ending thread: the block goes to whichever allocator holds it.
    const FixedAllocator* pool = size <= kSmallMaxObjectSize ? FindPoolOf(block) : nullptr;
    if (SmallAllocator* owner = pool != nullptr ? pool->GetOwner() : nullptr) {
        owner->DeallocateRemote(block, size);
    } else {
        std::free(block);
    }
}

}  // namespace Private

template <u32 ChunkSize, u32 MaxObjectSize>
SmallAllocator* SmallAllocatorSingletonInst<ChunkSize, MaxObjectSize>::Create() {
    std::lock_guard<std::mutex> lock(Private::SingletonCreationMutex());
    SmallAllocatorSingletonInst* instance = s_instance.load(std::memory_order_relaxed);
    if (instance == nullptr && !s_destroyed.load(std::memory_order_relaxed)) {
        // The allocator itself comes from the general heap, never the pool.
        instance = new SmallAllocatorSingletonInst();
        s_instance.store(instance, std::memory_order_release);
        SetLongevity<SmallAllocatorSingletonInst>(instance, kLongevitySmallAllocator, &Destroy);
        if (Private::t_smallAllocator == nullptr) {
            Private::t_smallAllocator = instance;
        }
    }
    return instance;
}

template <u32 ChunkSize, u32 MaxObjectSize>
void SmallAllocatorSingletonInst<ChunkSize, MaxObjectSize>::Destroy(
    SmallAllocatorSingletonInst* instance) {
    s_destroyed.store(true, std::memory_order_relaxed);
    s_instance.store(nullptr, std::memory_order_release);
    if (Private::t_smallAllocator == instance) {
        Private::t_smallAllocator = nullptr;
    }
    delete instance;
    SmallAllocatorThreads::DeleteParked();
}

template class SmallAllocatorSingletonInst<kSmallChunkSize, kSmallMaxObjectSize>;

s32* RefCountNew(s32 initialCount) {
    return new (SmallAllocate(sizeof(s32))) s32(initialCount);
}

void RefCountDelete(s32* cell) {
    SmallDeallocate(cell, sizeof(s32));
}

}  // namespace Ostrel
