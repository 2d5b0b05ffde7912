#include "game/objects/CheckpointComponent.h"

#include "engine/components/ComponentSupport.h"
#include "engine/core/Composition.h"
#include "engine/core/Reflect.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "game/common/GameSupport.h"

LV_REFLECT_CLASS(Vandle::CheckpointComponent);

namespace Vandle {

using namespace Ostrel;

void CheckpointComponent::Initialize() {
    if (!m_listeners.IsEmpty() || !GetOwner() || GetOwnerId() == 0) return;
    m_listeners.Listen(*GetOwner(), "TriggerFired", MakeDelegate(this, &CheckpointComponent::OnTriggerFired));
}

void CheckpointComponent::Uninitialize() {
    m_listeners.UnlistenAll();
}

Component* CheckpointComponent::Clone() const { return NewComponentOf<CheckpointComponent>(); }

Variant CheckpointComponent::ToVariant() { return Variant(this); }

void CheckpointComponent::OnTriggerFired() {
    CoreSystem* core = GameCore();
    if (!core) return;
    core->SendMessageString("PlaySound", "checkpoint-sfx");
    const TransformComponent* transform = GetTransform();
    const Vec3 position = transform ? transform->GetPosition() : Vec3();
    core->SendMessageVec3("CheckpointUpdated", position);
}

}  // namespace Vandle
