#pragma once
// The actions that move the game camera, all running on the camera object's
// brain in lane 0. The brain runs its newest action first, so a route or an
// interpolation (added while the game runs) runs ahead of the chase and the
// shake (added when the camera object is made) and, while it blocks the
// lane, holds both back.
//
// PlayerCameraAction: follows the first player from behind (-z) and above:
// it aims at T = (P.x, 2, P.z), wants the camera at
// D = T + (0, sin a, -cos a) x distance, sets the height exactly and closes
// the smoothing fraction of the x and z gap per update (not scaled by dt);
// the look-at lags with the camera (T + Q' - D). The local
// "UpdatePlayerCameraAction"(distance, angle, smoothing) retunes it.
//
// CameraShakeAction: the global "CameraShake"(duration, frequency,
// magnitude) jolts the camera for duration seconds: each jolt lasts
// 1/frequency s, has amplitude (r1 + r2 + r3) x magnitude (r uniform in
// [-1, 1]) and a random direction in the camera's x-y plane, and a
// triangular envelope; an update that finds no running jolt draws a new one
// and leaves the camera where it is.
//
// CameraRouteAction: puts the camera on the first waypoint plus its offset,
// sends "CameraPathStarted", then chains one blocking CameraMoveToAction per
// waypoint (each tagged with a fresh id and listening for "TerminateAction").
// After the last one it sends "InterpolateCamera"(chase distance, chase
// angle, 1) so the camera glides back to the chase setting. The global
// "EndCameraFlyOver" ends it early, without that glide. Its end always sends
// "CameraPathFinished".
//
// CameraMoveToAction: moves the camera at most speed x dt per update towards
// its target and sends the owner's "WaypointReached" instead of moving once
// it starts an update less than 1 unit away.
//
// CameraInterpolateAction: chases the player with the distance and angle
// interpolated linearly over its duration, then writes the targets into the
// chase setting (PlayerCameraLogicComponent's editor setters) and sends the
// owner's "WaypointReached". "EndCameraFlyOver" ends it where it is.
//
// A camera object without a CameraComponent (or, where one is needed,
// without a PlayerCameraLogicComponent) is a data error: the action logs it
// once and leaves the camera alone.

#include "engine/actions/ActionSupport.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MathFunctions.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"
#include "engine/platform/SubscriptionList.h"
#include "game/common/LogOnce.h"

#include <string>
#include <vector>

namespace Ostrel {
class BrainComponent;
class CameraComponent;
}  // namespace Ostrel

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;
using Ostrel::Vec3;

class PlayerCameraLogicComponent;

// The height above the ground plane the chase camera aims at.
inline constexpr f32 kChaseTargetHeight = 2.0f;

// The live object of playerId when it has a transform; otherwise the first
// player object (playerId is updated). False when there is none.
bool FindChasedPlayer(u32& playerId, Vec3& position);

// One chase step: moves the camera towards the spot behind and above the
// player at position P, as PlayerCameraAction does.
void PlaceChaseCamera(Ostrel::CameraComponent& camera, const Vec3& player, f32 distance, f32 angleDegrees,
                      f32 smoothing);

// Logs "<what> on object <id> has no <component>: <consequence>" once per
// flag.
void LogCameraGapOnce(ReportOnce& logged, const char* what, u32 ownerId, const char* missing);

class PlayerCameraAction final : public Ostrel::ActionBase {
public:
    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void OnUpdatePlayerCameraAction(f32 distance, f32 angle, f32 smoothing);

    void SetChaseDistance(f32 distance) { m_chaseDistance = distance; }
    void SetSmoothingAmount(f32 smoothing) { m_smoothingAmount = smoothing; }
    void SetAngle(f32 degrees) { m_angle = degrees; }
    f32 GetChaseDistance() const { return m_chaseDistance; }
    f32 GetSmoothingAmount() const { return m_smoothingAmount; }
    f32 GetAngle() const { return m_angle; }

private:
    f32 m_smoothingAmount = 1.0f;
    f32 m_chaseDistance = 0.0f;
    f32 m_angle = 30.0f;
    Ostrel::ComponentRef<Ostrel::CameraComponent> m_camera;
    u32 m_playerId = 0;
    ReportOnce m_loggedNoCamera;
    Ostrel::OwnerListeners m_listeners;
};

class CameraShakeAction final : public Ostrel::ActionBase {
public:
    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void OnCameraShake(f32 duration, f32 frequency, f32 magnitude);

