#pragma once
// A reflected field: reads and writes one value of an object through a pair
// of member functions. VariantFieldSetGetSingle<C, V> uses a setter taking the
// value (by const reference or by value) and a getter that either fills a
// reference or returns the value. Get hands the value out as an owning copy.
// Made by VariantFieldBinderInst (MakeField), held through RefPtr.

#include "engine/core/Lifetime.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/RefPtr.h"
#include "engine/core/Variant.h"

#include <type_traits>

namespace Ostrel {

class MetaClass;

class VariantField {
public:
    // Writes value (read as the field's type) into object.
    virtual void Set(const Variant& object, const Variant& value) = 0;
    // Makes out an owning copy of the field's current value.
    virtual void Get(const Variant& object, Variant& out) = 0;
    virtual MetaClass* GetClass() const = 0;
    virtual MetaClass* GetType() const = 0;
    virtual ~VariantField() = default;
};

template <class C, class V, class Setter, class Getter>
class VariantFieldSetGetSingle final : public VariantField {
public:
    VariantFieldSetGetSingle(Setter setter, Getter getter) : m_setter(setter), m_getter(getter) {}

    void Set(const Variant& object, const Variant& value) override {
        const V newValue = value.As<V>();
        (object.As<C*>()->*m_setter)(newValue);
    }

    void Get(const Variant& object, Variant& out) override {
        C* target = object.As<C*>();
        V current{};
        if constexpr (std::is_invocable_v<Getter, C*, V&>) {
            (target->*m_getter)(current);
        } else {
            current = (target->*m_getter)();
        }
        out.SetOwnedCopy(GetType(), &current);
    }

    MetaClass* GetClass() const override { return MetaClassOrNil<C>(); }
    MetaClass* GetType() const override { return MetaClassOf<V>(); }

private:
    Setter m_setter;
    Getter m_getter;
};

class VariantFieldBinderInst {
public:
    static VariantFieldBinderInst& Instance() {
        return LongLivedSingleton<VariantFieldBinderInst, kLongevityFieldBinder>::Instance();
    }

    // V is the setter's parameter type without reference and const.
    template <class C, class P, class Getter>
    RefPtr<VariantField> Bind(void (C::*setter)(P), Getter getter) const {
        using V = std::remove_cvref_t<P>;
        using Field = VariantFieldSetGetSingle<C, V, void (C::*)(P), Getter>;
        return RefPtr<VariantField>(new Field(setter, getter));
    }

private:
    friend class LongLivedSingleton<VariantFieldBinderInst, kLongevityFieldBinder>;
    VariantFieldBinderInst() = default;
};

// Shorthand for registration functions: meta.AddField("x", MakeField(&Vec3::SetX, &Vec3::GetX)).
template <class C, class P, class Getter>
RefPtr<VariantField> MakeField(void (C::*setter)(P), Getter getter) {
    return VariantFieldBinderInst::Instance().Bind(setter, getter);
}

}  // namespace Ostrel
