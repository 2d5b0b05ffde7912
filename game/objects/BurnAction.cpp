#include "game/objects/BurnAction.h"

#include "engine/actions/AttachAction.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/VarFun_Delegate.h"
#include "game/common/GameSupport.h"
#include "game/common/ObjectCreation.h"

LV_REFLECT_CLASS(Vandle::BurnAction);

namespace Vandle {

using namespace Ostrel;

void BurnAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    // During a send on the owner's table this subscription is deferred, so
    // the "NewBurn" below may or may not reach this action: the flag covers
    // the case where it does.
    m_listeners.Listen(*owner, "NewBurn", MakeDelegate(this, &BurnAction::OnNewBurn));
    if (m_remaining == 0.0f) m_endless = true;
    m_sendingNewBurn = true;
    owner->Send("NewBurn");
    m_sendingNewBurn = false;
    // A listener of "NewBurn" may have torn the owner down: look it up again.
    if (Composition* again = FindActionObject(GetOwner())) CreateFlames(*again);
}

void BurnAction::CreateFlames(Composition& owner) {
    ObjectManager* objects = ActionObjects();
    if (!objects) return;
    TransformComponent* transform = owner.GetTransform();
    const u32 transformHandle = transform ? transform->GetHandle() : 0;
    m_effectId = objects->CreateRunTimeObject("burn-fx", transform);
    Composition* effect = objects->GetObject(m_effectId);
    BrainComponent* brain = GetBrainComponentOf(effect);
    if (!effect || !brain || transformHandle == 0) return;
    auto* attach = new AttachAction(transformHandle);
    attach->SetOwner(m_effectId);
    brain->AddAction(attach);
}

void BurnAction::OnEnd() {
    // The flames may have ended on their own (a timed life): only a live
    // object is queued.
    DestroyMadeObject(m_effectId);
    m_effectId = 0;
    m_listeners.UnlistenAll();
    ActionBase::OnEnd();
}

int BurnAction::OnUpdate(f32 dt) {
    m_remaining -= dt;
    m_sinceTick += dt;
    if (m_remaining <= kTimeTolerance && !m_endless) return kActionFinished;
    if (m_sinceTick >= m_tickInterval - kTimeTolerance) {
        m_sinceTick = 0.0f;
        const f32 damage = m_damage;
        const f32 coolDown = 0.0f;
        SendObjectMessageFloat2(FindActionObject(GetOwner()), "DamageEnemy", damage, coolDown);
    }
    return kActionRunning;
}

void BurnAction::OnNewBurn() {
    if (m_sendingNewBurn) return;
    m_remaining = 0.0f;
    m_endless = false;
}

}  // namespace Vandle
