#include "engine/core/VariantFunction.h"

#include <cstring>

namespace Ostrel {

void VariantFunction::Call() {
    VariantList& returns = SharedReturnList();
    returns.Clear();
    Invoke(EmptyArgumentList(), returns);
}

void VariantFunction::Call(const VariantList& arguments) {
    VariantList& returns = SharedReturnList();
    returns.Clear();
    Invoke(arguments, returns);
}

bool VariantFunction::IsSame(const VariantFunction* other) const {
    if (other == nullptr || GetObjectData() != other->GetObjectData()) {
        return false;
    }
    const u32 size = GetMethodPtrSize();
    if (size != other->GetMethodPtrSize()) {
        return false;
    }
    return std::memcmp(GetMethodPtr(), other->GetMethodPtr(), size) == 0;
}

bool VariantFunction::IsCompatible(const VariantFunction* other) const {
    if (other == nullptr || GetArgCount() != other->GetArgCount()) {
        return false;
    }
    for (int i = 0; i < GetArgCount(); ++i) {
        if (GetArgType(i) != other->GetArgType(i)) {
            return false;
        }
    }
    return true;
}

}  // namespace Ostrel
