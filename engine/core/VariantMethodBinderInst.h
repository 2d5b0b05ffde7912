#pragma once
// The factory of method binders: Bind(&Class::Method) makes a new binder of
// the matching arity (VarMeth_0_0 .. VarMeth_0_4) in a new RefPtr. Stateless;
// a singleton only so it is destroyed in its place at exit (longevity 100).

#include "engine/core/Lifetime.h"
#include "engine/core/RefPtr.h"
#include "engine/core/VarMeth.h"

namespace Ostrel {

class VariantMethodBinderInst {
public:
    static VariantMethodBinderInst& Instance() {
        return LongLivedSingleton<VariantMethodBinderInst, kLongevityMethodBinder>::Instance();
    }

    template <class C, class... A>
    RefPtr<VariantMethod> Bind(void (C::*method)(A...)) const {
        static_assert(sizeof...(A) <= 4, "binders take at most four arguments");
        if constexpr (sizeof...(A) == 0) {
            return RefPtr<VariantMethod>(new VarMeth_0_0<C>(method));
        } else if constexpr (sizeof...(A) == 1) {
            return RefPtr<VariantMethod>(new VarMeth_0_1<C, A...>(method));
        } else if constexpr (sizeof...(A) == 2) {
            return RefPtr<VariantMethod>(new VarMeth_0_2<C, A...>(method));
        } else if constexpr (sizeof...(A) == 3) {
            return RefPtr<VariantMethod>(new VarMeth_0_3<C, A...>(method));
        } else {
            return RefPtr<VariantMethod>(new VarMeth_0_4<C, A...>(method));
        }
    }

private:
    friend class LongLivedSingleton<VariantMethodBinderInst, kLongevityMethodBinder>;
    VariantMethodBinderInst() = default;
};

// Shorthand for registration functions: meta.AddMethod("OnX", MakeMethod(&Foo::OnX)).
template <class C, class... A>
RefPtr<VariantMethod> MakeMethod(void (C::*method)(A...)) {
    return VariantMethodBinderInst::Instance().Bind(method);
}

}  // namespace Ostrel
