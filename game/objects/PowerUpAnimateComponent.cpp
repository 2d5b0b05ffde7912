#include "game/objects/PowerUpAnimateComponent.h"

#include "engine/base/Serializer.h"
#include "engine/components/ComponentSupport.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/Composition.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "game/common/BobAction.h"
#include "game/common/ObjectCreation.h"

LV_REFLECT_CLASS(Vandle::PowerUpAnimateComponent);

namespace Vandle {

using namespace Ostrel;

void PowerUpAnimateComponent::Initialize() {
    if (!m_listeners.IsEmpty() || !IsOwnerLive(*this)) return;
    auto* bob = new BobAction;
    bob->SetAmplitude(m_bobAmplitude);
    bob->SetFrequency(m_bobFrequency);
    bob->SetOffset(m_bobOffset);
    AddToBrain(GetOwnerId(), bob);
    m_listeners.Listen(*GetOwner(), "TriggerFired", MakeDelegate(this, &PowerUpAnimateComponent::OnTriggerFired));
}

void PowerUpAnimateComponent::Uninitialize() {
    m_listeners.UnlistenAll();
}

Component* PowerUpAnimateComponent::Clone() const {
    auto* copy = NewComponentOf<PowerUpAnimateComponent>();
    if (!copy) return nullptr;
    copy->m_bobFrequency = m_bobFrequency;
    copy->m_bobAmplitude = m_bobAmplitude;
    copy->m_bobOffset = m_bobOffset;
    copy->m_hasDeathEffect = m_hasDeathEffect;
    copy->m_deathEffect = m_deathEffect;
    return copy;
}

void PowerUpAnimateComponent::Serialize(Serializer* s) {
    s->SerializeFloat("bob-frequency", &m_bobFrequency);
    s->SerializeFloat("bob-amplitude", &m_bobAmplitude);
    s->SerializeFloat("bob-offset", &m_bobOffset);
    if (s->IsReading()) {
        if (s->SerializeString("DeathEffect", &m_deathEffect)) m_hasDeathEffect = true;
    } else if (m_hasDeathEffect) {
        s->SerializeString("DeathEffect", &m_deathEffect);
    }
}

void PowerUpAnimateComponent::ExposeProperties(TweakBarGroup* panel) {
    using Self = PowerUpAnimateComponent;
    panel->AddCallbackVar(
        "bob-frequency", kTweakFloat, [](const void* v, void* c) { static_cast<Self*>(c)->SetBobFrequency(*static_cast<const f32*>(v)); },
        [](void* v, void* c) { *static_cast<f32*>(v) = static_cast<const Self*>(c)->GetBobFrequency(); }, this);
    panel->AddCallbackVar(
        "bob-amplitude", kTweakFloat, [](const void* v, void* c) { static_cast<Self*>(c)->SetBobAmplitude(*static_cast<const f32*>(v)); },
        [](void* v, void* c) { *static_cast<f32*>(v) = static_cast<const Self*>(c)->GetBobAmplitude(); }, this);
    panel->AddCallbackVar(
        "bob-offset", kTweakFloat, [](const void* v, void* c) { static_cast<Self*>(c)->SetBobOffset(*static_cast<const f32*>(v)); },
        [](void* v, void* c) { *static_cast<f32*>(v) = static_cast<const Self*>(c)->GetBobOffset(); }, this);
}

Variant PowerUpAnimateComponent::ToVariant() { return Variant(this); }

void PowerUpAnimateComponent::SetBobFrequency(f32 value) {
    m_bobFrequency = value;
    SendBobUpdate();
}

void PowerUpAnimateComponent::SetBobAmplitude(f32 value) {
    m_bobAmplitude = value;
    SendBobUpdate();
}

void PowerUpAnimateComponent::SetBobOffset(f32 value) {
    m_bobOffset = value;
    SendBobUpdate();
}

void PowerUpAnimateComponent::SendBobUpdate() {
    if (!GetOwner()) return;
    SendObjectMessageFloat3(GetOwner(), "UpdateBobAction", m_bobAmplitude, m_bobFrequency, m_bobOffset);
}

void PowerUpAnimateComponent::OnTriggerFired() {
    if (!m_hasDeathEffect) return;
    // A run-time effect: never written into a room.
    if (Composition* effect = CreateGameObject(m_deathEffect, GetTransform(), "PowerUpAnimateComponent"))
        effect->SetSaveFlag(false);
}

}  // namespace Vandle
