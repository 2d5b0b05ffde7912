#pragma once
// The binders of member functions with 0 to 4 arguments. Each converts its
// arguments with Variant::As to the declared parameter types, last argument
// first (a conversion with a side effect, such as copying a text, runs for
// the last parameter first), then the object to a pointer to its class, then
// calls. A parameter's meta class is that of the parameter type without
// reference, const or pointer: Vec3, const Vec3& and Vec3* all answer Vec3.

#include "engine/core/MetaClass.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Variant.h"
#include "engine/core/VariantMethod.h"

#include <functional>
#include <type_traits>
#include <utility>

namespace Ostrel {

namespace Private {

template <class A>
using ArgValue = std::remove_cvref_t<A>;

template <class A>
using ArgBase = std::remove_cv_t<std::remove_pointer_t<std::remove_cvref_t<A>>>;

template <class... A>
MetaClass* ArgTypeAt(int index) {
    MetaClass* const types[] = {MetaClassOf<ArgBase<A>>()..., GetNilMetaClass()};
    return (index >= 0 && index < int(sizeof...(A))) ? types[index] : GetNilMetaClass();
}

template <class A>
ArgValue<A> ArgAt(const VariantList& arguments, std::size_t index) {
    return arguments[index].template As<ArgValue<A>>();
}

}  // namespace Private

// Shared part: the stored member pointer and the queries.
template <class C, class... A>
class VarMethBase : public VariantMethod {
public:
    using Method = void (C::*)(A...);

    explicit VarMethBase(Method method) : m_method(method) {}

    MetaClass* GetClass() const override { return MetaClassOrNil<C>(); }
    int GetArgCount() const override { return int(sizeof...(A)); }
    MetaClass* GetArgType(int index) const override { return Private::ArgTypeAt<A...>(index); }
    const void* GetMethodPtr() const override { return &m_method; }
    u32 GetMethodPtrSize() const override { return u32(sizeof(m_method)); }

protected:
    bool Ready(const VariantList& arguments) const {
        if (arguments.Size() >= sizeof...(A)) [[likely]] {
            return true;
        }
        return Private::HasArguments(arguments, int(sizeof...(A)), GetClass());
    }

    Method m_method;
};

template <class C>
class VarMeth_0_0 final : public VarMethBase<C> {
public:
    using VarMethBase<C>::VarMethBase;
    void Invoke(const Variant& object, const VariantList&, VariantList&) override {
        std::invoke(this->m_method, object.As<C*>());
    }
};

template <class C, class A0>
class VarMeth_0_1 final : public VarMethBase<C, A0> {
public:
    using VarMethBase<C, A0>::VarMethBase;
    void Invoke(const Variant& object, const VariantList& arguments, VariantList&) override {
        if (!this->Ready(arguments)) return;
        Private::ArgValue<A0> a0 = Private::ArgAt<A0>(arguments, 0);
        std::invoke(this->m_method, object.As<C*>(), std::forward<A0>(a0));
    }
};

template <class C, class A0, class A1>
class VarMeth_0_2 final : public VarMethBase<C, A0, A1> {
public:
    using VarMethBase<C, A0, A1>::VarMethBase;
    void Invoke(const Variant& object, const VariantList& arguments, VariantList&) override {
        if (!this->Ready(arguments)) return;
        Private::ArgValue<A1> a1 = Private::ArgAt<A1>(arguments, 1);
        Private::ArgValue<A0> a0 = Private::ArgAt<A0>(arguments, 0);
        std::invoke(this->m_method, object.As<C*>(), std::forward<A0>(a0), std::forward<A1>(a1));
    }
};

template <class C, class A0, class A1, class A2>
class VarMeth_0_3 final : public VarMethBase<C, A0, A1, A2> {
public:
    using VarMethBase<C, A0, A1, A2>::VarMethBase;
    void Invoke(const Variant& object, const VariantList& arguments, VariantList&) override {
        if (!this->Ready(arguments)) return;
        Private::ArgValue<A2> a2 = Private::ArgAt<A2>(arguments, 2);
        Private::ArgValue<A1> a1 = Private::ArgAt<A1>(arguments, 1);
        Private::ArgValue<A0> a0 = Private::ArgAt<A0>(arguments, 0);
        std::invoke(this->m_method, object.As<C*>(), std::forward<A0>(a0), std::forward<A1>(a1),
                                           std::forward<A2>(a2));
    }
};

template <class C, class A0, class A1, class A2, class A3>
class VarMeth_0_4 final : public VarMethBase<C, A0, A1, A2, A3> {
public:
    using VarMethBase<C, A0, A1, A2, A3>::VarMethBase;
    void Invoke(const Variant& object, const VariantList& arguments, VariantList&) override {
        if (!this->Ready(arguments)) return;
        Private::ArgValue<A3> a3 = Private::ArgAt<A3>(arguments, 3);
        Private::ArgValue<A2> a2 = Private::ArgAt<A2>(arguments, 2);
        Private::ArgValue<A1> a1 = Private::ArgAt<A1>(arguments, 1);
        Private::ArgValue<A0> a0 = Private::ArgAt<A0>(arguments, 0);
        std::invoke(this->m_method, object.As<C*>(), std::forward<A0>(a0), std::forward<A1>(a1),
                                           std::forward<A2>(a2), std::forward<A3>(a3));
    }
};

}  // namespace Ostrel
