#include "game/common/PlayerLookup.h"
#include "game/common/ContactDamage.h"
#include "game/enemies/DamageTrapComponent.h"

#include "engine/base/Serializer.h"
#include "engine/components/ComponentSupport.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/Composition.h"
#include "engine/core/Reflect.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "engine/physics/CollisionData.h"

#include <cmath>

LV_REFLECT_CLASS(Vandle::DamageTrapComponent);

namespace Vandle {

using namespace Ostrel;

void DamageTrapComponent::Initialize() {
    if (!m_listeners.IsEmpty() || !IsOwnerLive(*this)) return;
    m_listeners.Listen(*GetOwner(), "CollisionData", MakeDelegate(this, &DamageTrapComponent::OnCollisionData));
}

void DamageTrapComponent::Uninitialize() {
    m_listeners.UnlistenAll();
}

Component* DamageTrapComponent::Clone() const {
    auto* copy = NewComponentOf<DamageTrapComponent>();
    if (!copy) return nullptr;
    copy->m_damage = m_damage;
    copy->m_cooldown = m_cooldown;
    return copy;
}

void DamageTrapComponent::Serialize(Serializer* s) {
    s->SerializeFloat("Damage", &m_damage);
    s->SerializeFloat("Cooldown", &m_cooldown);
}

void DamageTrapComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddFloat("Damage", &m_damage, false);
    panel->AddFloat("Cooldown", &m_cooldown, false);
}

Variant DamageTrapComponent::ToVariant() { return Variant(this); }

void DamageTrapComponent::OnCollisionData(CollisionData* contact) {
    if (!contact || !GetOwner()) return;
    HitPlayer(*GetOwner(), contact->other,
              {.damage = m_damage, .coolDown = m_cooldown, .push = PushRule::AwayOnMainAxis, .strength = kPush,
               .damageFirst = true, .pushWhenStill = true, .sound = nullptr});
}

}  // namespace Vandle
