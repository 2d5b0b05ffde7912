#include "engine/actions/ModifyTransformAction.h"

#include "engine/core/Reflect.h"
#include "engine/core/TransformComponent.h"

LV_REFLECT_CLASS(Ostrel::ModifyTransformAction);

namespace Ostrel {

void ModifyTransformAction::OnStart() {
    if (FindActionObject(GetOwner())) ActionBase::OnStart();
}

int ModifyTransformAction::OnUpdate(f32) {
    Composition* owner = FindActionObject(GetOwner());
    TransformComponent* transform = owner ? owner->GetTransform() : nullptr;
    if (!transform) return kActionFinished;
    if (m_rotate) transform->SetRotation(transform->GetRotation() + m_rotationDelta);
    if (m_scale) transform->SetScale(m_scaleValue);
    return kActionFinished;
}

}  // namespace Ostrel
