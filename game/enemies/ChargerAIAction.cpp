#include "game/enemies/ChargerAIAction.h"

#include "engine/actions/AnimationAction.h"
#include "engine/actions/RandomFloat.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/Reflect.h"
#include "game/common/Heading.h"
#include "game/common/PlayerLookup.h"
#include "game/enemies/PlayerSeekAction.h"

LV_REFLECT_CLASS(Vandle::ChargerAIAction);
LV_REFLECT_CLASS(Vandle::EnemyChargeAction);

namespace Vandle {

using namespace Ostrel;

namespace {

void AddAnimation(BrainComponent& brain, u32 owner, const char* name) {
    auto* animation = new AnimationAction;
    animation->SetSkeletonName(name);
    animation->SetAnimationName(name);
    animation->SetOwner(owner);
    animation->SetLane(0);
    brain.AddAction(animation);
}

}  // namespace

void ChargerAIAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    m_transform.Bind(owner);
    m_movement.Bind(owner);
    m_brain.Bind(owner);
    m_chargeRange = 2.0f * m_chargeSpeed * m_chargeTime;
    SetFixedStep(true);
    SetStep(kTick);
    ActionBase::OnStart();
}

int ChargerAIAction::OnUpdate(f32 dt) {
    TransformComponent* player = FindPlayerTransform(m_targetId);
    TransformComponent* own = m_transform.Get();
    if (!player || !own) return kActionRunning;
    const f32 distSq = (own->GetPosition() - player->GetPosition()).LengthSquared();
    BrainComponent* brain = m_brain.Get();

    if (m_waitTimer > 0.0f) {
        m_waitTimer -= dt;
        if (m_waitTimer > 0.0f) {
            if (distSq > m_chargeRange) {
                m_waitTimer = 0.0f;
                EndFace();
            }
            return kActionRunning;
        }
        EndFace();
        if (brain) LaunchCharge(*brain);
        return kActionRunning;
    }

    m_accumulator += RandomFloat(0.0f, dt) * kUrgeScale;
    if (m_accumulator < m_chargeChance) return kActionRunning;
    m_accumulator = 0.0f;
    if (distSq > m_chargeRange || !brain) return kActionRunning;
    BeginWait(*brain);
    return kActionRunning;
}

void ChargerAIAction::BeginWait(BrainComponent& brain) {
    m_waitTimer = m_chargeWaitTime;
    if (MovementComponent* movement = m_movement.Get()) movement->SetVelocity(Vec3());
    Engine* engine = Engine::Instance();
    m_faceActionId = engine ? engine->NextUniqueId() : 0;
    auto* face = new FacePlayerAction;
    face->SetOwner(GetOwner());
    face->SetId(m_faceActionId);
    face->SetListenTerminate(true);
    face->SetBlocking(true);
    brain.AddAction(face);
    AddAnimation(brain, GetOwner(), "yak-headshake-anim");
}

void ChargerAIAction::LaunchCharge(BrainComponent& brain) {
    const TransformComponent* own = m_transform.Get();
    const Vec3 direction = HeadingDirection(own ? own->GetRotationY() : 0.0f);
    AddAnimation(brain, GetOwner(), "yak-mesh");
    auto* charge = new EnemyChargeAction(direction);
    charge->SetSpeed(m_chargeSpeed);
    charge->SetDuration(m_chargeTime);
    charge->SetOwner(GetOwner());
    charge->SetLane(0);
    brain.AddAction(charge);
    AddAnimation(brain, GetOwner(), "yak-charge-anim");
}

void ChargerAIAction::EndFace() {
    const u32 id = m_faceActionId;
    SendObjectMessageUInt(FindActionObject(GetOwner()), "TerminateAction", id);
}

void EnemyChargeAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    if (CoreSystem* core = ActionCore()) core->SendMessageString("PlaySound", "yak-charge-sfx");
    m_movement.Bind(FindActionObject(GetOwner()));
}

int EnemyChargeAction::OnUpdate(f32 dt) {
    if (MovementComponent* movement = m_movement.Get())
        movement->SetVelocity(movement->GetVelocity() + m_direction * (m_speed * dt));
    m_remaining -= dt;
    return m_remaining > 0.0f ? kActionBlocking : kActionFinished;
}

}  // namespace Vandle
