#pragma once
// The companion's fire attack: like the slingshot shot it is set down 2
// units from the player along the aim (its height kept) and flies along the
// aim for 0.35 s, here at the speed its creator gives (1.25 x "ShootSpeed"),
// drawn and colliding at twice its size (the scale doubled and refitted with
// "TransformUpdated"), with "whoosh-sfx" and a "firestarter-attack-fx"
// riding on it. It passes through everything but level geometry, whose
// first contact ends the flight at the next update, and the player, whom it
// ignores.
//
// Each other object it touches is hit once per flight: "DamageEnemy"(1, 0)
// and, when it has both a brain and a HealthComponent, a BurnAction of 25
// every 0.5 s for 4 s on its brain. The ids already hit are kept in a set
// that lives and dies with the action. At the end the drawn scale goes back
// to 0.75 with "TransformUpdated", the attacking flag is cleared and
// "FinishedAttack" sent.

#include "engine/actions/ActionSupport.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"
#include "game/common/LogOnce.h"
#include "game/player/QilAttackSupport.h"

#include <unordered_set>

namespace Ostrel {
struct CollisionData;
}

namespace Vandle {

class FirestarterAttackAction final : public Ostrel::ActionBase {
public:
    static constexpr f32 kFlightTime = 0.35f;
    static constexpr f32 kStartDistance = 2.0f;
    static constexpr f32 kScaleFactor = 2.0f;
    static constexpr f32 kDamage = 1.0f;
    static constexpr f32 kBurnDamage = 25.0f;
    static constexpr f32 kBurnTime = 4.0f;
    static constexpr f32 kBurnTick = 0.5f;

    FirestarterAttackAction(f32 x, f32 y, f32 z, u32 playerId) : m_direction(x, y, z), m_playerId(playerId) {}

    void SetSpeed(f32 speed) { m_speed = speed; }
    void SetAttackingFlag(const QilAttackFlag& flag) { m_attackingFlag = flag; }

    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void OnCollision(Ostrel::CollisionData* contact);

    f32 GetSpeed() const { return m_speed; }
    bool IsFlying() const { return m_flying; }

private:
    static void SetAlight(Ostrel::Composition& other);

    Ostrel::Vec3 m_direction;
    f32 m_speed = 50.0f;
    bool m_flying = true;
    f32 m_elapsed = 0.0f;
    QilAttackFlag m_attackingFlag;
    Ostrel::ComponentRef<Ostrel::MovementComponent> m_movement;
    u32 m_playerId;
    std::unordered_set<u32> m_hitIds;
    Ostrel::OwnerListeners m_listeners;
    ReportOnce m_reportedMovement;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::FirestarterAttackAction);
