#include "game/player/QilAttackSupport.h"

#include "game/player/QilComponent.h"

#include "engine/actions/AttachAction.h"
#include "engine/components/CollisionComponent.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/TransformComponent.h"

namespace Vandle {

using namespace Ostrel;

void QilAttackFlag::Bind(const QilComponent& qil) { m_handle = qil.GetHandle(); }

void QilAttackFlag::Clear() {
    Component* component = m_handle ? FindComponentByHandle(m_handle) : nullptr;
    m_handle = 0;
    if (component && component->GetTypeId() == QilComponent::kTypeId)
        static_cast<QilComponent*>(component)->SetAttacking(false);
}

void PlaceBesidePlayer(Composition& owner, u32 playerId, const Vec3& direction, f32 distance) {
    Composition* player = FindActionObject(playerId);
    TransformComponent* playerTransform = player ? player->GetTransform() : nullptr;
    TransformComponent* transform = owner.GetTransform();
    if (!playerTransform || !transform) return;
    Vec3& position = transform->Position();
    position.x = playerTransform->GetPosition().x + distance * direction.x;
    position.z = playerTransform->GetPosition().z + distance * direction.z;
}

void RefitCollider(Composition& owner, const Vec3& fitScale) {
    TransformComponent* transform = owner.GetTransform();
    if (!transform) return;
    transform->SetScale(fitScale);
    owner.Send("TransformUpdated");
    // The message may have torn nothing down, but look the transform up
    // again rather than trust a pointer across a send.
    if (TransformComponent* again = owner.GetTransform())
        again->SetScale(Vec3(kQilRestScale, kQilRestScale, kQilRestScale));
}

u32 CreateAttachedEffect(const char* archetype, Composition& owner) {
    ObjectManager* objects = ActionObjects();
    TransformComponent* transform = owner.GetTransform();
    if (!objects || !transform) return 0;
    const u32 effectId = objects->CreateRunTimeObject(archetype, transform);
    BrainComponent* brain = GetBrainComponentOf(objects->GetObject(effectId));
    if (!brain) return effectId;
    auto* attach = new AttachAction(transform->GetHandle());
    attach->SetOwner(effectId);
    brain->AddAction(attach);
    return effectId;
}

void SetResolveWithStatics(Composition& owner, bool on) {
    if (auto* collision = owner.GetComponentAs<CollisionComponent>()) collision->Flags().resolveWithStatics = on;
}

}  // namespace Vandle