    f32 GetTimeLeft() const { return m_timeLeft; }
    f32 GetMagnitude() const { return m_magnitude; }
    f32 GetPeriod() const { return m_period; }

private:
    f32 m_magnitude = 0.5f;
    f32 m_timeLeft = 0.0f;
    f32 m_frequency = 1000.0f;
    f32 m_period = 1.0f / 1000.0f;
    // All three start at 0, so the first update of a shake draws a jolt.
    f32 m_joltTime = 0.0f;
    f32 m_amplitude = 0.0f;
    f32 m_joltAngle = 0.0f;
    Ostrel::ComponentRef<Ostrel::CameraComponent> m_camera;
    ReportOnce m_loggedNoCamera;
    Ostrel::SubscriptionList m_subscriptions;
};

class CameraMoveToAction final : public Ostrel::ActionBase {
public:
    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void OnEndCameraFlyOver() { m_ended = true; }

    void SetTarget(const Vec3& target) { m_target = target; }
    void SetSpeed(f32 speed) { m_speed = speed; }
    const Vec3& GetTarget() const { return m_target; }

private:
    Vec3 m_target{0.0f, 0.0f, 0.0f};
    f32 m_speed = 10.0f;
    Ostrel::ComponentRef<Ostrel::CameraComponent> m_camera;
    bool m_ended = false;
    ReportOnce m_loggedNoCamera;
    Ostrel::SubscriptionList m_subscriptions;
};

class CameraRouteAction final : public Ostrel::ActionBase {
public:
    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void OnWaypointReached();
    void OnEndCameraFlyOver() { m_finished = true; }

    void SetSpeed(f32 speed) { m_speed = speed; }
    void SetOffset(const Vec3& offset) { m_offset = offset; }
    void AddWaypoints(const std::vector<Vec3>& points);
    const std::vector<Vec3>& GetWaypoints() const { return m_waypoints; }
    const Vec3& GetOffset() const { return m_offset; }
    f32 GetSpeed() const { return m_speed; }
    u32 GetMoveActionId() const { return m_moveActionId; }

private:
    std::vector<Vec3> m_waypoints;
    Vec3 m_offset{0.0f, 0.0f, 0.0f};
    Ostrel::ComponentRef<Ostrel::CameraComponent> m_camera;
    Ostrel::ComponentRef<Ostrel::BrainComponent> m_brain;
    u32 m_moveActionId = 0;
    u32 m_nextWaypoint = 1;
    f32 m_speed = 10.0f;
    bool m_finished = false;
    ReportOnce m_loggedGap;
    Ostrel::OwnerListeners m_listeners;
    Ostrel::SubscriptionList m_subscriptions;
};

class CameraInterpolateAction final : public Ostrel::ActionBase {
public:
    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void OnEndCameraFlyOver() { m_ended = true; }
    // Ended by "EndCameraFlyOver": it finishes in its next update without
    // applying its targets.
    bool IsEnded() const { return m_ended; }

    void SetTargetDistance(f32 distance) { m_targetDistance = distance; }
    void SetStartDistance(f32 distance) { m_startDistance = distance; }
    void SetSmoothingAmount(f32 smoothing) { m_smoothingAmount = smoothing; }
    void SetTargetAngle(f32 degrees) { m_targetAngle = degrees; }
    void SetStartAngle(f32 degrees) { m_startAngle = degrees; }
    void SetDuration(f32 seconds) { m_duration = seconds; }
    f32 GetTargetDistance() const { return m_targetDistance; }
    f32 GetStartDistance() const { return m_startDistance; }
    f32 GetTargetAngle() const { return m_targetAngle; }
    f32 GetStartAngle() const { return m_startAngle; }
    f32 GetDuration() const { return m_duration; }
    f32 GetSmoothingAmount() const { return m_smoothingAmount; }

private:
    f32 m_targetDistance = 0.0f;
    f32 m_startDistance = 0.0f;
    f32 m_smoothingAmount = 0.0f;
    f32 m_targetAngle = 0.0f;
    f32 m_startAngle = 0.0f;
    u32 m_playerId = 0;
    f32 m_duration = 0.0f;
    f32 m_elapsed = 0.0f;
    Ostrel::ComponentRef<Ostrel::CameraComponent> m_camera;
    bool m_ended = false;
    ReportOnce m_loggedGap;
    Ostrel::SubscriptionList m_subscriptions;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::PlayerCameraAction);
LV_DECLARE_META_CLASS(Vandle::CameraShakeAction);
LV_DECLARE_META_CLASS(Vandle::CameraMoveToAction);
LV_DECLARE_META_CLASS(Vandle::CameraRouteAction);
LV_DECLARE_META_CLASS(Vandle::CameraInterpolateAction);
