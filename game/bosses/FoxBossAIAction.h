#pragma once
// The fox boss's brain: one lane-0 action that never finishes. The boss
// spends the fight underground, in straight sections of "MoveSectionTime"
// at "MoveSpeed", each turned at random within +/- "MaxTurnAngle" and
// blended ("MoveCircleWeight") toward a point beside the player at
// "MoveCircleDist" (the player found at start). At the first section end
// after strictly more than "MoveTime" underground it surfaces, in a fixed
// cycle kept by a counter modulo ("SlamsBetweenRests" + 1):
//  - counter 0: an emergence at an emerge tile borrowed from the fox
//    manager: the body form (transform scale / "TailScaleModifier", shadow
//    scale x it), a mound, dig-up, three rings of rocks at the player's
//    distance D, D + 15 and D - 15, then a panting look-around;
//  - otherwise a tail attack: the tail mesh, its collider moved back by
//    half its depth, a mound, a flourish and three slams at 0, +45 and -45
//    degrees from the player's direction, each launching a tremor.
// The first pass after a surfacing leaves the surface: after a tail attack
// the tail is retracted (collider back, mound gone, mesh hidden); after an
// emergence the boss burrows (the tile is given back, the mound goes after
// the dig, the tail form's scale is set again) and the counter advances. A
// fresh boss is above ground with the counter at 0, so it burrows at once
// and its first surfacing is a tail attack.
//
// Each surfacing and the burrow is a sequence of actions queued ahead of
// this one on the brain, last step first (the brain puts each new action at
// the front); its timed blocks hold lane 0, and with it this AI, until it
// has played. Surfaced, the boss collides with dynamic bodies; underground
// it does not, and a static, resolving obstacle whose centre is not below
// it (never a damage trap) turns it back along its section, at most once
// every half second.
//
// The tile is lent by "GetFoxEmergePoint"(u32*) and given back with
// "ReleaseFoxEmergePoint"(u32), also when the boss goes while it holds one.
// Without a tile the boss emerges where it is, throwing over -90..90.
// Without a player it only turns at random and throws no rocks.

#include "engine/actions/ActionSupport.h"
#include "engine/components/CollisionComponent.h"
#include "engine/components/MeshComponent.h"
#include "engine/components/MovementComponent.h"
#include "engine/components/ShadowComponent.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/Vec3.h"

#include <string>
#include <vector>

namespace Ostrel {
class BrainComponent;
struct CollisionData;
}  // namespace Ostrel

namespace Vandle {

using Ostrel::f32;
using Ostrel::s32;
using Ostrel::u32;

class FoxBossAIAction final : public Ostrel::ActionBase {
public:
    static constexpr f32 kTurnDeadTime = 0.5f;
    static constexpr f32 kBlockShortening = 0.01f;
    static constexpr f32 kRingStep = 15.0f;
    static constexpr f32 kSlamAngle = 45.0f;

    // The tuning, all set by the fox boss component before the start.
    void SetMovement(f32 sectionTime, f32 speed, f32 maxTurnAngle, f32 moveTime) {
        m_sectionTime = sectionTime;
        m_moveSpeed = speed;
        m_maxTurnAngle = maxTurnAngle;
        m_moveTime = moveTime;
    }
    void SetCircling(f32 distance, f32 weight) {
        m_circleDistance = distance;
        m_circleWeight = weight;
    }
    // Surfacings per cycle ("SlamsBetweenRests" + 1); below 1 counts as 1.
    void SetCycleLength(s32 length) { m_cycleLength = length < 1 ? 1 : length; }
    void SetRockShower(const std::string& projectile, f32 minRadius, f32 maxRadius, s32 minRocks, s32 maxRocks) {
        m_projectileName = projectile;
        m_minRadius = minRadius;
        m_maxRadius = maxRadius;
        m_minRocks = minRocks;
        m_maxRocks = maxRocks;
    }
    void SetAnimLengths(f32 digUp, f32 tailSlam, f32 tailBurrow, f32 tailFlourish, f32 lookAround) {
        m_digUpLength = digUp;
        m_tailSlamLength = tailSlam;
        m_tailBurrowLength = tailBurrow;
        m_tailFlourishLength = tailFlourish;
        m_lookAroundLength = lookAround;
    }
    void SetTailScaleModifier(f32 modifier) { m_tailScaleModifier = modifier; }

    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void OnCollision(Ostrel::CollisionData* contact);

    bool IsAboveGround() const { return m_aboveGround; }
    s32 GetSlamCounter() const { return m_slamCounter; }
    const Ostrel::Vec3& GetHeading() const { return m_heading; }
    u32 GetHeldTile() const { return m_holdsTile ? m_heldTile : 0; }
    u32 GetMound() const { return m_mound; }
    f32 GetSlamRate() const { return m_slamRate; }
    f32 GetDigUpRate() const { return m_digUpRate; }

private:
    void ChooseHeading();
    void Surface();
    void Dive();
    void TailAttack();
    void RetractTail();
    void Emerge();
    void Burrow();
    void ReleaseTile();
    void SetYawFromHeading();
    void ScaleShadow(f32 factor);
    void MoveColliderZ(f32 halves);
    void TransformUpdated();
    void DestroyMound();

    f32 m_sectionTime = 0.25f;
    f32 m_sectionTimer = 0.0f;
    f32 m_moveSpeed = 25.0f;
    f32 m_maxTurnAngle = 10.0f;
    Ostrel::Vec3 m_sectionEnd{0.0f, 0.0f, 0.0f};
    Ostrel::Vec3 m_heading{1.0f, 0.0f, 0.0f};
    f32 m_circleDistance = 7.5f;
    f32 m_circleWeight = 0.5f;
    bool m_circleDirection = true;
    f32 m_timeUnderground = 0.0f;
    f32 m_moveTime = 4.0f;
    bool m_aboveGround = true;
    s32 m_slamCounter = 0;
    s32 m_cycleLength = 4;
    f32 m_timeSinceBounce = 0.0f;
    std::string m_projectileName = "fox-boss-projectile-obj";
    f32 m_minRadius = 5.0f;
    f32 m_maxRadius = 64.0f;
    s32 m_minRocks = 5;
    s32 m_maxRocks = 20;
    f32 m_tailSlamLength = 1.0f;
    f32 m_slamRate = 1.0f;
    f32 m_tailFlourishLength = 3.125f;
    f32 m_flourishRate = 1.0f;
    f32 m_tailBurrowLength = 2.16f;
    f32 m_tailDownRate = 1.0f;
    f32 m_digUpLength = 1.0f;
    f32 m_digUpRate = 1.0f;
    f32 m_digDownRate = 1.0f;
    f32 m_lookAroundLength = 5.625f;
    f32 m_lookRate = 1.0f;
    f32 m_tailScaleModifier = 3.25f;
    u32 m_heldTile = 0;
    bool m_holdsTile = false;
    u32 m_mound = 0;
    Ostrel::ComponentRef<Ostrel::TransformComponent> m_transform;
    Ostrel::ComponentRef<Ostrel::MovementComponent> m_movement;
    Ostrel::ComponentRef<Ostrel::CollisionComponent> m_collision;
    Ostrel::ComponentRef<Ostrel::MeshComponent> m_mesh;
    Ostrel::ComponentRef<Ostrel::ShadowComponent> m_shadow;
    Ostrel::ComponentRef<Ostrel::TransformComponent> m_player;
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::FoxBossAIAction);
