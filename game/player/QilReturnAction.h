#pragma once
// Brings the companion back to the player: after every attack
// ("FinishedAttack"), and whenever the companion strays more than sqrt(80)
// (about 8.94) from the player while neither attacking nor returning, it
// locks the player's attacks ("LockAttacks"), turns off the companion's
// collision with dynamics and statics (so it passes through walls and
// enemies) and starts a TimedMoveToObjectAction of returnTime to 2 units
// above the player. That move holds lane 0 while it flies, so the
// companion's orbit, bob and this action's own checks wait for it; on its
// "ReachedTarget" the collision comes back and "UnlockAttacks" goes to the
// player. "BeganAttack" suspends the distance check and restores the
// collision. The companion creates it first, so it runs last in its lane.
//
// While its player is 0 or no longer live it sends the owner "LostPlayer"
// every step; the companion answers with "FoundPlayer"(id). Never finishes.

#include "engine/actions/ActionSupport.h"
#include "engine/components/CollisionComponent.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/TransformComponent.h"

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class QilReturnAction final : public Ostrel::ActionBase {
public:
    static constexpr f32 kStrayDistanceSquared = 80.0f;
    static constexpr f32 kReturnHeight = 2.0f;

    explicit QilReturnAction(u32 playerId = 0) : m_playerId(playerId) {}

    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void OnBeganAttack();
    void OnFinishedAttack();
    void OnReachedPlayer();
    void OnFoundPlayer(u32 id) { m_playerId = id; }

    u32 GetPlayerId() const { return m_playerId; }
    bool IsReturning() const { return m_returning; }
    bool IsAttacking() const { return m_attacking; }

private:
    void StartReturn(f32 seconds);
    void SetCollision(bool on);
    bool IsCompanionAttacking() const;
    void SendPlayer(const char* message) const;

    f32 m_returnTime = 0.15f;
    bool m_attacking = false;
    bool m_returning = false;
    Ostrel::ComponentRef<Ostrel::CollisionComponent> m_collision;
    Ostrel::ComponentRef<Ostrel::TransformComponent> m_transform;
    u32 m_playerId;
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::QilReturnAction);
