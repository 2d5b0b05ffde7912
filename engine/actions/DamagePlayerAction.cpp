#include "engine/actions/DamagePlayerAction.h"

#include "engine/components/FidgetControl.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"

LV_REFLECT_CLASS(Ostrel::DamagePlayerAction);

namespace Ostrel {

namespace {

constexpr f32 kVibrateSeconds = 0.5f;
constexpr short kVibrateStrength = 12000;
constexpr f32 kHurtClipRate = 1.5f;

}  // namespace

void DamagePlayerAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    m_listeners.Listen(*owner, "DamagePlayer", MakeDelegate(this, &DamagePlayerAction::OnDamagePlayer));
    m_listeners.Listen(*owner, "ResetDamageTimer", MakeDelegate(this, &DamagePlayerAction::OnResetTimer));
    m_listeners.Listen(*owner, "BypassDamageTimer", MakeDelegate(this, &DamagePlayerAction::OnBypassTimer));
}

void DamagePlayerAction::OnEnd() {
    m_listeners.UnlistenAll();
    ActionBase::OnEnd();
}

int DamagePlayerAction::OnUpdate(f32 dt) {
    m_gate.timer += dt;
    if (m_hurtPosePending && m_gate.timer >= kHurtPoseSeconds) {
        if (Composition* owner = FindActionObject(GetOwner())) owner->Send("UpdatePlayerAnimation");
        m_hurtPosePending = false;
    }
    return kActionRunning;
}

void DamagePlayerAction::OnDamagePlayer(f32 damage, f32 coolDown) {
    if (!m_gate.Accept()) return;
    m_gate.coolDown = coolDown;
    // Each send may tear objects down: look the owner up again after it.
    SendObjectMessageFloat(FindActionObject(GetOwner()), "TakeDamage", damage);
    if (CoreSystem* core = ActionCore()) {
        core->SendMessageString("PlaySound", "light-thud-sfx");
        core->SendMessageValues("AddVibrate", kVibrateSeconds, kVibrateStrength, kVibrateStrength);
    }
    if (Composition* owner = FindActionObject(GetOwner())) owner->Send("StartColorFlash");
    if (FidgetControl* fidget = GetFidgetControlOf(FindActionObject(GetOwner()))) {
        fidget->SetAnimation("brisa-ouch-anim");
        fidget->SetAnimationRate(kHurtClipRate);
    }
    m_hurtPosePending = true;
}

}  // namespace Ostrel
