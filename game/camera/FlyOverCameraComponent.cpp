#include "game/camera/FlyOverCameraComponent.h"

#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/components/ComponentSupport.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/Clock.h"
#include "engine/core/Composition.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "engine/platform/ControllerData.h"
#include "engine/platform/VirtualKeys.h"
#include "game/camera/CameraActions.h"
#include "game/common/GameSupport.h"

#include <algorithm>
#include <cmath>

LV_REFLECT_CLASS(Vandle::FlyOverCameraComponent);

namespace Vandle {

using namespace Ostrel;

namespace {

// Enter, Escape, Space, the attack keys, and the pad from Start to B.
bool IsSkipKey(int key) {
    return key == Vk::kReturn || key == Vk::kEscape || key == Vk::kSpace || key == 'X' || key == 'Z' ||
           (key >= Vk::kPadStart && key <= Vk::kPadB);
}

// Engine time of a fixed-step run: frames completed times the step the
// engine takes per frame. The engine's own fixed-step clock moves on every
// reading, so a second reader would make it run fast.
class EngineFrameClock final : public IClock {
public:
    i64 Frequency() const override { return kFrequency; }
    i64 Now() const override {
        const Engine* engine = Engine::Instance();
        if (!engine || !engine->GetRunSwitches().fixedDt) return 0;
        const double step = std::min(*engine->GetRunSwitches().fixedDt, double(Engine::kMaxFrameTime));
        return i64(double(engine->GetFrameCount()) * step * double(kFrequency));
    }

private:
    static constexpr i64 kFrequency = 1000000000;
};

const IClock& FlightClock() {
    static EngineFrameClock engineFrames;
    const Engine* engine = Engine::Instance();
    if (engine && engine->GetRunSwitches().fixedDt) return engineFrames;
    return DefaultClock();
}

}  // namespace

Vec3 CatmullRom(const Vec3& v0, const Vec3& v1, const Vec3& v2, const Vec3& v3, f32 t) {
    const f32 t2 = t * t;
    const f32 t3 = t2 * t;
    return (v1 * 2.0f + (v2 - v0) * t + (v0 * 2.0f - v1 * 5.0f + v2 * 4.0f - v3) * t2 +
            (-v0 + v1 * 3.0f - v2 * 3.0f + v3) * t3) *
           0.5f;
}

void SmoothRouteCorners(std::vector<Vec3>& points) {
    if (points.size() < 3) return;
    const f32 s = std::sin(0.6981317f);
    Vec3 previousDirection(0.0f, 0.0f, 0.0f);
    for (std::size_t cur = 1; cur < points.size(); ++cur) {
        const std::size_t prev = cur - 1;
        if (prev > 0) {
            const Vec3 segment = points[cur] - points[prev];
            const f32 length = segment.Length();
            const Vec3 direction = segment.Normalized();
            const f32 turn = direction.Cross(previousDirection).Length();
            if (turn > s) {
                const Vec3 foot = points[prev] + previousDirection * (direction.Dot(previousDirection) * length);
                points[cur] = foot + (points[cur] - foot) * s;
                points[prev] = (points[prev] + (points[prev - 1] + points[cur]) / 2.0f) / 2.0f;
            }
        }
        previousDirection = (points[cur] - points[prev]).Normalized();
    }
}

void RefineRoute(std::vector<Vec3>& points) {
    if (points.size() < 3) return;
    const std::vector<Vec3> original = points;
    const std::size_t n = original.size();
    points.clear();
    points.reserve(4 * n - 3);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const Vec3& p = original[i];
        const Vec3& next = original[i + 1];
        const Vec3& outer = i + 2 < n ? original[i + 2] : next;
        points.push_back(p);
        for (f32 t : {0.25f, 0.5f, 0.75f}) points.push_back(CatmullRom(p, p, next, outer, t));
    }
    points.push_back(original[n - 1]);
}

FlyOverCameraComponent::FlyOverCameraComponent() : m_skipTimer(std::make_unique<Timer>(FlightClock())) {}

FlyOverCameraComponent::~FlyOverCameraComponent() { ReleaseInput(); }

void FlyOverCameraComponent::SetSkipClock(const IClock& clock) { m_skipTimer = std::make_unique<Timer>(clock); }

void FlyOverCameraComponent::Initialize() {
    CoreSystem* core = GameCore();
    if (!m_globals.Empty() || !core || !IsOwnerLive(*this)) return;
    m_globals.Listen("CameraFlyOver", MakeDelegate(this, &FlyOverCameraComponent::OnCameraFlyOver));
}

void FlyOverCameraComponent::Uninitialize() {
    // Torn down mid-flight: the input handlers must not outlive the component.
    ReleaseInput();
    m_globals.Clear();
}

