#pragma once
// A shared handle with an external reference count: the handle through which
// delegates (VariantFunction), binders (VariantMethod) and field objects
// (VariantField) are held. The count cell comes from the small-object
// allocator and is made for every handle built from a raw pointer, including
// a null one. When the last handle lets go, the object is deleted through its
// own virtual destructor (so a SmallObject goes back to the pool with its
// exact size) and the cell is given back.
//
// The count is changed atomically, so handles to one object may be copied and
// dropped on different threads; the object itself is not synchronised.

#include "engine/base/Types.h"
#include "engine/core/SmallAllocator.h"

#include <atomic>
#include <type_traits>
#include <utility>

namespace Ostrel {

template <class T>
class RefPtr {
public:
    // Takes ownership of object (may be null); always allocates a count cell.
    explicit RefPtr(T* object = nullptr) : m_object(object), m_count(RefCountNew(1)) {}

    RefPtr(const RefPtr& other) : m_object(other.m_object), m_count(other.m_count) { AddRef(); }

    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    RefPtr(const RefPtr<U>& other) : m_object(other.m_object), m_count(other.m_count) {
        AddRef();
    }

    RefPtr(RefPtr&& other) noexcept : m_object(other.m_object), m_count(other.m_count) {
        other.m_object = nullptr;
        other.m_count = nullptr;
    }

    ~RefPtr() { Release(); }

    RefPtr& operator=(const RefPtr& other) {
        if (m_count != other.m_count) {
            RefPtr copy(other);
            Swap(copy);
        }
        return *this;
    }

    RefPtr& operator=(RefPtr&& other) noexcept {
        if (this != &other) {
            Release();
            m_object = std::exchange(other.m_object, nullptr);
            m_count = std::exchange(other.m_count, nullptr);
        }
        return *this;
    }

    // Drops this handle: deletes the object and the cell when it was the last.
    void Release() {
        if (m_count != nullptr &&
            std::atomic_ref<s32>(*m_count).fetch_sub(1, std::memory_order_acq_rel) - 1 <= 0) {
            delete m_object;
            RefCountDelete(m_count);
        }
        m_object = nullptr;
        m_count = nullptr;
    }

    void Swap(RefPtr& other) noexcept {
        std::swap(m_object, other.m_object);
        std::swap(m_count, other.m_count);
    }

    T* Get() const { return m_object; }
    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    bool IsNull() const { return m_object == nullptr; }

    // Handles sharing the object (0 for a released handle).
    s32 GetRefCount() const {
        return m_count == nullptr ? 0 : std::atomic_ref<s32>(*m_count).load(std::memory_order_relaxed);
    }

    template <class U>
    bool operator==(const RefPtr<U>& other) const {
        return m_object == other.Get();
    }

private:
    template <class U>
    friend class RefPtr;

    void AddRef() {
        if (m_count != nullptr) {
            std::atomic_ref<s32>(*m_count).fetch_add(1, std::memory_order_relaxed);
        }
    }

    T* m_object;
    s32* m_count;
};

}  // namespace Ostrel
