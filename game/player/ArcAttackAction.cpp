#include "game/player/ArcAttackAction.h"

#include "engine/actions/TimedMoveToAction.h"
#include "engine/components/CollisionComponent.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/MathFunctions.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/physics/CollisionData.h"
#include "game/common/GameSupport.h"
#include "game/player/QilAttackSupport.h"

#include <cmath>

LV_REFLECT_CLASS(Vandle::ArcAttackAction);

namespace Vandle {

using namespace Ostrel;

namespace {

constexpr f32 kDegreesToRadians = 0.017453292f;

}  // namespace

Vec3 ArcAttackAction::ArcPoint(const Vec3& centre, f32 angle) const {
    const f32 r = (m_startAngle + angle) * kDegreesToRadians;
    return Vec3(-std::sin(r) * kRadius + centre.x, centre.y + kHeight, -std::cos(r) * kRadius + centre.z);
}

void ArcAttackAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    Composition* player = FindActionObject(m_playerId);
    TransformComponent* playerTransform = player ? player->GetTransform() : nullptr;
    m_playerTransformHandle = playerTransform ? playerTransform->GetHandle() : 0;
    m_transform.Bind(owner);
    m_movement.Bind(owner);
    if (TransformComponent* transform = m_transform.Get()) RefitCollider(*owner, transform->GetScale() * kColliderScale);
    PlayGameSound("attack-arc-sfx");
    m_listeners.Listen(*owner, "CollisionData", MakeDelegate(this, &ArcAttackAction::OnCollision));
    m_startAngle = std::atan2(m_direction.x, m_direction.z) * kDegreesPerRadian + 90.0f;
    if (playerTransform) {
        if (BrainComponent* brain = GetBrainComponentOf(owner)) {
            auto* move = new TimedMoveToAction(kMoveTime);
            move->SetTarget(ArcPoint(playerTransform->GetPosition(), 0.0f));
            move->SetBlocking(true);
            move->SetOwner(owner->GetId());
            brain->AddAction(move);
        }
    }
    CreateAttachedEffect("arc-attack-fx", *owner);
}

void ArcAttackAction::OnEnd() {
    m_listeners.UnlistenAll();
    m_attackingFlag.Clear();
    ActionBase::OnEnd();
}

int ArcAttackAction::OnUpdate(f32 dt) {
    m_angle += kSweepSpeed * dt;
    Composition* owner = FindActionObject(GetOwner());
    if (m_angle <= kSweepAngle) {
        Component* found = m_playerTransformHandle ? FindComponentByHandle(m_playerTransformHandle) : nullptr;
        auto* playerTransform = found && found->GetTypeId() == TransformComponent::kTypeId
                                    ? static_cast<TransformComponent*>(found)
                                    : nullptr;
        TransformComponent* transform = m_transform.Get();
        if (playerTransform && transform && owner) {
            transform->SetPosition(ArcPoint(playerTransform->GetPosition(), m_angle));
            // The move to the first point leaves its velocity behind; the
            // sweep places the companion, so physics must not carry it off
            // the arc before its contacts are found.
            if (MovementComponent* movement = m_movement.Get()) movement->SetVelocity(Vec3(0.0f, 0.0f, 0.0f));
            owner->Send("TransformUpdated");
        }
    } else {
        m_flying = false;
    }
    if (m_flying) return kActionBlocking;
    m_attackingFlag.Clear();
    if (owner) {
        owner->Send("TransformUpdated");
        // The first send may have changed the tables: look the owner up again.
        if (Composition* again = FindActionObject(GetOwner())) again->Send("FinishedAttack");
    }
    return kActionFinished;
}

void ArcAttackAction::OnCollision(CollisionData* contact) {
    Composition* other = contact ? FindActionObject(contact->other) : nullptr;
    if (!other || !other->GetComponentAs<CollisionComponent>()) return;
    const f32 damage = kDamage;
    const f32 coolDown = kDamageCoolDown;
    SendObjectMessageFloat2(other, "DamageEnemy", damage, coolDown);
    const Vec3 knockback = m_direction * kKnockback;
    SendObjectMessageVec3(FindActionObject(contact->other), "KnockbackEnemy", knockback);
}

}  // namespace Vandle
