#include "game/enemies/ChargerComponent.h"

#include "engine/actions/StartOnBrain.h"
#include "engine/base/Serializer.h"
#include "engine/components/ComponentSupport.h"
#include "engine/components/MovementComponent.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/Composition.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "engine/physics/CollisionData.h"
#include "game/common/PlayerLookup.h"
#include "game/enemies/ChargerAIAction.h"
#include "game/enemies/PlayerSeekAction.h"

LV_REFLECT_CLASS(Vandle::ChargerComponent);

namespace Vandle {

using namespace Ostrel;

void ChargerComponent::Initialize() {
    if (!m_listeners.IsEmpty() || !IsOwnerLive(*this)) return;
    auto* ai = new ChargerAIAction;
    ai->SetLane(ChargerAIAction::kLane);
    ai->SetChargeSpeed(m_chargeSpeed);
    ai->SetChargeChance(f32(m_chargePercentage));
    ai->SetChargeWaitTime(m_waitPeriod);
    ai->SetChargeTime(m_chargeTime);
    StartOnBrain(*this, "ChargerComponent", ai);
    auto* seek = new PlayerSeekAction;
    seek->SetSpeed(kSeekSpeed);
    StartOnBrain(*this, "ChargerComponent", seek);
    m_listeners.Listen(*GetOwner(), "CollisionData", MakeDelegate(this, &ChargerComponent::OnCollision));
    m_listeners.Listen(*GetOwner(), "ObjectDead", MakeDelegate(this, &ChargerComponent::OnObjectDead));
}

void ChargerComponent::Uninitialize() {
    m_listeners.UnlistenAll();
}

Component* ChargerComponent::Clone() const {
    auto* copy = NewComponentOf<ChargerComponent>();
    if (!copy) return nullptr;
    copy->m_chargePercentage = m_chargePercentage;
    copy->m_waitPeriod = m_waitPeriod;
    copy->m_chargeSpeed = m_chargeSpeed;
    copy->m_chargeTime = m_chargeTime;
    return copy;
}

void ChargerComponent::Serialize(Serializer* s) {
    s->SerializeFloat("ChargeTime", &m_chargeTime);
    s->SerializeFloat("ChargeSpeed", &m_chargeSpeed);
    s->SerializeFloat("WaitPeriod", &m_waitPeriod);
}

void ChargerComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddCallbackVar(
        "ChargeTime", kTweakFloat, nullptr,
        [](void* v, void* c) { *static_cast<f32*>(v) = static_cast<const ChargerComponent*>(c)->GetChargeTime(); },
        this);
    panel->AddCallbackVar(
        "ChargeSpeed", kTweakFloat, nullptr,
        [](void* v, void* c) { *static_cast<f32*>(v) = static_cast<const ChargerComponent*>(c)->GetChargeSpeed(); },
        this);
    panel->AddCallbackVar(
        "WaitPeriod", kTweakFloat, nullptr,
        [](void* v, void* c) { *static_cast<f32*>(v) = static_cast<const ChargerComponent*>(c)->GetWaitPeriod(); },
        this);
    panel->AddCallbackVar(
        "ChargePercentage", kTweakUInt, nullptr,
        [](void* v, void* c) {
            *static_cast<u32*>(v) = static_cast<const ChargerComponent*>(c)->GetChargePercentage();
        },
        this);
}

Variant ChargerComponent::ToVariant() { return Variant(this); }

void ChargerComponent::OnCollision(CollisionData* contact) {
    Composition* player = contact ? FindLivePlayer(contact->other) : nullptr;
    if (!player) return;
    const auto* own = GetOwner() ? GetOwner()->GetComponentAs<MovementComponent>() : nullptr;
    if (auto* theirs = player->GetComponentAs<MovementComponent>(); own && theirs)
        theirs->SetVelocity(theirs->GetVelocity() + own->GetVelocity() * kPushFactor);
    SendObjectMessageFloat(player, "TakeDamage", kContactDamage);
}

void ChargerComponent::OnObjectDead() {
    if (ObjectManager* objects = CurrentObjectManager()) objects->DestroyObject(GetOwnerId());
}

}  // namespace Vandle
