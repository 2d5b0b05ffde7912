#pragma once
// The burrowing fox's brain. It alternates two phases for the fox's whole
// life:
//  - tunnelling, in legs of "TravelTime" seconds at "TunnelingSpeed": each
//    new leg turns the heading by a random angle within +/- "MaxTurnAngle",
//    then blends it ("CircleWeight") toward a point one unit along a circle
//    of "CircleDistance" around the player (the player found at start);
//    hidden tail mesh, no collision with dynamic bodies;
//  - surfacing, at the end of the first leg after "WorkTime" seconds of
//    work: a sequence of dig-up, panting look-around and dig-down
//    animations and sounds queued at the front of the brain's lane 0, with
//    collision on. While a step of it blocks, lane 0 behind it (this AI and
//    the rubble throwers) waits; the damage and flash lanes run on. The
//    first tick after the sequence starts tunnelling again.
// Sequences are added last step first: the brain puts each new action at
// the front, so they run in written order. Waits are (length - 0.01) s.
//
// Playback rates are a clip's natural length (duration x its set's rate)
// over the wanted length. A missing clip, or a wanted length of 0 or less,
// plays at rate 1.0, logged once per clip name.
//
// A tunnelling fox that touches a static, resolving obstacle whose centre
// is not below it (walls, not the floor; never a damage trap) turns back
// along its leg, at most once every half second. Never finishes.

#include "engine/actions/ActionSupport.h"
#include "engine/components/CollisionComponent.h"
#include "engine/components/MeshComponent.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/Vec3.h"

#include <string>

namespace Ostrel {
class BrainComponent;
struct CollisionData;
}  // namespace Ostrel

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class FoxAIAction final : public Ostrel::ActionBase {
public:
    static constexpr f32 kTurnDeadTime = 0.5f;
    static constexpr f32 kBlockShortening = 0.01f;

    void SetTunnelingSpeed(f32 speed) { m_tunnelingSpeed = speed; }
    void SetTravelTime(f32 seconds) { m_travelTime = seconds; }
    void SetMaxTurnAngle(f32 degrees) { m_maxTurnAngle = degrees; }
    void SetWorkTime(f32 seconds) { m_workTime = seconds; }
    void SetBreakLength(f32 seconds) { m_breakLength = seconds; }
    void SetCircleDistance(f32 distance) { m_circleDistance = distance; }
    void SetCircleWeight(f32 weight) { m_circleWeight = weight; }
    void SetDigUpAnimLength(f32 seconds) { m_digUpAnimLength = seconds; }
    void SetLookAroundAnimLength(f32 seconds) { m_lookAroundAnimLength = seconds; }

    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void OnCollision(Ostrel::CollisionData* contact);

    // The state tests and the editor read.
    bool IsTunnelling() const { return m_tunnelling; }
    const Ostrel::Vec3& GetHeading() const { return m_heading; }
    const Ostrel::Vec3& GetLegEnd() const { return m_legEnd; }
    f32 GetWorkTimer() const { return m_workTimer; }
    f32 GetDigUpSpeed() const { return m_digUpSpeed; }
    f32 GetDigDownSpeed() const { return m_digDownSpeed; }
    f32 GetLookSpeed() const { return m_lookSpeed; }
    bool GetCircleSense() const { return m_circleSense; }

    // The playback rate that makes the clip last wantedSeconds (see above).
    static f32 PlaybackRate(const std::string& clip, f32 wantedSeconds);

private:
    void ChooseHeading();
    void BeginTunnelling();
    void Surface();
    // The player's position, or false (the player is then forgotten).
    bool PlayerPosition(Ostrel::Vec3& position);
    void SetYawFromHeading();

    f32 m_travelTime = 1.0f;
    f32 m_travelTimer = 0.0f;
    f32 m_tunnelingSpeed = 10.0f;
    f32 m_maxTurnAngle = 10.0f;
    Ostrel::Vec3 m_legEnd{0.0f, 0.0f, 0.0f};
    Ostrel::Vec3 m_heading{1.0f, 0.0f, 0.0f};
    f32 m_circleDistance = 20.0f;
    f32 m_circleWeight = 0.15f;
    bool m_circleSense = true;
    f32 m_workTimer = 0.0f;
    f32 m_workTime = 5.0f;
    f32 m_breakLength = 2.0f;
    f32 m_timeSinceTurn = 0.0f;
    bool m_tunnelling = false;
    f32 m_digUpSpeed = 0.0f;
    f32 m_digDownSpeed = 0.0f;
    f32 m_lookSpeed = 0.0f;
    f32 m_digUpAnimLength = 1.0f;
    f32 m_lookAroundAnimLength = 5.625f;
    Ostrel::ComponentRef<Ostrel::TransformComponent> m_transform;
    Ostrel::ComponentRef<Ostrel::MovementComponent> m_movement;
    Ostrel::ComponentRef<Ostrel::CollisionComponent> m_collision;
    Ostrel::ComponentRef<Ostrel::MeshComponent> m_mesh;
    // The player's transform, found at start; forgotten once it is gone.
    Ostrel::ComponentRef<Ostrel::TransformComponent> m_player;
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::FoxAIAction);
