#pragma once
// The companion's arc attack: a half circle swept around the player, 6 units
// out and 3 above, starting 90 degrees to one side of the aim and crossing
// it. The start refits the collider at three times the companion's scale
// (it is drawn at 0.75), plays "attack-arc-sfx", moves the companion to the
// first arc point in 0.05 s (a blocking TimedMoveToAction, which holds this
// action back meanwhile) and makes an "arc-attack-fx" that rides on it.
// Then each update advances the sweep by 950 degrees per second and writes
// the companion's position on the arc around the player's transform (found
// by handle, so the sweep follows a moving player and stands still when the
// player is gone); the companion's velocity is held at 0 meanwhile, so the
// move's last velocity does not carry it off the arc between updates. After
// 180 degrees the action ends with "TransformUpdated"
// (the collider shrinks back) and "FinishedAttack".
//
// Every contact during the sweep, of any kind of object with a collider,
// gets "DamageEnemy"(50, 0.2) and "KnockbackEnemy"(aim x 200); the
// receivers' own cool-downs limit repeated hits. The companion's attacking
// flag is cleared before "FinishedAttack", and also when the action is ended
// early.

#include "engine/actions/ActionSupport.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/Vec3.h"
#include "game/player/QilAttackSupport.h"

namespace Ostrel {
struct CollisionData;
}

namespace Vandle {

class ArcAttackAction final : public Ostrel::ActionBase {
public:
    static constexpr f32 kRadius = 6.0f;
    static constexpr f32 kHeight = 3.0f;
    static constexpr f32 kSweepSpeed = 950.0f;  // degrees per second
    static constexpr f32 kSweepAngle = 180.0f;
    static constexpr f32 kMoveTime = 0.05f;
    static constexpr f32 kColliderScale = 3.0f;
    static constexpr f32 kDamage = 50.0f;
    static constexpr f32 kDamageCoolDown = 0.2f;
    static constexpr f32 kKnockback = 200.0f;

    ArcAttackAction(f32 x, f32 y, f32 z, u32 playerId) : m_direction(x, y, z), m_playerId(playerId) {}

    void SetAttackingFlag(const QilAttackFlag& flag) { m_attackingFlag = flag; }

    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void OnCollision(Ostrel::CollisionData* contact);

    // The point of the arc at the swept angle (degrees) around a centre.
    Ostrel::Vec3 ArcPoint(const Ostrel::Vec3& centre, f32 angle) const;
    f32 GetStartAngle() const { return m_startAngle; }
    f32 GetAngle() const { return m_angle; }

private:
    Ostrel::Vec3 m_direction;
    u32 m_playerId;
    u32 m_playerTransformHandle = 0;
    bool m_flying = true;
    f32 m_angle = 0.0f;
    f32 m_startAngle = 0.0f;
    QilAttackFlag m_attackingFlag;
    Ostrel::ComponentRef<Ostrel::TransformComponent> m_transform;
    Ostrel::ComponentRef<Ostrel::MovementComponent> m_movement;
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::ArcAttackAction);
