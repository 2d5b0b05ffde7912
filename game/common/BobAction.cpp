#include "game/common/BobAction.h"

#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"

#include <cmath>
#include <vector>

LV_REFLECT_CLASS(Vandle::BobAction);

namespace Vandle {

using namespace Ostrel;

namespace {
constexpr f32 kTwoPi = 6.2831855f;
}

void BobAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    m_transform.Bind(owner);
    m_movement.Bind(owner);
    m_listeners.Listen(*owner, "UpdateBobAction", MakeDelegate(this, &BobAction::OnUpdateBobAction));
}

void BobAction::OnEnd() {
    m_listeners.UnlistenAll();
    ActionBase::OnEnd();
}

void BobAction::OnUpdateBobAction(f32 amplitude, f32 frequency, f32 offset) {
    m_amplitude = amplitude;
    m_frequency = frequency;
    m_offset = offset;
}

Composition* BobAction::FindTarget() {
    if (Composition* target = FindActionObject(m_targetId)) return target;
    ObjectManager* objects = ActionObjects();
    std::vector<u32> players;
    if (!objects || !objects->FindPlayerObjects(players)) return nullptr;
    m_targetId = players.front();
    return FindActionObject(m_targetId);
}

int BobAction::OnUpdate(f32 dt) {
    Composition* target = FindTarget();
    if (!target) return kActionRunning;
    m_angle = std::fmod(m_angle + dt, kTwoPi);
    TransformComponent* targetTransform = target->GetTransform();
    TransformComponent* transform = m_transform.Get();
    MovementComponent* movement = m_movement.Get();
    if (!targetTransform || !transform || !movement) return kActionRunning;
    const f32 wanted = std::sin(m_angle * m_frequency) * m_amplitude + targetTransform->GetPosition().y + m_offset;
    movement->Velocity().y = wanted - transform->GetPosition().y;
    return kActionRunning;
}

}  // namespace Vandle
