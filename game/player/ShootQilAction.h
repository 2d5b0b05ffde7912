#pragma once
// The companion's basic attack, the slingshot shot. At the start the
// companion is set down 2 units from the player along the aim (its height
// kept), "whoosh-sfx" plays and a "slingshot-attack-fx" object is made that
// follows the companion's transform (an AttachAction on the effect's brain;
// the effect's own archetype decides how long it lives). For 0.35 s the
// companion flies along the aim at the given speed, holding its lane
// (status 2), so the companion's orbit, bob and return check wait.
//
// The first contact that is not the player, a player trigger ('pctC'), a
// health pack ('hpkC'), an attack power-up ('patC') or a projectile
// ('proC'), and that has a collider, gets "DamageEnemy"(35, 0.1) and
// "KnockbackEnemy"(aim x speed x 2), with "low-thud-sfx"; the flight then
// ends at the next update. Contacts of one physics step all count. At the
// end the owner gets "FinishedAttack" and the companion's attacking flag is
// cleared (also when the action is ended early, so the player is never left
// without attacks).

#include "engine/actions/ActionSupport.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"
#include "game/player/QilAttackSupport.h"

namespace Ostrel {
struct CollisionData;
}

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class ShootQilAction final : public Ostrel::ActionBase {
public:
    static constexpr f32 kFlightTime = 0.35f;
    static constexpr f32 kStartDistance = 2.0f;
    static constexpr f32 kDamage = 35.0f;
    static constexpr f32 kDamageCoolDown = 0.1f;
    static constexpr f32 kKnockbackFactor = 2.0f;

    ShootQilAction(f32 x, f32 y, f32 z, u32 playerId) : m_direction(x, y, z), m_playerId(playerId) {}

    void SetSpeed(f32 speed) { m_speed = speed; }
    void SetAttackingFlag(const QilAttackFlag& flag) { m_attackingFlag = flag; }

    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void OnCollision(Ostrel::CollisionData* contact);

    bool IsFlying() const { return m_flying; }

private:
    static bool IsExcluded(const Ostrel::Composition& other);

    Ostrel::Vec3 m_direction;
    f32 m_speed = 10.0f;
    bool m_flying = true;
    f32 m_elapsed = 0.0f;
    QilAttackFlag m_attackingFlag;
    Ostrel::ComponentRef<Ostrel::MovementComponent> m_movement;
    u32 m_playerId;
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::ShootQilAction);
