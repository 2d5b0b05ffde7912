#include "game/player/FirestarterAttackAction.h"

#include "engine/components/ObjectMessages.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/Reflect.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/physics/CollisionData.h"
#include "game/common/GameSupport.h"
#include "game/objects/BurnAction.h"
#include "game/player/QilAttackSupport.h"

LV_REFLECT_CLASS(Vandle::FirestarterAttackAction);

namespace Vandle {

using namespace Ostrel;

namespace {

constexpr u32 kLevelGeometryTypeId = FourCC("lgeo");
constexpr u32 kPlayerTypeId = FourCC("plrC");
constexpr u32 kHealthTypeId = FourCC("helC");

}  // namespace

void FirestarterAttackAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    m_movement.Bind(owner);
    PlayGameSound("whoosh-sfx");
    m_listeners.Listen(*owner, "CollisionData", MakeDelegate(this, &FirestarterAttackAction::OnCollision));
    if (TransformComponent* transform = owner->GetTransform()) {
        transform->Scale() *= kScaleFactor;
        owner->Send("TransformUpdated");
    }
    if (Composition* again = FindActionObject(GetOwner())) {
        PlaceBesidePlayer(*again, m_playerId, m_direction, kStartDistance);
        CreateAttachedEffect("firestarter-attack-fx", *again);
    }
}

void FirestarterAttackAction::OnEnd() {
    m_listeners.UnlistenAll();
    m_attackingFlag.Clear();
    ActionBase::OnEnd();
}

int FirestarterAttackAction::OnUpdate(f32 dt) {
    m_elapsed += dt;
    if (m_elapsed > kFlightTime) {
        if (FindActionObject(GetOwner())) m_flying = false;
    } else if (auto* movement = RequiredPart(m_movement, m_reportedMovement, "FirestarterAttackAction",
                                             "MovementComponent", GetOwner())) {
        movement->SetVelocity(m_direction * m_speed);
    }
    if (m_flying) return kActionBlocking;
    m_attackingFlag.Clear();
    if (Composition* owner = FindActionObject(GetOwner())) {
        if (TransformComponent* transform = owner->GetTransform())
            transform->SetScale(Vec3(kQilRestScale, kQilRestScale, kQilRestScale));
        owner->Send("TransformUpdated");
    }
    if (Composition* owner = FindActionObject(GetOwner())) owner->Send("FinishedAttack");
    return kActionFinished;
}

void FirestarterAttackAction::SetAlight(Composition& other) {
    BrainComponent* brain = GetBrainComponentOf(&other);
    if (!brain || !other.GetComponent(kHealthTypeId)) return;
    auto* burn = new BurnAction;
    burn->SetDamage(kBurnDamage);
    burn->SetDuration(kBurnTime);
    burn->SetTickInterval(kBurnTick);
    burn->SetOwner(other.GetId());
    brain->AddAction(burn);
}

void FirestarterAttackAction::OnCollision(CollisionData* contact) {
    Composition* other = contact ? FindActionObject(contact->other) : nullptr;
    if (!other) return;
    if (other->GetComponent(kLevelGeometryTypeId)) {
        m_flying = false;
        return;
    }
    if (other->GetComponent(kPlayerTypeId)) return;
    const u32 otherId = contact->other;
    if (!m_hitIds.insert(otherId).second) return;
    const f32 damage = kDamage;
    const f32 coolDown = 0.0f;
    SendObjectMessageFloat2(other, "DamageEnemy", damage, coolDown);
    // The hit may have torn the other down: look it up again.
    if (Composition* again = FindActionObject(otherId)) SetAlight(*again);
}

}  // namespace Vandle
