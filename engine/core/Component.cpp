#include "engine/core/Component.h"

#include "engine/core/Composition.h"

namespace Ostrel {

u32 Component::GetOwnerId() const {
    return m_owner->GetId();
}

Component* Component::GetSibling(u32 typeId) const {
    return m_owner->GetComponent(typeId);
}

}  // namespace Ostrel
