#pragma once
// Slot table behind object ids and component handles. A handle is
// (slot << 16) | generation, with generations 1..65535, so 0 is never valid and
// a stale handle (its slot reused since) is recognised by its generation.
//
// Free slots are kept in a list used as "take the front, move the back into
// the front": a fresh table of 10 hands out slots 0, 9, 8, ..., 1; a released
// slot goes to the back. When no slot is free the logical capacity doubles,
// up to the 65,536 slots the handle format can address; past that Add
// refuses (returns 0) instead of handing out handles that alias lower slots.
//
// Threads: only the main thread changes a table. Other threads (level-load
// jobs) may call Find while the main thread adds and releases: the slot and
// generation storage is allocated once for all 65,536 slots, so growing never
// moves it, and its cells are atomics.

#include "engine/base/Types.h"

#include <atomic>
#include <memory>
#include <vector>

namespace Ostrel {

class HandleTable {
public:
    static constexpr u32 kMaxSlots = 65536;
    static constexpr u32 kMaxGeneration = 65535;

    explicit HandleTable(u32 capacity);

    HandleTable(const HandleTable&) = delete;
    HandleTable& operator=(const HandleTable&) = delete;

    // Stores the pointer in a free slot and returns its new handle; 0 when
    // the table is at its 65,536-slot limit (nothing changes then).
    u32 Add(void* pointer);

    // True when the handle's generation is not 0, its slot exists and the
    // slot's generation equals it. out is then the slot's content: null for a
    // slot released and not yet reused.
    bool Find(u32 handle, void*& out) const;

    // Puts value (callers give null) into the handle's slot, returns the slot's
    // old content and sends the slot to the back of the free list. The
    // generation is kept. A handle that Find rejects, or whose slot is already
    // free, changes nothing and returns null (a second release would put the
    // slot twice into the free list and hand it to two owners).
    void* Release(u32 handle, void* value);

    // Every slot gets value, the free list becomes 0..capacity-1 ascending and
    // the count 0; generations and capacity stay, so later handles differ
    // from the earlier ones.
    void Reset(void* value);

    u32 GetCount() const { return m_count; }
    u32 GetCapacity() const { return m_capacity.load(std::memory_order_acquire); }

    static u32 SlotOf(u32 handle) { return handle >> 16; }
    static u32 GenerationOf(u32 handle) { return handle & 0xFFFFu; }

private:
    bool Grow();
    u32 TakeFreeSlot();

    std::unique_ptr<std::atomic<void*>[]> m_slots;
    std::unique_ptr<std::atomic<u32>[]> m_generations;
    std::vector<u8> m_inUse;
    std::vector<u32> m_freeList;
    u32 m_count = 0;
    std::atomic<u32> m_capacity{0};
};

}  // namespace Ostrel
