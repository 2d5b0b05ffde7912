#include "game/camera/CameraActions.h"

#include "engine/actions/RandomFloat.h"
#include "engine/base/Log.h"
#include "engine/components/CameraComponent.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/VarFun_Delegate.h"
#include "game/camera/PlayerCameraLogicComponent.h"

#include <algorithm>
#include <cmath>

LV_REFLECT_CLASS(Vandle::PlayerCameraAction);
LV_REFLECT_CLASS(Vandle::CameraShakeAction);
LV_REFLECT_CLASS(Vandle::CameraMoveToAction);
LV_REFLECT_CLASS(Vandle::CameraRouteAction);
LV_REFLECT_CLASS(Vandle::CameraInterpolateAction);

namespace Vandle {

using namespace Ostrel;

bool FindChasedPlayer(u32& playerId, Vec3& position) {
    Composition* player = FindActionObject(playerId);
    if (!player || !player->GetTransform()) {
        player = nullptr;
        std::vector<u32> ids;
        ObjectManager* objects = ActionObjects();
        if (objects) objects->FindPlayerObjects(ids);
        for (u32 id : ids) {
            Composition* candidate = objects->GetObject(id);
            if (candidate && candidate->GetTransform()) {
                player = candidate;
                playerId = id;
                break;
            }
        }
    }
    if (!player) return false;
    position = player->GetTransform()->GetPosition();
    return true;
}

void PlaceChaseCamera(CameraComponent& camera, const Vec3& player, f32 distance, f32 angleDegrees,
                      f32 smoothing) {
    const Vec3 target(player.x, kChaseTargetHeight, player.z);
    const f32 a = angleDegrees * kRadiansPerDegree;
    const Vec3 desired(player.x, kChaseTargetHeight + std::sin(a) * distance, player.z - std::cos(a) * distance);
    const Vec3 current = camera.GetPosition();
    const Vec3 next(current.x + (desired.x - current.x) * smoothing, desired.y,
                    current.z + (desired.z - current.z) * smoothing);
    // The look-at lags with the camera, so the view keeps the ideal direction.
    const Vec3 lookAt = target + (next - desired);
    camera.SetLookAt(lookAt.x, lookAt.y, lookAt.z);
    camera.SetPositionKeepLookAt(next.x, next.y, next.z);
}

void LogCameraGapOnce(ReportOnce& logged, const char* what, u32 ownerId, const char* missing) {
    if (!logged.First()) return;
    LogErrorf("%s: the camera object 0x%.8x has no %s; the camera is left alone\n", what, ownerId, missing);
}

namespace {

CameraComponent* CameraOrLog(const ComponentRef<CameraComponent>& ref, ReportOnce& logged, const char* what,
                             u32 ownerId) {
    CameraComponent* camera = ref.Get();
    if (!camera) LogCameraGapOnce(logged, what, ownerId, "CameraComponent");
    return camera;
}

void SendOnOwner(u32 ownerId, const char* message) {
    if (Composition* owner = FindActionObject(ownerId)) owner->Send(message);
}

}  // namespace

// ---- PlayerCameraAction ------------------------------------------------------

void PlayerCameraAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    m_camera.Bind(owner);
    m_listeners.Listen(*owner, "UpdatePlayerCameraAction",
                       MakeDelegate(this, &PlayerCameraAction::OnUpdatePlayerCameraAction));
}

void PlayerCameraAction::OnEnd() {
    m_listeners.UnlistenAll();
    ActionBase::OnEnd();
}

void PlayerCameraAction::OnUpdatePlayerCameraAction(f32 distance, f32 angle, f32 smoothing) {
    m_chaseDistance = distance;
    m_angle = angle;
    m_smoothingAmount = smoothing;
}

int PlayerCameraAction::OnUpdate(f32) {
    Vec3 player;
    if (!FindChasedPlayer(m_playerId, player)) return kActionRunning;
    CameraComponent* camera = CameraOrLog(m_camera, m_loggedNoCamera, "PlayerCameraAction", GetOwner());
    if (camera) PlaceChaseCamera(*camera, player, m_chaseDistance, m_angle, m_smoothingAmount);
    return kActionRunning;
}

// ---- CameraShakeAction -------------------------------------------------------

void CameraShakeAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    m_camera.Bind(owner);
    if (m_subscriptions.Empty())
        m_subscriptions.Listen("CameraShake", MakeDelegate(this, &CameraShakeAction::OnCameraShake));
    m_period = 1.0f / m_frequency;
}

