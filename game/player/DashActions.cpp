#include "game/player/DashActions.h"

#include "engine/components/ObjectMessages.h"
#include "engine/core/Composition.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/MathFunctions.h"
#include "engine/core/Reflect.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/graphics/animation/FidgetComponent.h"
#include "game/common/GameSupport.h"

#include <cmath>

LV_REFLECT_CLASS(Vandle::DodgeRollAction);
LV_REFLECT_CLASS(Vandle::JumpAction);

namespace Vandle {

using namespace Ostrel;

namespace {
}

void DodgeRollAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    m_listeners.Listen(*owner, "DodgeRoll", MakeDelegate(this, &DodgeRollAction::OnDodgeRoll));
}

void DodgeRollAction::OnEnd() {
    m_listeners.UnlistenAll();
    ActionBase::OnEnd();
}

void DodgeRollAction::OnDodgeRoll() {
    // Frame steps summed in floats may fall a hair short of a whole second.
    if (m_timeSinceDash + kTimeTolerance < kCooldown) return;
    m_timeSinceDash = 0.0f;
    if (!m_dashTutorialLocked) {
        m_dashTutorialLocked = true;
        if (CoreSystem* core = ActionCore()) core->SendMessageString("LockTutorial", "use-dash");
    }
    Composition* owner = FindActionObject(GetOwner());
    TransformComponent* transform = owner ? owner->GetTransform() : nullptr;
    if (!transform) return;
    if (auto* fidget = owner->GetComponentAs<FidgetComponent>()) fidget->SetAnimation("brisa-dodge-anim");
    if (CoreSystem* core = ActionCore()) core->SendMessageString("PlaySound", "dash-sfx");
    m_rolling = true;
    const f32 heading = transform->GetRotationY() * kRadiansPerDegree;
    Vec3 impulse(-std::sin(heading), 0.0f, -std::cos(heading));
    const f32 length = std::sqrt(impulse.x * impulse.x + impulse.z * impulse.z);
    if (!std::isfinite(length) || length == 0.0f) return;
    impulse = impulse * (m_impulseStrength / length);
    Vec3* pointer = &impulse;
    SendObjectMessageValues(owner, "AddImpulseAction", pointer);
}

int DodgeRollAction::OnUpdate(f32 dt) {
    m_timeSinceDash += dt;
    if (m_rolling && m_timeSinceDash > kRollTime + kTimeTolerance) {
        m_rolling = false;
        if (Composition* owner = FindActionObject(GetOwner())) owner->Send("UpdatePlayerAnimation");
    }
    return 0;
}

void JumpAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    m_listeners.Listen(*owner, "Jump", MakeDelegate(this, &JumpAction::OnJump));
}

void JumpAction::OnEnd() {
    m_listeners.UnlistenAll();
    ActionBase::OnEnd();
}

void JumpAction::OnJump() {
    if (m_timeSinceJump + kTimeTolerance < kCooldown) return;
    m_timeSinceJump = 0.0f;
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    Vec3 impulse(0.0f, m_jumpStrength, 0.0f);
    Vec3* pointer = &impulse;
    SendObjectMessageValues(owner, "AddImpulseAction", pointer);
}

int JumpAction::OnUpdate(f32 dt) {
    m_timeSinceJump += dt;
    return 0;
}

}  // namespace Vandle
