#include "game/bosses/FoxBossRockShowerAction.h"
#include "game/common/ObjectCreation.h"

#include "engine/components/MovementComponent.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/MathFunctions.h"
#include "engine/core/Reflect.h"

#include <cmath>

LV_REFLECT_CLASS(Vandle::FoxBossRockShowerAction);

namespace Vandle {

using namespace Ostrel;

namespace {
}

s32 FoxBossRockShowerAction::RockCount() const {
    if (m_radius > m_maxRadius || m_radius < m_minRadius) return 0;
    // Equal limits: the radius is both ends; no division by their span.
    if (!(m_maxRadius > m_minRadius)) return m_maxRocks;
    const f32 t = (m_radius - m_minRadius) / (m_maxRadius - m_minRadius);
    return s32(std::trunc(f32(m_maxRocks - m_minRocks) * t)) + m_minRocks;
}

void FoxBossRockShowerAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    m_transform.Bind(owner);
    if (CoreSystem* core = ActionCore()) core->SendMessageFloat3("CameraShake", 0.5f, 75.0f, 2.5f);
    ActionBase::OnStart();
}

int FoxBossRockShowerAction::OnUpdate(f32) {
    const s32 count = RockCount();
    if (count <= 0) return kActionFinished;
    const f32 step = (m_maxAngle - m_minAngle) / f32(count);
    f32 a = m_minAngle;
    for (s32 i = 0; i < count; ++i, a += step) {
        // Each creation may move the component tables: take the boss's
        // transform afresh.
        TransformComponent* source = m_transform.Get();
        if (!source) break;
        Composition* rock = CreateGameObject(m_projectileName, source, "FoxBossRockShowerAction");
        auto* movement = rock ? rock->GetComponentAs<MovementComponent>() : nullptr;
        if (!movement) continue;
        if (TransformComponent* transform = rock->GetTransform()) transform->Rotation().y = a;
        Vec3 velocity = movement->GetVelocity();
        velocity.x = -std::sin(a * kRadiansPerDegree) * m_radius / m_flightTime;
        velocity.z = -std::cos(a * kRadiansPerDegree) * m_radius / m_flightTime;
        movement->SetVelocity(velocity);
    }
    return kActionFinished;
}

}  // namespace Vandle
