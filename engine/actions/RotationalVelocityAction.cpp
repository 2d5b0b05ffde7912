#include "engine/actions/RotationalVelocityAction.h"

#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"

LV_REFLECT_CLASS(Ostrel::RotationalVelocityAction);

namespace Ostrel {

void RotationalVelocityAction::OnStart() {
    ActionBase::OnStart();
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    m_transform.Bind(owner);
    m_listeners.Listen(*owner, "UpdateRotationalVelocity",
                       MakeDelegate(this, &RotationalVelocityAction::OnUpdateRotationalVelocity));
}

void RotationalVelocityAction::OnEnd() {
    m_listeners.UnlistenAll();
    ActionBase::OnEnd();
}

int RotationalVelocityAction::OnUpdate(f32 dt) {
    if (TransformComponent* transform = m_transform.Get()) {
        transform->SetRotation(transform->GetRotation() + m_rate * dt);
    }
    return kActionRunning;
}

}  // namespace Ostrel