void CameraShakeAction::OnEnd() {
    m_subscriptions.Clear();
    ActionBase::OnEnd();
}

void CameraShakeAction::OnCameraShake(f32 duration, f32 frequency, f32 magnitude) {
    // A frequency of 0 (or a non-finite value) would make an endless jolt
    // whose envelope is NaN, and the camera would vanish.
    if (!(frequency > 0.0f) || !std::isfinite(frequency) || !std::isfinite(duration) ||
        !std::isfinite(magnitude)) {
        LogErrorf("CameraShakeAction: shake (%g, %g, %g) ignored: the frequency must be above 0 and all "
                  "values finite\n",
                  double(duration), double(frequency), double(magnitude));
        return;
    }
    m_timeLeft = duration;
    m_frequency = frequency;
    m_period = 1.0f / frequency;
    m_magnitude = magnitude;
}

int CameraShakeAction::OnUpdate(f32 dt) {
    if (m_timeLeft <= 0.0f) return kActionRunning;
    m_timeLeft -= dt;
    if (m_joltTime > 0.0f) {
        CameraComponent* camera = CameraOrLog(m_camera, m_loggedNoCamera, "CameraShakeAction", GetOwner());
        const f32 x = (m_joltTime - m_period / 2.0f) / m_period;
        const f32 envelope = (1.0f - std::fabs(x)) * m_amplitude;
        if (camera) {
            Vec3 p = camera->GetPosition();
            p.x += std::cos(m_joltAngle) * envelope;
            p.y += std::sin(m_joltAngle) * envelope;
            camera->SetPosition(p.x, p.y, p.z);
        }
        m_joltTime -= dt;
    } else {
        const f32 r1 = RandomFloat(-1.0f, 1.0f);
        const f32 r2 = RandomFloat(-1.0f, 1.0f);
        const f32 r3 = RandomFloat(-1.0f, 1.0f);
        m_amplitude = (r1 + r2 + r3) * m_magnitude;
        m_joltTime = m_period;
        m_joltAngle = RandomFloat(0.0f, 360.0f) * kRadiansPerDegree;
    }
    return kActionRunning;
}

// ---- CameraMoveToAction ------------------------------------------------------

void CameraMoveToAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    m_camera.Bind(owner);
    if (m_subscriptions.Empty())
        m_subscriptions.Listen("EndCameraFlyOver", MakeDelegate(this, &CameraMoveToAction::OnEndCameraFlyOver));
}

void CameraMoveToAction::OnEnd() {
    m_subscriptions.Clear();
    ActionBase::OnEnd();
}

int CameraMoveToAction::OnUpdate(f32 dt) {
    CameraComponent* camera = CameraOrLog(m_camera, m_loggedNoCamera, "CameraMoveToAction", GetOwner());
    if (m_ended) return kActionFinished;
    // Without a camera the move counts as done, so a route cannot hang on it.
    const Vec3 d = camera ? m_target - camera->GetPosition() : Vec3(0.0f, 0.0f, 0.0f);
    if (d.LengthSquared() < 1.0f) {
        SendOnOwner(GetOwner(), "WaypointReached");
        return kActionFinished;
    }
    const f32 length = d.Length();
    const f32 step = std::min(m_speed * dt, length);
    const Vec3 p = camera->GetPosition() + d * (step / length);
    camera->SetPosition(p.x, p.y, p.z);
    return kActionRunning;
}

// ---- CameraRouteAction -------------------------------------------------------

void CameraRouteAction::AddWaypoints(const std::vector<Vec3>& points) {
    m_waypoints.insert(m_waypoints.end(), points.begin(), points.end());
}

void CameraRouteAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    m_camera.Bind(owner);
    m_brain.Bind(owner);
    CameraComponent* camera = m_camera.Get();
    if (m_waypoints.empty() || !camera || !m_brain.Get()) {
        // Nothing to fly: end at the next update, which still reports
        // "CameraPathFinished" so whoever waits for the route carries on.
        if (m_loggedGap.First()) {
            LogErrorf("CameraRouteAction: camera object 0x%.8x has %s; the route ends at once\n", GetOwner(),
                      m_waypoints.empty() ? "no waypoints" : (!camera ? "no CameraComponent" : "no BrainComponent"));
        }
        m_finished = true;
        return;
    }
    const Vec3 start = m_waypoints[0] + m_offset;
    camera->SetPosition(start.x, start.y, start.z);
    camera->SetLookAt(m_waypoints[0].x, m_waypoints[0].y, m_waypoints[0].z);
    if (CoreSystem* core = ActionCore()) core->Send("CameraPathStarted");
    m_listeners.Listen(*owner, "WaypointReached", MakeDelegate(this, &CameraRouteAction::OnWaypointReached));
    if (m_subscriptions.Empty())
        m_subscriptions.Listen("EndCameraFlyOver", MakeDelegate(this, &CameraRouteAction::OnEndCameraFlyOver));
    OnWaypointReached();
}

