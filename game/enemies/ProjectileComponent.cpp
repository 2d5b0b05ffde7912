#include "game/common/ObjectCreation.h"
#include "game/common/ContactDamage.h"
#include "game/common/PlayerLookup.h"
#include "game/enemies/ProjectileComponent.h"

#include "engine/actions/ActionSupport.h"
#include "engine/actions/TimedLifeAction.h"
#include "engine/base/Serializer.h"
#include "engine/components/CollisionComponent.h"
#include "engine/components/ComponentSupport.h"
#include "engine/components/MovementComponent.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/Composition.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "engine/physics/CollisionData.h"

LV_REFLECT_CLASS(Vandle::ProjectileComponent);

namespace Vandle {

using namespace Ostrel;

namespace {

constexpr u32 kFoxBossTypeId = FourCC("fboC");

bool ResolvesWithDynamics(const Composition& object) {
    const auto* collider = object.GetComponentAs<CollisionComponent>();
    return collider && collider->GetFlags().resolveWithDynamics;
}

}  // namespace

void ProjectileComponent::Initialize() {
    if (!m_listeners.IsEmpty() || !IsOwnerLive(*this)) return;
    m_listeners.Listen(*GetOwner(), "CollisionData", MakeDelegate(this, &ProjectileComponent::OnCollisionData));
}

void ProjectileComponent::Uninitialize() {
    m_listeners.UnlistenAll();
}

Component* ProjectileComponent::Clone() const {
    auto* copy = NewComponentOf<ProjectileComponent>();
    if (!copy) return nullptr;
    copy->m_damage = m_damage;
    copy->m_cooldown = m_cooldown;
    copy->m_lifeTimeAfterCollision = m_lifeTimeAfterCollision;
    copy->m_knockback = m_knockback;
    copy->m_rolling = m_rolling;
    return copy;
}

void ProjectileComponent::Serialize(Serializer* s) {
    s->SerializeFloat("Damage", &m_damage);
    s->SerializeFloat("Cooldown", &m_cooldown);
    s->SerializeFloat("LifeTimeAfterCollision", &m_lifeTimeAfterCollision);
    s->SerializeFloat("Knockback", &m_knockback);
    s->SerializeBool("Rolling", &m_rolling);
}

void ProjectileComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddFloat("Damage", &m_damage, false);
    panel->AddFloat("Cooldown", &m_cooldown, false);
    panel->AddFloat("LifeTimeAfterCollision", &m_lifeTimeAfterCollision, false);
    panel->AddFloat("Knockback", &m_knockback, false);
    panel->AddBool("Rolling", &m_rolling, false);
}

Variant ProjectileComponent::ToVariant() { return Variant(this); }

void ProjectileComponent::OnCollisionData(CollisionData* contact) {
    if (!contact || (m_hasCollided && !m_rolling)) return;
    Composition* other = FindActionObject(contact->other);
    if (!other) return;
    const bool isPlayer = other->GetComponent(kPlayerTypeId) != nullptr;
    if (!isPlayer && !ResolvesWithDynamics(*other)) return;
    const u32 otherId = other->GetId();
    if (!m_hasCollided && !other->GetComponent(kTypeId) && !other->GetComponent(kFoxBossTypeId)) Spend();
    // Spending sends "ObjectDead", whose listeners may create or destroy
    // objects: the player is looked up again.
    if (Composition* player = isPlayer ? FindLivePlayer(otherId) : nullptr) HurtPlayer(*player);
}

void ProjectileComponent::Spend() {
    const u32 self = GetOwnerId();
    if (m_lifeTimeAfterCollision > 0.0f) {
        AddToBrain(self, new TimedLifeAction(m_lifeTimeAfterCollision));
    } else if (ObjectManager* objects = CurrentObjectManager()) {
        objects->DestroyObject(self);
    }
    m_hasCollided = true;
    GetOwner()->Send("ObjectDead");
    if (!m_rolling) {
        if (auto* movement = GetSiblingAs<MovementComponent>()) movement->SetVelocity(Vec3());
    }
}

void ProjectileComponent::HurtPlayer(Composition& player) {
    if (!GetOwner()) return;
    HitPlayer(*GetOwner(), player.GetId(),
              {.damage = m_damage, .coolDown = m_cooldown, .push = PushRule::AwayOnGround, .strength = m_knockback,
               .lift = kKnockbackLift, .damageFirst = true, .sound = nullptr});
}

}  // namespace Vandle
