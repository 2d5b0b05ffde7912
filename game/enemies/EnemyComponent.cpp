#include "game/enemies/EnemyComponent.h"

#include "engine/actions/AnimationAction.h"
#include "engine/actions/DamageEnemyAction.h"
#include "engine/actions/KnockbackEnemyAction.h"
#include "engine/actions/TimedBlockAction.h"
#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/components/ComponentSupport.h"
#include "engine/components/MovementComponent.h"
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
#include "game/enemies/ChargerAIAction.h"
#include "game/enemies/PlayerSeekAction.h"
#include "game/objects/ColorChangeAction.h"

LV_REFLECT_CLASS(Vandle::EnemyComponent);

namespace Vandle {

using namespace Ostrel;

namespace {


}  // namespace

void EnemyComponent::Initialize() {
    if (!m_listeners.IsEmpty() || !IsOwnerLive(*this)) return;
    Composition* owner = GetOwner();
    auto* brain = owner->GetComponentAs<BrainComponent>();
    if (!brain) {
        LogErrorf("EnemyComponent: object %u ('%s') has no BrainComponent; it will not move\n", GetOwnerId(),
                  owner->GetName().c_str());
    } else {
        const u32 id = GetOwnerId();
        auto* ai = new ChargerAIAction;
        ai->SetChargeTime(m_chargeTime);
        ai->SetChargeSpeed(m_speed * m_chargeSpeedModifier);
        ai->SetChargeChance(m_chargeChance);
        ai->SetChargeWaitTime(m_chargeWaitTime);
        AddOwnedAction(*brain, id, ai, ChargerAIAction::kLane);
        auto* seek = new PlayerSeekAction;
        seek->SetSpeed(m_speed);
        AddOwnedAction(*brain, id, seek, 0);
        AddOwnedAction(*brain, id, new DamageEnemyAction, FourCC("dama"));
        AddOwnedAction(*brain, id, new KnockbackEnemyAction, FourCC("knoc"));
        AddOwnedAction(*brain, id, ColorChangeAction::HitFlash(), ColorChangeAction::kLane);
        auto* pose = new AnimationAction;
        pose->SetShowBindPose(false);
        AddOwnedAction(*brain, id, pose, 0);
        AddOwnedAction(*brain, id, new TimedBlockAction(m_waitTime), 0);
    }
    PlayGameSound("yak-spawn-sfx");
    m_listeners.Listen(*owner, "CollisionData", MakeDelegate(this, &EnemyComponent::OnCollision));
    m_listeners.Listen(*owner, "ObjectDead", MakeDelegate(this, &EnemyComponent::OnObjectDead));
    m_listeners.Listen(*owner, "FinishedSpawning", MakeDelegate(this, &EnemyComponent::OnFinishedSpawning));
}

void EnemyComponent::Uninitialize() {
    m_listeners.UnlistenAll();
}

Component* EnemyComponent::Clone() const {
    auto* copy = NewComponentOf<EnemyComponent>();
    if (!copy) return nullptr;
    copy->m_spawnEffect = m_spawnEffect;
    copy->m_speed = m_speed;
    copy->m_waitTime = m_waitTime;
    copy->m_chargeWaitTime = m_chargeWaitTime;
    copy->m_chargeChance = m_chargeChance;
    copy->m_chargeTime = m_chargeTime;
    copy->m_chargeSpeedModifier = m_chargeSpeedModifier;
    return copy;
}

void EnemyComponent::Serialize(Serializer* s) {
    s->SerializeFloat("speed", &m_speed);
    s->SerializeFloat("WaitTime", &m_waitTime);
    s->SerializeFloat("ChargeWaitTime", &m_chargeWaitTime);
    s->SerializeFloat("ChargeChance", &m_chargeChance);
    s->SerializeFloat("ChargeTime", &m_chargeTime);
    s->SerializeFloat("ChargeSpeedModifier", &m_chargeSpeedModifier);
    s->SerializeString("SpawnEffect", &m_spawnEffect);
}

void EnemyComponent::ExposeProperties(TweakBarGroup* panel) {
    TweakBarSetter setter = [](const void* value, void* client) {
        static_cast<EnemyComponent*>(client)->SetSpeed(*static_cast<const f32*>(value));
    };
    TweakBarGetter getter = [](void* value, void* client) {
        *static_cast<f32*>(value) = static_cast<const EnemyComponent*>(client)->GetSpeed();
    };
    panel->AddCallbackVar("speed", kTweakFloat, setter, getter, this);
    panel->AddFloat("WaitTime", &m_waitTime, false);
    panel->AddFloat("ChargeWaitTime", &m_chargeWaitTime, false);
    panel->AddFloat("ChargeChance", &m_chargeChance, false);
    panel->AddFloat("ChargeTime", &m_chargeTime, false);
    panel->AddFloat("ChargeSpeedModifier", &m_chargeSpeedModifier, false);
    panel->AddString("SpawnEffect", &m_spawnEffect, false);
}

Variant EnemyComponent::ToVariant() { return Variant(this); }

void EnemyComponent::SetSpeed(f32 speed) {
    m_speed = speed;
    const f32 value = m_speed;
    if (GetOwner()) SendObjectMessageFloat(GetOwner(), "UpdatePlayerSeekAction", value);
}

void EnemyComponent::OnCollision(CollisionData* contact) {
    if (!contact || !GetOwner()) return;
    HitPlayer(*GetOwner(), contact->other,
              {.damage = kContactDamage, .coolDown = kContactCoolDown, .push = PushRule::AlongOwnVelocity,
               .strength = kKnockback});
}

void EnemyComponent::OnObjectDead() {
    PlayGameSound("yak-death-sfx");
    const u32 id = GetOwnerId();
    ObjectManager* objects = CurrentObjectManager();
    Composition* smoke = CreateGameObject("yak-fx-obj", nullptr, "EnemyComponent");
    // Creating the smoke may have grown the object tables: look the yak up again.
    Composition* self = objects ? objects->GetObject(id) : nullptr;
    if (smoke && self && smoke->GetTransform() && self->GetTransform())
        smoke->GetTransform()->SetPosition(self->GetTransform()->GetPosition());
    if (objects) objects->DestroyObject(id);
}

void EnemyComponent::OnFinishedSpawning() {
    Composition* owner = GetOwner();
    if (!owner) return;
    CreateGameObject(m_spawnEffect, owner->GetTransform(), "EnemyComponent");
}

}  // namespace Vandle
