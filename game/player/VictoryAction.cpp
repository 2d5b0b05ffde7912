#include "game/player/VictoryAction.h"

#include "engine/actions/OrbitAction.h"
#include "engine/actions/TimedBlockAction.h"
#include "engine/components/ObjectMessages.h"
#include "engine/components/ShadowComponent.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/Engine.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/TransformComponent.h"
#include "game/common/GameSupport.h"
#include "game/common/ObjectCreation.h"
#include "game/player/QilAttackSupport.h"

LV_REFLECT_CLASS(Vandle::VictoryAction);

namespace Vandle {

using namespace Ostrel;

void VictoryAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    StartOrbitAndBlock(*owner);
    SetResolveWithStatics(*owner, false);
    m_movement.Bind(owner);
    if (auto* shadow = owner->GetComponentAs<ShadowComponent>()) shadow->SetVisible(false);
    m_victoryEffectId = CreateAttachedEffect("victory-fx", *owner);
    if (Composition* again = FindActionObject(GetOwner())) CreateFireworks(*again);
}

void VictoryAction::StartOrbitAndBlock(Composition& owner) {
    BrainComponent* brain = GetBrainComponentOf(&owner);
    if (!brain) return;
    Engine* engine = Engine::Instance();
    m_orbitActionId = engine ? engine->NextUniqueId() : 0;
    auto* orbit = new OrbitAction;
    orbit->SetId(m_orbitActionId);
    orbit->SetListenTerminate(true);
    orbit->SetOwner(owner.GetId());
    orbit->SetLane(FourCC("viob"));
    orbit->SetRadius(m_orbitRadius);
    orbit->SetSpeed(m_orbitSpeed);
    orbit->SetTarget(m_playerId);
    brain->AddAction(orbit);
    auto* block = new TimedBlockAction(kShieldBlockTime);
    block->SetOwner(owner.GetId());
    block->SetLane(FourCC("shld"));
    brain->AddAction(block);
}

void VictoryAction::CreateFireworks(Composition& owner) {
    ObjectManager* objects = ActionObjects();
    if (!objects) return;
    m_fireworksId = objects->CreateRunTimeObject("fireworks-fx", owner.GetTransform());
    BrainComponent* brain = GetBrainComponentOf(objects->GetObject(m_fireworksId));
    if (!brain) return;
    auto* orbit = new OrbitAction;
    orbit->SetOwner(m_fireworksId);
    orbit->SetRadius(kFireworksRadius);
    orbit->SetSpeed(kFireworksSpeed);
    orbit->SetTarget(owner.GetId());
    brain->AddAction(orbit);
}

int VictoryAction::OnUpdate(f32 dt) {
    m_remaining -= dt;
    if (auto* movement = RequiredPart(m_movement, m_reportedMovement, "VictoryAction", "MovementComponent",
                                      GetOwner())) {
        movement->Acceleration().y = kRise;
    }
    if (m_remaining > 0.0f) return kActionBlocking;
    m_timeUp = true;
    unsigned orbitId = m_orbitActionId;
    SendObjectMessageUInt(FindActionObject(GetOwner()), "TerminateAction", orbitId);
    return kActionFinished;
}

void VictoryAction::OnEnd() {
    DestroyMadeObject(m_fireworksId);
    DestroyMadeObject(m_victoryEffectId);
    m_fireworksId = 0;
    m_victoryEffectId = 0;
    if (m_timeUp) {
        if (CoreSystem* core = GameCore()) core->Send("GameComplete");
    }
    ActionBase::OnEnd();
}

}  // namespace Vandle
