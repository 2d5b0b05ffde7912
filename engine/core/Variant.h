#pragma once
// A type-erased value: a pointer to the value plus its MetaClass. Message
// arguments, reflected field values and delegate targets travel as variants.
//
// Ownership:
// - Non-owning (every typed constructor except the one from a C string): the
//   variant refers to a value that lives elsewhere (a sender's local, a
//   component) and is valid only as long as that value. Sending a message
//   copies no value.
// - Owning (from a C string, or SetOwnedCopy): the variant holds a heap value
//   made by its meta class; copies share it through a count cell and the last
//   one deletes it with the meta class. A receiver that keeps an argument
//   beyond the call keeps an owning copy.
//
// As<T>() reads the value without checking the type: senders and receivers
// must agree on argument types (VariantFunction::IsCompatible is the guard
// between listeners of one message). A pointer target type (As<Vec3*>)
// returns the stored address itself; a value type copies the stored value.
// Variants come from the small-object pool (40 bytes on 64-bit).

#include "engine/base/Types.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/SmallObject.h"

#include <cstddef>
#include <string>
#include <type_traits>
#include <utility>

namespace Ostrel {

class Variant;
class VariantList;

namespace Private {
template <class T>
constexpr bool kIsVariantValue =
    !std::is_same_v<std::remove_cv_t<T>, Variant> && !std::is_same_v<std::remove_cv_t<T>, VariantList> &&
    !std::is_same_v<std::remove_cv_t<T>, std::nullptr_t> && !std::is_array_v<T> && !std::is_pointer_v<T>;
}  // namespace Private

class Variant : public SmallObject {
public:
    // No value: nil type, null data.
    Variant();

    // Non-owning: refers to value, typed by MetaClassOf<T>().
    template <class T, class = std::enable_if_t<Private::kIsVariantValue<T>>>
    Variant(const T& value)
        : m_data(const_cast<T*>(&value)), m_type(MetaClassOf<std::remove_cv_t<T>>()) {}

    // Non-owning: refers to *object (a component, a Vec3 handed by pointer),
    // typed by the pointee's meta class; As<T*> gives the pointer back.
    template <class T, class = std::enable_if_t<!std::is_same_v<std::remove_cv_t<T>, char> &&
                                                !std::is_void_v<T>>>
    Variant(T* object)
        : m_data(const_cast<std::remove_cv_t<T>*>(object)), m_type(MetaClassOf<std::remove_cv_t<T>>()) {}

    // Non-owning with an explicit meta class (for example a component's own
    // class, known only at run time).
    Variant(void* data, MetaClass* type) : m_data(data), m_type(type) {}

    // Owning: a heap copy of text, typed "OstrelString".
    Variant(const char* text);

    Variant(const Variant& other);
    Variant(Variant&& other) noexcept
        : SmallObject(other),
          m_data(std::exchange(other.m_data, nullptr)),
          m_owned(other.m_owned),
          m_count(std::exchange(other.m_count, nullptr)),
          m_type(other.m_type) {}
    Variant& operator=(const Variant& other);
    Variant& operator=(Variant&& other) noexcept;
    ~Variant() override {
        if (m_owned) {
            DropOwnership();
        }
    }

    // Makes this variant own a new copy of value (made by type's NewCopy).
    void SetOwnedCopy(MetaClass* type, const void* value);

    // Lets go of the value (deleting it when this was the last owner); data
    // becomes null, the type stays.
    void Release() {
        if (m_owned) {
            DropOwnership();
        }
        m_data = nullptr;
        m_count = nullptr;
    }

    template <class T>
    T As() const {
        if constexpr (std::is_pointer_v<T>) {
            return static_cast<T>(m_data);
        } else {
            return *static_cast<const std::remove_cv_t<T>*>(m_data);
        }
    }

    void* GetData() const { return m_data; }
    MetaClass* GetType() const { return m_type; }
    bool IsOwned() const { return m_owned; }
    bool IsNull() const { return m_data == nullptr; }
    // Owners sharing the value (0 when not owning).
    s32 GetRefCount() const;

    // Conversions through the meta class (0, 0.0, "" without a value).
    int ToInt() const;
    double ToFloat() const;
    std::string ToString() const;

private:
    void CopyFrom(const Variant& other);
    // An owning variant lets go of its share; the last one deletes the value.
    void DropOwnership();

    void* m_data = nullptr;
    bool m_owned = false;
    s32* m_count = nullptr;
    MetaClass* m_type = nullptr;
};

}  // namespace Ostrel
