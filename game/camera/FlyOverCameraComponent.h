#pragma once
// The level's opening flight ('focC'). On the global "CameraFlyOver"(points,
// count) it takes all keyboard and pad input (it becomes the direct handler
// of "KeyTriggered" and "ControllerUpdate"), smooths the route's corners,
// refines it into a Catmull-Rom curve and starts a CameraRouteAction on the
// camera object's brain at "ChaseSpeed" units per second, the camera held
// "ChaseDistance" away at "Angle" degrees above the route (towards -z). A
// skip key (Enter, Escape, Space, X, Z, pad 263..272) pressed more than
// "FlyOverCoolDown" seconds after the start sends "EndCameraFlyOver". When
// the route reports "CameraPathFinished" it sends "SetTutorialsActive"(true)
// and gives the input back.
//
// A route of fewer than two points is not flown: the component reports the
// end at once ("SetTutorialsActive"(true), "CameraPathFinished") and never
// takes the input, so whoever waits for the flight carries on. A component
// torn down mid-flight gives the input back. "ChaseSpeed" missing from the
// data is logged and taken as 10.
//
// The skip timer reads its own clock: the steady clock, or, when the engine
// runs with a fixed frame step (TAVRIN_FIXED_DT), the engine's frames times
// that step, so scripted runs skip at the same frame on any machine. Tests
// hand in their own clock (SetSkipClock).

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Timer.h"
#include "engine/core/VariantFunction.h"
#include "engine/core/Vec3.h"
#include "engine/platform/SubscriptionList.h"
#include "game/common/LogOnce.h"

#include <memory>
#include <vector>

namespace Ostrel {
struct ControllerData;
class IClock;
}  // namespace Ostrel

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;
using Ostrel::Vec3;

// Pulls each corner that turns by more than 40 degrees (and less than 140)
// towards the straight continuation of the segment before it, keeping
// sin 40 degrees of its sideways offset, and moves the point before it
// halfway towards the middle of its neighbours. In place and in order, so
// each corner sees the points already moved. Fewer than 3 points: unchanged.
void SmoothRouteCorners(std::vector<Vec3>& points);
// Inserts three Catmull-Rom points (t = 0.25, 0.5, 0.75) between each pair
// Pi, Pi+1, using Pi twice and Pi+2 (Pi+1 for the last pair) as the outer
// controls: n points become 4n - 3. Fewer than 3 points: unchanged.
void RefineRoute(std::vector<Vec3>& points);
Vec3 CatmullRom(const Vec3& v0, const Vec3& v1, const Vec3& v2, const Vec3& v3, f32 t);

class FlyOverCameraComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("focC");
    static constexpr f32 kDefaultChaseSpeed = 10.0f;

    FlyOverCameraComponent();
    ~FlyOverCameraComponent() override;

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Ostrel::Serializer* serializer) override;
    void ExposeProperties(Ostrel::TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    void OnCameraFlyOver(Vec3* points, int count);
    void OnKeyTriggered(int key, bool down);
    void OnControllerUpdate(Ostrel::ControllerData* data);
    void OnCameraPathFinished();

    // The clock must outlive the component; the timer restarts on it.
    void SetSkipClock(const Ostrel::IClock& clock);

    bool IsFlying() const { return m_flying; }
    f32 GetChaseDistance() const { return m_chaseDistance; }
    f32 GetChaseSpeed() const { return m_chaseSpeed; }
    f32 GetAngle() const { return m_angle; }
    f32 GetFlyOverCoolDown() const { return m_flyOverCoolDown; }
    f32 GetTimeSinceStart() const { return m_timeSinceStart; }

private:
    void ReportNoFlight();
    void ReleaseInput();

    f32 m_chaseDistance = 40.0f;
    f32 m_chaseSpeed = kDefaultChaseSpeed;
    f32 m_angle = 40.0f;
    std::unique_ptr<Ostrel::Timer> m_skipTimer;
    f32 m_timeSinceStart = 0.0f;
    f32 m_flyOverCoolDown = 0.5f;
    Ostrel::SubscriptionList m_globals;
    bool m_flying = false;
    ReportOnce m_loggedNoBrain;
    Ostrel::FunctionRef m_onPathFinished;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::FlyOverCameraComponent);
