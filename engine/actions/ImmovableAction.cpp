#include "engine/actions/ImmovableAction.h"

#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"

LV_REFLECT_CLASS(Ostrel::ImmovableAction);

namespace Ostrel {

void ImmovableAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    m_transform.Bind(owner);
    ActionBase::OnStart();
    m_listeners.Listen(*owner, "BlockMovement", MakeDelegate(this, &ImmovableAction::OnBlockMovement));
    m_listeners.Listen(*owner, "UnblockMovement", MakeDelegate(this, &ImmovableAction::OnUnblockMovement));
}

void ImmovableAction::OnEnd() {
    m_listeners.UnlistenAll();
    ActionBase::OnEnd();
}

int ImmovableAction::OnUpdate(f32) {
    if (!m_blocked) return kActionRunning;
    if (TransformComponent* transform = m_transform.Get()) transform->SetPosition(m_held);
    return kActionRunning;
}

void ImmovableAction::OnBlockMovement() {
    if (TransformComponent* transform = m_transform.Get()) m_held = transform->GetPosition();
    m_blocked = true;
}

void ImmovableAction::OnUnblockMovement() { m_blocked = false; }

}  // namespace Ostrel
