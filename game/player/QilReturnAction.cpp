#include "game/player/QilReturnAction.h"

#include "engine/actions/TimedMoveToObjectAction.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"
#include "game/player/QilComponent.h"

LV_REFLECT_CLASS(Vandle::QilReturnAction);

namespace Vandle {

using namespace Ostrel;

void QilReturnAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    m_collision.Bind(owner);
    m_transform.Bind(owner);
    m_listeners.Listen(*owner, "BeganAttack", MakeDelegate(this, &QilReturnAction::OnBeganAttack));
    m_listeners.Listen(*owner, "FinishedAttack", MakeDelegate(this, &QilReturnAction::OnFinishedAttack));
    m_listeners.Listen(*owner, "ReachedTarget", MakeDelegate(this, &QilReturnAction::OnReachedPlayer));
    m_listeners.Listen(*owner, "FoundPlayer", MakeDelegate(this, &QilReturnAction::OnFoundPlayer));
}

void QilReturnAction::OnEnd() {
    m_listeners.UnlistenAll();
    ActionBase::OnEnd();
}

int QilReturnAction::OnUpdate(f32) {
    Composition* player = FindActionObject(m_playerId);
    // A player that is gone counts as none: the companion binds the next one
    // and names it back with "FoundPlayer".
    if (!player) {
        if (Composition* owner = FindActionObject(GetOwner())) owner->Send("LostPlayer");
        player = FindActionObject(m_playerId);
    }
    if (m_attacking || m_returning) return kActionRunning;
    TransformComponent* playerTransform = player ? player->GetTransform() : nullptr;
    TransformComponent* transform = m_transform.Get();
    if (!playerTransform || !transform) return kActionRunning;
    const Vec3 gap = playerTransform->GetPosition() - transform->GetPosition();
    if (gap.LengthSquared() > kStrayDistanceSquared) StartReturn(m_returnTime);
    return kActionRunning;
}

void QilReturnAction::StartReturn(f32 seconds) {
    SendPlayer("LockAttacks");
    SetCollision(false);
    m_returning = true;
    Composition* owner = FindActionObject(GetOwner());
    BrainComponent* brain = GetBrainComponentOf(owner);
    if (!brain) return;
    auto* move = new TimedMoveToObjectAction(seconds);
    move->SetTarget(m_playerId);
    move->SetOffset(Vec3(0.0f, kReturnHeight, 0.0f));
    move->SetOwner(owner->GetId());
    brain->AddAction(move);
}

void QilReturnAction::SetCollision(bool on) {
    if (CollisionComponent* collision = m_collision.Get()) {
        collision->Flags().collideWithDynamics = on;
        collision->Flags().collideWithStatics = on;
    }
}

void QilReturnAction::SendPlayer(const char* message) const {
    if (Composition* player = FindActionObject(m_playerId)) player->Send(message);
}

void QilReturnAction::OnBeganAttack() {
    m_attacking = true;
    SetCollision(true);
}

bool QilReturnAction::IsCompanionAttacking() const {
    Composition* owner = FindActionObject(GetOwner());
    auto* qil = owner ? owner->GetComponentAs<QilComponent>() : nullptr;
    return qil && qil->IsAttacking();
}

void QilReturnAction::OnFinishedAttack() {
    // A running attack's charge (the shield sends "FinishedAttack" and then
    // "StartedAttack" for each unit of energy it takes): a return flight now
    // would block the attack in its lane and lock the player's attacks.
    if (IsCompanionAttacking()) return;
    m_attacking = false;
    StartReturn(m_returnTime);
}

void QilReturnAction::OnReachedPlayer() {
    m_returning = false;
    SetCollision(true);
    SendPlayer("UnlockAttacks");
}

}  // namespace Vandle
