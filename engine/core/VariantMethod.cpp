#include "engine/core/VariantMethod.h"

#include "engine/core/MetaClass.h"

#include <cstdio>

namespace Ostrel {

void VariantMethod::Call(const Variant& object) {
    VariantList& returns = SharedReturnList();
    returns.Clear();
    Invoke(object, EmptyArgumentList(), returns);
}

void VariantMethod::Call(const Variant& object, const VariantList& arguments) {
    VariantList& returns = SharedReturnList();
    returns.Clear();
    Invoke(object, arguments, returns);
}

MetaClass* VariantMethod::GetReturnType() const {
    return GetNilMetaClass();
}

namespace Private {

bool HasArguments(const VariantList& arguments, int count, const MetaClass* owner) {
    if (arguments.Size() >= std::size_t(count)) {
        return true;
    }
    std::fprintf(stderr, "%s: handler expects %d argument(s) but got %zu; call ignored\n",
                 owner != nullptr ? owner->GetName().c_str() : "?", count, arguments.Size());
    return false;
}

}  // namespace Private

}  // namespace Ostrel
