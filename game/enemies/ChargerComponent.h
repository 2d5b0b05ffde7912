#pragma once
// A slower charging enemy ('chgC') on the yak's brain: a charger brain
// ('brai') with a fixed threshold of 5 and a seek at speed 2. Touching the
// player adds 3 x its own velocity to the player's and sends the player
// "TakeDamage"(5) directly, past the player's damage cool-down, so every
// contact report hurts. It dies silently. Its keys "ChargeTime",
// "ChargeSpeed" and "WaitPeriod" are read-only in the editor.

#include "engine/actions/ActionSupport.h"
#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

namespace Ostrel {
struct CollisionData;
}

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class ChargerComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("chgC");
    static constexpr f32 kSeekSpeed = 2.0f;
    static constexpr f32 kPushFactor = 3.0f;
    static constexpr f32 kContactDamage = 5.0f;

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Ostrel::Serializer* serializer) override;
    void ExposeProperties(Ostrel::TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    void OnCollision(Ostrel::CollisionData* contact);
    void OnObjectDead();

    f32 GetChargeTime() const { return m_chargeTime; }
    f32 GetChargeSpeed() const { return m_chargeSpeed; }
    f32 GetWaitPeriod() const { return m_waitPeriod; }
    u32 GetChargePercentage() const { return u32(m_chargePercentage); }

private:
    int m_chargePercentage = 5;
    f32 m_waitPeriod = 0.5f;
    f32 m_chargeSpeed = 15.0f;
    f32 m_chargeTime = 2.0f;
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::ChargerComponent);
