#include "engine/ui/UiBase.h"

#include "engine/core/VariantList.h"

namespace Ostrel {

UiBase* UiBase::GetRoot() {
    // Owner chains are a few levels deep; the bound only stops a chain that
    // scripts managed to close into a loop.
    UiBase* root = this;
    for (int depth = 0; depth < kMaxOwnerDepth; ++depth) {
        UiBase* parent = root->GetParent();
        if (parent == nullptr) break;
        root = parent;
    }
    return root;
}

void UiBase::RaiseEvent(const std::string& name) {
    const VariantList none;
    SendEvent(name, none);
}

}  // namespace Ostrel
