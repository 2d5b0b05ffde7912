#include "engine/core/HandleTable.h"

#include <algorithm>

namespace Ostrel {

HandleTable::HandleTable(u32 capacity)
    : m_slots(new std::atomic<void*>[kMaxSlots]),
      m_generations(new std::atomic<u32>[kMaxSlots]),
      m_inUse(kMaxSlots, 0) {
    capacity = std::clamp<u32>(capacity, 1, kMaxSlots);
    for (u32 i = 0; i < kMaxSlots; ++i) {
        m_slots[i].store(nullptr, std::memory_order_relaxed);
        m_generations[i].store(0, std::memory_order_relaxed);
    }
    m_freeList.reserve(kMaxSlots);
    for (u32 i = 0; i < capacity; ++i) m_freeList.push_back(i);
    m_capacity.store(capacity, std::memory_order_release);
}

bool HandleTable::Grow() {
    const u32 oldCapacity = GetCapacity();
    if (oldCapacity >= kMaxSlots) return false;
    const u32 newCapacity = std::min<u32>(oldCapacity * 2, kMaxSlots);
    for (u32 slot = oldCapacity; slot < newCapacity; ++slot) m_freeList.push_back(slot);
    m_capacity.store(newCapacity, std::memory_order_release);
    return true;
}

u32 HandleTable::TakeFreeSlot() {
    const u32 slot = m_freeList.front();
    m_freeList.front() = m_freeList.back();
    m_freeList.pop_back();
    return slot;
}

u32 HandleTable::Add(void* pointer) {
    if (m_freeList.empty() && !Grow()) return 0;
    const u32 slot = TakeFreeSlot();
    u32 generation = m_generations[slot].load(std::memory_order_relaxed) + 1;
    if (generation > kMaxGeneration) generation = 1;
    m_slots[slot].store(pointer, std::memory_order_release);
    m_generations[slot].store(generation, std::memory_order_release);
    m_inUse[slot] = 1;
    ++m_count;
    return (slot << 16) | generation;
}

bool HandleTable::Find(u32 handle, void*& out) const {
    const u32 generation = GenerationOf(handle);
    const u32 slot = SlotOf(handle);
    if (generation == 0 || slot >= GetCapacity()) return false;
    if (m_generations[slot].load(std::memory_order_acquire) != generation) return false;
    out = m_slots[slot].load(std::memory_order_acquire);
    return true;
}

void* HandleTable::Release(u32 handle, void* value) {
    void* old = nullptr;
    if (!Find(handle, old)) return nullptr;
    const u32 slot = SlotOf(handle);
    if (!m_inUse[slot]) return nullptr;
    m_slots[slot].store(value, std::memory_order_release);
    m_inUse[slot] = 0;
    m_freeList.push_back(slot);
    --m_count;
    return old;
}

void HandleTable::Reset(void* value) {
    const u32 capacity = GetCapacity();
    m_freeList.clear();
    for (u32 slot = 0; slot < capacity; ++slot) {
        m_slots[slot].store(value, std::memory_order_release);
        m_inUse[slot] = 0;
        m_freeList.push_back(slot);
    }
    m_count = 0;
}

}  // namespace Ostrel
