#include "game/player/ShootQilAction.h"

#include "engine/actions/AttachAction.h"
#include "engine/components/CollisionComponent.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/physics/CollisionData.h"
#include "game/common/GameSupport.h"

LV_REFLECT_CLASS(Vandle::ShootQilAction);

namespace Vandle {

using namespace Ostrel;

void ShootQilAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    m_movement.Bind(owner);
    if (CoreSystem* core = GameCore()) core->SendMessageString("PlaySound", "whoosh-sfx");
    m_listeners.Listen(*owner, "CollisionData", MakeDelegate(this, &ShootQilAction::OnCollision));
    PlaceBesidePlayer(*owner, m_playerId, m_direction, kStartDistance);
    CreateAttachedEffect("slingshot-attack-fx", *owner);
}

void ShootQilAction::OnEnd() {
    m_listeners.UnlistenAll();
    m_attackingFlag.Clear();
    ActionBase::OnEnd();
}

int ShootQilAction::OnUpdate(f32 dt) {
    m_elapsed += dt;
    if (m_elapsed > kFlightTime) {
        if (FindActionObject(GetOwner())) m_flying = false;
    } else if (MovementComponent* movement = m_movement.Get()) {
        movement->SetVelocity(m_direction * m_speed);
    }
    if (m_flying) return kActionBlocking;
    // Cleared first: the return action starts no return flight on a
    // "FinishedAttack" while the companion is still attacking.
    m_attackingFlag.Clear();
    if (Composition* owner = FindActionObject(GetOwner())) owner->Send("FinishedAttack");
    return kActionFinished;
}

bool ShootQilAction::IsExcluded(const Composition& other) {
    static const u32 kSkipped[] = {FourCC("plrC"), FourCC("pctC"), FourCC("hpkC"), FourCC("patC"), FourCC("proC")};
    for (u32 typeId : kSkipped)
        if (other.GetComponent(typeId)) return true;
    return other.GetComponentAs<CollisionComponent>() == nullptr;
}

void ShootQilAction::OnCollision(CollisionData* contact) {
    Composition* other = contact ? FindActionObject(contact->other) : nullptr;
    if (!other || IsExcluded(*other)) return;
    const f32 damage = kDamage;
    const f32 coolDown = kDamageCoolDown;
    SendObjectMessageFloat2(other, "DamageEnemy", damage, coolDown);
    // The receiver may have been torn down by the damage: look it up again.
    const Vec3 knockback = m_direction * m_speed * kKnockbackFactor;
    SendObjectMessageVec3(FindActionObject(contact->other), "KnockbackEnemy", knockback);
    if (CoreSystem* core = GameCore()) core->SendMessageString("PlaySound", "low-thud-sfx");
    m_flying = false;
}

}  // namespace Vandle
