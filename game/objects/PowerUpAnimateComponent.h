#pragma once
// Makes a pickup float ('puaC'): when its object goes live it starts a
// BobAction with "bob-amplitude", "bob-frequency" and "bob-offset", and when
// the pickup is taken (the local "TriggerFired" its giving component sends)
// it leaves its "DeathEffect" behind, placed from the pickup's transform.
// Removing the pickup is the giving component's task. The editor's bob
// fields change the running bob at once ("UpdateBobAction").

#include "engine/actions/ActionSupport.h"
#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

#include <string>

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class PowerUpAnimateComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("puaC");

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Ostrel::Serializer* serializer) override;
    void ExposeProperties(Ostrel::TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    void OnTriggerFired();

    f32 GetBobFrequency() const { return m_bobFrequency; }
    f32 GetBobAmplitude() const { return m_bobAmplitude; }
    f32 GetBobOffset() const { return m_bobOffset; }
    void SetBobFrequency(f32 value);
    void SetBobAmplitude(f32 value);
    void SetBobOffset(f32 value);
    bool HasDeathEffect() const { return m_hasDeathEffect; }
    const std::string& GetDeathEffect() const { return m_deathEffect; }

private:
    void SendBobUpdate();

    f32 m_bobFrequency = 0.0f;
    f32 m_bobAmplitude = 0.0f;
    f32 m_bobOffset = 0.0f;
    bool m_hasDeathEffect = false;
    std::string m_deathEffect;
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::PowerUpAnimateComponent);
