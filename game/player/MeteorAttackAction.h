#pragma once
// The companion's meteor attack. The companion is thrown up and along the
// aim (velocity (0, 70, 0) + aim x 10 under an acceleration of (0, -200, 0))
// with "whoosh-sfx" and a "meteor-attack-fx" riding on it; in the air it
// grows by 5 per second on each axis and its shadow by 10 per second.
//
// Landing: a contact with level geometry ('lgeo') whose collider top lies
// below the companion's collider centre (other y + other size.y / 2 <
// companion y + companion centre.y), so walls that rise past the companion
// do not count. The companion falls faster than a thin floor is thick, so
// its height before the frame's physics counts too: a centre that dropped
// through the top within the frame still lands, set back to that height. The companion stops, stops resolving against statics (the
// large collider may then overlap the floor), refits its collider at
// (5, 3, 5) while drawn at 0.75, shakes the camera ("CameraShake"(0.25, 75,
// 0.5)), plays "attack-meteor-sfx" and leaves a "rumble-obj" where it lands.
// From the landing on, for 0.1 s, every contact (the floor included) gets
// "DamageEnemy"(100, 0.2) and is hurled away: "KnockbackEnemy" of 100 x the
// normalised (dx, 20 - |d|, dz), d from the companion to the other, so the
// nearer an object the steeper it flies; an object right at the companion
// goes straight up with 2000.
//
// The action ends after the landing window with "FinishedAttack", the drawn
// scale 0.75 and the shadow back at 1; its end always stops the companion,
// turns "ResolveWithStatics" back on and refits the collider. A meteor that
// has found no ground after 3 s of flight ends the same way without a
// landing (logged once), so the player is never left without its attacks.

#include "engine/actions/ActionSupport.h"
#include "engine/components/MovementComponent.h"
#include "engine/components/ShadowComponent.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/Vec3.h"
#include "game/common/LogOnce.h"
#include "game/player/QilAttackSupport.h"

namespace Ostrel {
struct CollisionData;
}

namespace Vandle {

class MeteorAttackAction final : public Ostrel::ActionBase {
public:
    static constexpr f32 kLaunchUp = 70.0f;
    static constexpr f32 kLaunchAlong = 10.0f;
    static constexpr f32 kFall = -200.0f;
    static constexpr f32 kGrowth = 5.0f;
    static constexpr f32 kShadowGrowth = 10.0f;
    static constexpr f32 kLandingWindow = 0.1f;
    static constexpr f32 kGroundSearchTime = 3.0f;
    static constexpr f32 kDamage = 100.0f;
    static constexpr f32 kDamageCoolDown = 0.2f;
    static constexpr f32 kKnockback = 100.0f;
    static constexpr f32 kKnockbackLift = 20.0f;

    MeteorAttackAction(f32 x, f32 y, f32 z) : m_direction(x, y, z) {}

    void SetAttackingFlag(const QilAttackFlag& flag) { m_attackingFlag = flag; }

    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void OnCollision(Ostrel::CollisionData* contact);

    bool HasLanded() const { return m_landed; }
    bool IsFlying() const { return m_flying; }

private:
    bool IsLanding(const Ostrel::Composition& other) const;
    // A companion whose centre fell below the top during the frame is put
    // back at its height before the frame.
    void SetBackAboveTop(const Ostrel::Composition& other);
    void Land(Ostrel::Composition& owner);
    void Hurl(u32 otherId);
    void Grow(f32 dt);
    void SetShadowScale(f32 x, f32 z);

    Ostrel::Vec3 m_direction;
    bool m_flying = true;
    bool m_landed = false;
    f32 m_timer = 0.0f;
    QilAttackFlag m_attackingFlag;
    Ostrel::ComponentRef<Ostrel::MovementComponent> m_movement;
    Ostrel::ComponentRef<Ostrel::TransformComponent> m_transform;
    Ostrel::ComponentRef<Ostrel::ShadowComponent> m_shadow;
    Ostrel::OwnerListeners m_listeners;
    f32 m_airTime = 0.0f;
    bool m_everLanded = false;
    ReportOnce m_reportedMovement;
    ReportOnce m_reportedTransform;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::MeteorAttackAction);
