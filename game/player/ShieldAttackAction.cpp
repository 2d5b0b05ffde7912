#include "game/player/ShieldAttackAction.h"

#include "engine/actions/OrbitAction.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/Engine.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/physics/CollisionData.h"
#include "game/common/BobAction.h"
#include "game/common/GameSupport.h"
#include "game/common/ObjectCreation.h"
#include "game/player/QilAttackSupport.h"

LV_REFLECT_CLASS(Vandle::ShieldAttackAction);

namespace Vandle {

using namespace Ostrel;

namespace {

constexpr u32 kShieldLane = FourCC("shld");

u32 NextActionId() {
    Engine* engine = Engine::Instance();
    return engine ? engine->NextUniqueId() : 0;
}

}  // namespace

void ShieldAttackAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    StartMotion(*owner);
    PlayGameSound("whoosh-sfx");
    m_listeners.Listen(*owner, "CollisionData", MakeDelegate(this, &ShieldAttackAction::OnCollision));
    m_listeners.Listen(*owner, "StopAttack", MakeDelegate(this, &ShieldAttackAction::OnStopAttack));
    if (m_globals.Empty())
        m_globals.Listen("PlayerAttackChanged", MakeDelegate(this, &ShieldAttackAction::OnPlayerAttackChanged));
    m_timer = 0.0f;
    SetResolveWithStatics(*owner, false);
    if (TransformComponent* transform = owner->GetTransform())
        RefitCollider(*owner, transform->GetScale() * kColliderScale);
    if (Composition* again = FindActionObject(GetOwner())) m_effectId = CreateAttachedEffect("shield-attack-fx", *again);
}

void ShieldAttackAction::StartMotion(Composition& owner) {
    BrainComponent* brain = GetBrainComponentOf(&owner);
    if (!brain) return;
    m_bobActionId = NextActionId();
    m_orbitActionId = NextActionId();
    auto* bob = new BobAction;
    bob->SetId(m_bobActionId);
    bob->SetListenTerminate(true);
    bob->SetOwner(owner.GetId());
    bob->SetLane(kShieldLane);
    bob->SetAmplitude(kBobAmplitude);
    bob->SetFrequency(kBobFrequency);
    bob->SetOffset(kBobOffset);
    brain->AddAction(bob);
    auto* orbit = new OrbitAction;
    orbit->SetId(m_orbitActionId);
    orbit->SetListenTerminate(true);
    orbit->SetOwner(owner.GetId());
    orbit->SetLane(kShieldLane);
    orbit->SetRadius(kOrbitRadius);
    orbit->SetSpeed(kOrbitSpeed);
    orbit->SetTarget(m_playerId);
    brain->AddAction(orbit);
}

void ShieldAttackAction::TerminateMotion(Composition& owner) {
    if (m_motionEnded) return;
    m_motionEnded = true;
    unsigned orbitId = m_orbitActionId;
    unsigned bobId = m_bobActionId;
    SendObjectMessageUInt(&owner, "TerminateAction", orbitId);
    SendObjectMessageUInt(FindActionObject(GetOwner()), "TerminateAction", bobId);
}

void ShieldAttackAction::OnEnd() {
    DestroyMadeObject(m_effectId);
    m_effectId = 0;
    m_globals.Clear();
    m_listeners.UnlistenAll();
    if (Composition* owner = FindActionObject(GetOwner())) {
        // Ended from outside (not through its own update): its bob and orbit
        // must not circle on without it.
        TerminateMotion(*owner);
        if (Composition* again = FindActionObject(GetOwner())) SetResolveWithStatics(*again, true);
    }
    m_attackingFlag.Clear();
    ActionBase::OnEnd();
}

int ShieldAttackAction::OnUpdate(f32 dt) {
    m_timer += dt;
    if (m_timer >= kChargeInterval) {
        if (CoreSystem* core = GameCore()) core->SendMessageString("LockTutorial", "use-shield");
        m_timer -= kChargeInterval;
        if (Composition* owner = FindActionObject(GetOwner())) owner->Send("FinishedAttack");
        if (Composition* owner = FindActionObject(GetOwner())) owner->Send("StartedAttack");
    }
    if (m_active) return kActionBlocking;
    Composition* owner = FindActionObject(GetOwner());
    if (owner) TerminateMotion(*owner);
    m_attackingFlag.Clear();
    if ((owner = FindActionObject(GetOwner()))) owner->Send("FinishedAttack");
    if ((owner = FindActionObject(GetOwner()))) owner->Send("TransformUpdated");
    return kActionFinished;
}

void ShieldAttackAction::OnCollision(CollisionData* contact) {
    Composition* other = contact ? FindActionObject(contact->other) : nullptr;
    if (!other) return;
    const f32 damage = kDamage;
    const f32 coolDown = kDamageCoolDown;
    SendObjectMessageFloat2(other, "DamageEnemy", damage, coolDown);
    other = FindActionObject(contact->other);
    Composition* owner = FindActionObject(GetOwner());
    TransformComponent* otherTransform = other ? other->GetTransform() : nullptr;
    TransformComponent* transform = owner ? owner->GetTransform() : nullptr;
    if (!otherTransform || !transform) return;
    Vec3 away = otherTransform->GetPosition() - transform->GetPosition();
    away.y = 0.0f;
    if (away.LengthSquared() == 0.0f) return;
    SendObjectMessageVec3(other, "KnockbackEnemy", away.Normalized() * kKnockback);
}

}  // namespace Vandle
