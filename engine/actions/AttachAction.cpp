#include "engine/actions/AttachAction.h"

#include "engine/core/Reflect.h"

LV_REFLECT_CLASS(Ostrel::AttachAction);

namespace Ostrel {

void AttachAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    m_transform.Bind(owner);
}

int AttachAction::OnUpdate(f32) {
    TransformComponent* followed = m_followed.Get();
    TransformComponent* transform = m_transform.Get();
    if (followed && transform) transform->SetPosition(followed->GetPosition());
    return kActionRunning;
}

}  // namespace Ostrel