void CameraRouteAction::OnWaypointReached() {
    if (m_finished) return;
    if (m_nextWaypoint < m_waypoints.size()) {
        BrainComponent* brain = m_brain.Get();
        Engine* engine = Engine::Instance();
        if (!brain || !engine) {
            m_finished = true;
            return;
        }
        auto* move = new CameraMoveToAction();
        move->SetSpeed(m_speed);
        move->SetTarget(m_waypoints[m_nextWaypoint] + m_offset);
        m_moveActionId = engine->NextUniqueId();
        move->SetId(m_moveActionId);
        move->SetListenTerminate(true);
        move->SetBlocking(true);
        move->SetOwner(GetOwner());
        move->SetLane(GetLane());
        ++m_nextWaypoint;
        brain->AddAction(move);
        return;
    }
    m_moveActionId = 0;
    m_finished = true;
    Composition* owner = FindActionObject(GetOwner());
    auto* chase = owner ? owner->GetComponentAs<PlayerCameraLogicComponent>() : nullptr;
    if (!chase) {
        LogCameraGapOnce(m_loggedGap, "CameraRouteAction", GetOwner(), "PlayerCameraLogicComponent");
        return;
    }
    const f32 seconds = 1.0f;
    if (CoreSystem* core = ActionCore())
        core->SendMessageFloat3("InterpolateCamera", chase->GetChaseDistance(), chase->GetAngle(), seconds);
}

int CameraRouteAction::OnUpdate(f32) { return m_finished ? kActionFinished : kActionBlocking; }

void CameraRouteAction::OnEnd() {
    Composition* owner = FindActionObject(GetOwner());
    m_listeners.UnlistenAll();
    if (CoreSystem* core = ActionCore()) core->Send("CameraPathFinished");
    // The running move listens on the camera object, so the id goes there.
    if (owner) SendObjectMessageUInt(owner, "TerminateAction", m_moveActionId);
    m_subscriptions.Clear();
    ActionBase::OnEnd();
}

// ---- CameraInterpolateAction -------------------------------------------------

void CameraInterpolateAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    m_camera.Bind(owner);
    if (m_subscriptions.Empty())
        m_subscriptions.Listen("EndCameraFlyOver", MakeDelegate(this, &CameraInterpolateAction::OnEndCameraFlyOver));
}

void CameraInterpolateAction::OnEnd() {
    m_subscriptions.Clear();
    ActionBase::OnEnd();
}

int CameraInterpolateAction::OnUpdate(f32 dt) {
    if (m_ended) return kActionFinished;
    Vec3 player;
    if (!FindChasedPlayer(m_playerId, player)) return kActionRunning;
    m_elapsed += dt;
    Composition* owner = FindActionObject(GetOwner());
    if (m_elapsed > m_duration) {
        SendOnOwner(GetOwner(), "WaypointReached");
        auto* chase = owner ? owner->GetComponentAs<PlayerCameraLogicComponent>() : nullptr;
        if (chase) {
            chase->SetAngle(m_targetAngle);
            chase->SetChaseDistance(m_targetDistance);
        } else {
            LogCameraGapOnce(m_loggedGap, "CameraInterpolateAction", GetOwner(), "PlayerCameraLogicComponent");
        }
        return kActionFinished;
    }
    const f32 k = m_elapsed / m_duration;
    const f32 angle = m_startAngle + (m_targetAngle - m_startAngle) * k;
    const f32 distance = m_startDistance + (m_targetDistance - m_startDistance) * k;
    if (CameraComponent* camera = CameraOrLog(m_camera, m_loggedGap, "CameraInterpolateAction", GetOwner()))
        PlaceChaseCamera(*camera, player, distance, angle, m_smoothingAmount);
    return kActionRunning;
}

}  // namespace Vandle
