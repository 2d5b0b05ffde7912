#include "engine/actions/WaveAction.h"

#include <cmath>

namespace Ostrel {

void WaveAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    m_transform.Bind(owner);
}

int WaveAction::OnUpdate(f32 dt) {
    TransformComponent* transform = m_transform.Get();
    if (!transform) return kActionFinished;
    m_angle = std::fmod(m_angle + dt, 6.2831855f);
    Vec3 position = transform->GetPosition();
    position.x = m_centre.x + std::sin(m_angle * m_frequency) * m_amplitude;
    position.z = m_centre.z + std::cos(m_angle * m_frequency) * m_amplitude;
    transform->SetPosition(position);
    return kActionRunning;
}

}  // namespace Ostrel
