#pragma once
// One of the two fox bosses ('fboC'). It holds the fight's tuning and
// hands all of it to its brain's FoxBossAIAction, which it adds at start
// with the damage receiver 'dama', an ImmovableAction and a red flash
// 'flas'; then it plays "fox-boss-spawn-sfx" and reports its health.
//
// Every health report plays one of three damage sounds (Rand() % 3) and
// sends "BossHealthChanged" on "ui-fox0" for the first fox ("FirstFox"
// true, the one placed in the level) or "ui-fox1". Each time the first
// fox's health crosses 0.5 downwards, "fox-boss-second-obj" (whose
// archetype sets "FirstFox" false) is made at an emerge tile borrowed from
// the fox manager and given back at once; with no tile to borrow it appears
// where the first fox is. Touching the player pushes it away by 40 on the
// ground (not when right above it) and sends "DamagePlayer"("Damage", 0.5).
// Death: the bar to 0, "fox-boss-death-sfx", and the object is destroyed,
// which the fox manager counts.

#include "engine/actions/ActionSupport.h"
#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

#include <string>

namespace Ostrel {
struct CollisionData;
}

namespace Vandle {

using Ostrel::f32;
using Ostrel::s32;
using Ostrel::u32;

class FoxBossComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("fboC");
    static constexpr f32 kKnockback = 40.0f;
    static constexpr f32 kContactCoolDown = 0.5f;

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Ostrel::Serializer* serializer) override;
    void ExposeProperties(Ostrel::TweakBarGroup*) override {}
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    void OnObjectDead();
    void OnCollision(Ostrel::CollisionData* contact);
    void OnHealthChanged(f32 fraction);

    bool IsFirstFox() const { return m_firstFox; }
    f32 GetTailScaleModifier() const { return m_tailScaleModifier; }
    s32 GetSlamsBetweenRests() const { return m_slamsBetweenRests; }

private:
    void AddActions(Ostrel::Composition& owner);
    void BringSecondFox();

    f32 m_lastHealth = 1.0f;
    std::string m_projectileName = "fox-boss-projectile-obj";
    bool m_firstFox = true;
    f32 m_damage = 2.0f;
    f32 m_moveCircleDist = 7.5f;
    f32 m_moveCircleWeight = 0.5f;
    f32 m_moveTime = 4.0f;
    f32 m_moveSpeed = 25.0f;
    f32 m_moveSectionTime = 0.25f;
    f32 m_maxTurnAngle = 10.0f;
    s32 m_slamsBetweenRests = 3;
    s32 m_rockShowerMinRocks = 5;
    s32 m_rockShowerMaxRocks = 20;
    f32 m_rockShowerMinRadius = 5.0f;
    f32 m_rockShowerMaxRadius = 64.0f;
    f32 m_tailBurrowAnimLength = 2.16f;
    f32 m_tailFlourishAnimLength = 3.125f;
    f32 m_tailSlamAnimLength = 1.0f;
    f32 m_digUpAnimLength = 1.0f;
    f32 m_lookAroundAnimLength = 5.625f;
    f32 m_tailScaleModifier = 3.25f;
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::FoxBossComponent);
