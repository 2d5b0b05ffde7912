#include "engine/core/Variant.h"

#include "engine/core/MetaClass.h"
#include "engine/core/SmallAllocator.h"

#include <atomic>
#include <utility>

namespace Ostrel {

namespace {
void AddRef(s32* count) {
    std::atomic_ref<s32>(*count).fetch_add(1, std::memory_order_relaxed);
}
// True when this was the last reference.
bool DropRef(s32* count) {
    return std::atomic_ref<s32>(*count).fetch_sub(1, std::memory_order_acq_rel) - 1 <= 0;
}
}  // namespace

Variant::Variant() : m_type(GetNilMetaClass()) {}

Variant::Variant(const char* text) : m_owned(true), m_count(RefCountNew(1)), m_type(MetaClassOf<std::string>()) {
    m_data = m_type->New();
    *static_cast<std::string*>(m_data) = text != nullptr ? text : "";
}

Variant::Variant(const Variant& other) : SmallObject(other) {
    CopyFrom(other);
}

Variant& Variant::operator=(const Variant& other) {
    // Self-assignment would release the value before copying it.
    if (this != &other) {
        Release();
        CopyFrom(other);
    }
    return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept {
    if (this != &other) {
        Release();
        m_data = std::exchange(other.m_data, nullptr);
        m_owned = other.m_owned;
        m_count = std::exchange(other.m_count, nullptr);
        m_type = other.m_type;
    }
    return *this;
}

void Variant::CopyFrom(const Variant& other) {
    m_data = other.m_data;
    m_owned = other.m_owned;
    m_count = other.m_count;
    m_type = other.m_type;
    if (m_owned && m_count != nullptr) {
        AddRef(m_count);
    }
}

void Variant::SetOwnedCopy(MetaClass* type, const void* value) {
    // Copy first: value may be this variant's own value, which Release frees.
    void* copy = nullptr;
    type->NewCopy(copy, value);
    Release();
    m_owned = true;
    m_count = RefCountNew(1);
    m_type = type;
    m_data = copy;
}

void Variant::DropOwnership() {
    if (m_count != nullptr && DropRef(m_count)) {
        m_type->Delete(m_data);
        RefCountDelete(m_count);
    }
}

s32 Variant::GetRefCount() const {
    return m_count == nullptr ? 0 : std::atomic_ref<s32>(*m_count).load(std::memory_order_relaxed);
}

int Variant::ToInt() const {
    return m_data == nullptr ? 0 : m_type->ToInt(m_data);
}

double Variant::ToFloat() const {
    return m_data == nullptr ? 0.0 : m_type->ToFloat(m_data);
}

std::string Variant::ToString() const {
    std::string text;
    if (m_data != nullptr) {
        m_type->ToString(text, m_data);
    }
    return text;
}

}  // namespace Ostrel
