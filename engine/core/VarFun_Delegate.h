#pragma once
// A delegate: a target object (non-owning Variant) plus a binder of one of
// its member functions. MakeDelegate(this, &Foo::OnX) is the one way
// listeners are made. The delegate does not keep its target alive: a target
// unsubscribes its delegates before it is destroyed.

#include "engine/core/MetaClassOf.h"
#include "engine/core/RefPtr.h"
#include "engine/core/Variant.h"
#include "engine/core/VariantFunction.h"
#include "engine/core/VariantMethod.h"
#include "engine/core/VariantMethodBinderInst.h"

#include <type_traits>

namespace Ostrel {

class VarFun_Delegate final : public VariantFunction {
public:
    VarFun_Delegate(const Variant& object, const RefPtr<VariantMethod>& method)
        : m_object(object), m_method(method) {}

    void Invoke(const VariantList& arguments, VariantList& returns) override {
        m_method->Invoke(m_object, arguments, returns);
    }
    int GetArgCount() const override { return m_method->GetArgCount(); }
    MetaClass* GetArgType(int index) const override { return m_method->GetArgType(index); }
    bool IsConst() const override { return m_method->IsConst(); }
    MetaClass* GetReturnType() const override { return m_method->GetReturnType(); }
    const void* GetObjectData() const override { return m_object.GetData(); }
    const void* GetMethodPtr() const override { return m_method->GetMethodPtr(); }
    u32 GetMethodPtrSize() const override { return m_method->GetMethodPtrSize(); }

    const Variant& GetObject() const { return m_object; }
    const RefPtr<VariantMethod>& GetMethod() const { return m_method; }

private:
    // Declared in this order so the method handle is released first.
    Variant m_object;
    RefPtr<VariantMethod> m_method;
};

// A delegate calling target->method(arguments...). T may derive from C; the
// object variant holds the target as a C* typed by T's meta class (the nil
// meta class when T is not declared with LV_DECLARE_META_CLASS).
template <class T, class C, class... A>
FunctionRef MakeDelegate(T* target, void (C::*method)(A...)) {
    static_assert(std::is_base_of_v<C, T>, "the member function must belong to the target's class");
    C* object = target;
    RefPtr<VariantMethod> binder = VariantMethodBinderInst::Instance().Bind(method);
    return FunctionRef(new VarFun_Delegate(Variant(static_cast<void*>(object), MetaClassOrNil<T>()), binder));
}

}  // namespace Ostrel