Component* FlyOverCameraComponent::Clone() const {
    auto* copy = NewComponentOf<FlyOverCameraComponent>();
    if (!copy) return nullptr;
    copy->m_chaseDistance = m_chaseDistance;
    copy->m_chaseSpeed = m_chaseSpeed;
    copy->m_angle = m_angle;
    copy->m_flyOverCoolDown = m_flyOverCoolDown;
    return copy;
}

void FlyOverCameraComponent::Serialize(Serializer* s) {
    s->SerializeFloat("ChaseDistance", &m_chaseDistance);
    const bool speedRead = s->SerializeFloat("ChaseSpeed", &m_chaseSpeed);
    s->SerializeFloat("Angle", &m_angle);
    s->SerializeFloat("FlyOverCoolDown", &m_flyOverCoolDown);
    if (s->IsReading() && !speedRead) {
        const std::string where = s->Where();
        LogErrorf("%s%sFlyOverCameraComponent has no \"ChaseSpeed\"; using %g\n", where.c_str(),
                    where.empty() ? "" : ": ", double(m_chaseSpeed));
    }
}

void FlyOverCameraComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddFloat("ChaseDistance", &m_chaseDistance, false);
    panel->AddFloat("ChaseSpeed", &m_chaseSpeed, false);
    panel->AddFloat("Angle", &m_angle, false);
    panel->AddFloat("FlyOverCoolDown", &m_flyOverCoolDown, false);
}

Variant FlyOverCameraComponent::ToVariant() { return Variant(this); }

void FlyOverCameraComponent::ReportNoFlight() {
    if (CoreSystem* core = GameCore()) {
        core->SendMessageBool("SetTutorialsActive", true);
        core->Send("CameraPathFinished");
    }
}

void FlyOverCameraComponent::OnCameraFlyOver(Vec3* points, int count) {
    if (!points || count < 2) {
        ReportNoFlight();
        return;
    }
    BrainComponent* brain = GetBrainComponentOf(GetOwner());
    if (!brain) {
        if (m_loggedNoBrain.First()) {
            LogErrorf("FlyOverCameraComponent: object '%s' has no BrainComponent; no fly-over\n",
                      GetOwner() ? GetOwner()->GetName().c_str() : "?");
        }
        ReportNoFlight();
        return;
    }
    CoreSystem* core = GameCore();
    if (!core) return;

    m_skipTimer->Tick();
    m_timeSinceStart = 0.0f;
    core->SetHandler("KeyTriggered", MakeDelegate(this, &FlyOverCameraComponent::OnKeyTriggered));
    core->SetHandler("ControllerUpdate", MakeDelegate(this, &FlyOverCameraComponent::OnControllerUpdate));
    if (!m_onPathFinished) {
        m_onPathFinished = MakeDelegate(this, &FlyOverCameraComponent::OnCameraPathFinished);
        core->Listen("CameraPathFinished", m_onPathFinished);
    }
    m_flying = true;

    std::vector<Vec3> route(points, points + count);
    SmoothRouteCorners(route);
    RefineRoute(route);

    const f32 a = m_angle * kRadiansPerDegree;
    auto* action = new CameraRouteAction();
    action->SetSpeed(m_chaseSpeed);
    action->SetOffset(Vec3(0.0f, std::sin(a) * m_chaseDistance, -std::cos(a) * m_chaseDistance));
    action->AddWaypoints(route);
    action->SetOwner(GetOwnerId());
    brain->AddAction(action);
}

void FlyOverCameraComponent::OnKeyTriggered(int key, bool down) {
    if (!down || !IsSkipKey(key)) return;
    m_skipTimer->Tick();
    m_timeSinceStart += m_skipTimer->GetDelta();
    if (m_timeSinceStart > m_flyOverCoolDown) {
        if (CoreSystem* core = GameCore()) core->Send("EndCameraFlyOver");
    }
}

void FlyOverCameraComponent::OnControllerUpdate(ControllerData*) {}

void FlyOverCameraComponent::OnCameraPathFinished() {
    if (CoreSystem* core = GameCore()) core->SendMessageBool("SetTutorialsActive", true);
    ReleaseInput();
}

void FlyOverCameraComponent::ReleaseInput() {
    CoreSystem* core = GameCore();
    if (m_flying && core) {
        core->ClearHandler("KeyTriggered");
        core->ClearHandler("ControllerUpdate");
    }
    m_flying = false;
    if (m_onPathFinished) {
        if (core) core->Unlisten("CameraPathFinished", m_onPathFinished);
        m_onPathFinished = FunctionRef();
    }
}

}  // namespace Vandle
