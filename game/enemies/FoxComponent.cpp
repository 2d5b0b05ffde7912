#include "game/enemies/FoxComponent.h"

#include "engine/actions/DamageEnemyAction.h"
#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/components/ComponentSupport.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "engine/physics/CollisionData.h"
#include "game/common/ContactDamage.h"
#include "game/common/GameSupport.h"
#include "game/common/ObjectCreation.h"
#include "game/common/PlayerLookup.h"
#include "game/enemies/FoxAIAction.h"
#include "game/enemies/ThrowRubbleAction.h"
#include "game/objects/ColorChangeAction.h"

LV_REFLECT_CLASS(Vandle::FoxComponent);

namespace Vandle {

using namespace Ostrel;

namespace {


}  // namespace

void FoxComponent::Initialize() {
    if (!m_listeners.IsEmpty() || !IsOwnerLive(*this)) return;
    AddActions();
    Composition* owner = GetOwner();
    m_listeners.Listen(*owner, "ObjectDead", MakeDelegate(this, &FoxComponent::OnObjectDead));
    m_listeners.Listen(*owner, "FinishedSpawning", MakeDelegate(this, &FoxComponent::OnFinishedSpawning));
    m_listeners.Listen(*owner, "CollisionData", MakeDelegate(this, &FoxComponent::OnCollision));
}

void FoxComponent::AddActions() {
    Composition* owner = GetOwner();
    auto* brain = owner->GetComponentAs<BrainComponent>();
    if (!brain) {
        LogErrorf("FoxComponent: object %u ('%s') has no BrainComponent; it will not move\n", GetOwnerId(),
                  owner->GetName().c_str());
        return;
    }
    const u32 id = GetOwnerId();
    auto* ai = new FoxAIAction;
    ai->SetTunnelingSpeed(m_tunnelingSpeed);
    ai->SetTravelTime(m_travelTime);
    ai->SetMaxTurnAngle(m_maxTurnAngle);
    ai->SetWorkTime(m_workTime);
    ai->SetBreakLength(m_breakLength);
    ai->SetCircleDistance(m_circleDistance);
    ai->SetCircleWeight(m_circleWeight);
    ai->SetDigUpAnimLength(m_digUpAnimLength);
    ai->SetLookAroundAnimLength(m_lookAroundAnimLength);
    AddOwnedAction(*brain, id, ai);
    for (int i = 0; i < 2; ++i) {
        auto* thrower = new ThrowRubbleAction;
        thrower->SetAngles(m_projectileInnerAngle, m_projectileOuterAngle);
        thrower->SetCooldown(m_projectileCooldown, m_projectileCooldownRange);
        thrower->SetSpeed(m_projectileSpeed, m_projectileSpeedRange);
        thrower->SetProjectileName(m_projectileName);
        AddOwnedAction(*brain, id, thrower);
    }
    AddOwnedAction(*brain, id, new DamageEnemyAction, FourCC("dama"));
    AddOwnedAction(*brain, id, ColorChangeAction::HitFlash(), ColorChangeAction::kLane);
}

void FoxComponent::Uninitialize() {
    m_listeners.UnlistenAll();
}

Component* FoxComponent::Clone() const {
    auto* copy = NewComponentOf<FoxComponent>();
    if (!copy) return nullptr;
    copy->m_tunnelingSpeed = m_tunnelingSpeed;
    copy->m_travelTime = m_travelTime;
    copy->m_maxTurnAngle = m_maxTurnAngle;
    copy->m_workTime = m_workTime;
    copy->m_breakLength = m_breakLength;
    copy->m_circleWeight = m_circleWeight;
    copy->m_circleDistance = m_circleDistance;
    copy->m_projectileSpeed = m_projectileSpeed;
    copy->m_projectileSpeedRange = m_projectileSpeedRange;
    copy->m_projectileCooldown = m_projectileCooldown;
    copy->m_projectileCooldownRange = m_projectileCooldownRange;
    copy->m_projectileInnerAngle = m_projectileInnerAngle;
    copy->m_projectileOuterAngle = m_projectileOuterAngle;
    copy->m_projectileName = m_projectileName;
    copy->m_deathEffect = m_deathEffect;
    copy->m_spawnEffect = m_spawnEffect;
    copy->m_digUpAnimLength = m_digUpAnimLength;
    copy->m_lookAroundAnimLength = m_lookAroundAnimLength;
    return copy;
}

void FoxComponent::Serialize(Serializer* s) {
    s->SerializeFloat("TunnelingSpeed", &m_tunnelingSpeed);
    s->SerializeFloat("TravelTime", &m_travelTime);
    s->SerializeFloat("MaxTurnAngle", &m_maxTurnAngle);
    s->SerializeFloat("WorkTime", &m_workTime);
    s->SerializeFloat("BreakLength", &m_breakLength);
    s->SerializeFloat("CircleDistance", &m_circleDistance);
    s->SerializeFloat("CircleWeight", &m_circleWeight);
    s->SerializeFloat("ProjectileSpeed", &m_projectileSpeed);
    s->SerializeFloat("ProjectileSpeedRange", &m_projectileSpeedRange);
    s->SerializeFloat("ProjectileCooldown", &m_projectileCooldown);
    s->SerializeFloat("ProjectileCooldownRange", &m_projectileCooldownRange);
    s->SerializeFloat("ProjectileInnerAngle", &m_projectileInnerAngle);
    s->SerializeFloat("ProjectileInnerAngle", &m_projectileOuterAngle);
    s->SerializeString("ProjectileName", &m_projectileName);
    s->SerializeString("DeathEffect", &m_deathEffect);
    s->SerializeString("SpawnEffect", &m_spawnEffect);
    s->SerializeFloat("DigUpAnimLength", &m_digUpAnimLength);
    s->SerializeFloat("LookAroundAnimLength", &m_lookAroundAnimLength);
}

void FoxComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddFloat("TunnelingSpeed", &m_tunnelingSpeed, false);
    panel->AddFloat("TravelTime", &m_travelTime, false);
    panel->AddFloat("MaxTurnAngle", &m_maxTurnAngle, false);
    panel->AddFloat("WorkTime", &m_workTime, false);
    panel->AddFloat("BreakLength", &m_breakLength, false);
    panel->AddFloat("CircleDistance", &m_circleDistance, false);
    panel->AddFloat("CircleWeight", &m_circleWeight, false);
    panel->AddFloat("ProjectileSpeed", &m_projectileSpeed, false);
    panel->AddFloat("ProjectileSpeedRange", &m_projectileSpeedRange, false);
    panel->AddFloat("ProjectileCooldown", &m_projectileCooldown, false);
    panel->AddFloat("ProjectileCooldownRange_", &m_projectileCooldownRange, false);
    panel->AddFloat("ProjectileInnerAngle", &m_projectileInnerAngle, false);
    panel->AddFloat("ProjectileInnerAngle", &m_projectileOuterAngle, false);
    panel->AddString("ProjectileName", &m_projectileName, false);
    panel->AddString("DeathEffect", &m_deathEffect, false);
    panel->AddString("SpawnEffect", &m_spawnEffect, false);
}

Variant FoxComponent::ToVariant() { return Variant(this); }

void FoxComponent::OnCollision(CollisionData* contact) {
    if (!contact || !GetOwner()) return;
    HitPlayer(*GetOwner(), contact->other,
              {.damage = kContactDamage, .coolDown = kContactCoolDown, .push = PushRule::AwayInSpace,
               .strength = kKnockback});
}

// Creates the effect at the fox (the archetype's position is an offset from it).
void FoxComponent::CreateEffect(const std::string& archetype) {
    Composition* owner = GetOwner();
    if (owner) CreateGameObject(archetype, owner->GetTransform(), "FoxComponent");
}

void FoxComponent::OnObjectDead() {
    const u32 id = GetOwnerId();
    if (ObjectManager* objects = CurrentObjectManager()) objects->DestroyObject(id);
    CreateEffect(m_deathEffect);
    PlayGameSound("fox-death-sfx");
}

void FoxComponent::OnFinishedSpawning() {
    CreateEffect(m_spawnEffect);
    PlayGameSound("fox-spawn-sfx");
}

}  // namespace Vandle
