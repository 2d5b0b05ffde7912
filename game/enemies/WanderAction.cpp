#include "game/enemies/WanderAction.h"

#include "engine/actions/ActionSupport.h"
#include "engine/actions/RandomFloat.h"
#include "engine/actions/TimedBlockAction.h"
#include "engine/actions/TimedMoveToAction.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/Reflect.h"

LV_REFLECT_CLASS(Vandle::WanderAction);

namespace Vandle {

using namespace Ostrel;

void WanderAction::OnStart() {
    if (!FindActionObject(GetOwner())) return;
    m_started = true;
    ActionBase::OnStart();
}

int WanderAction::OnUpdate(f32) {
    BrainComponent* brain = m_started ? GetBrainComponentOf(FindActionObject(GetOwner())) : nullptr;
    if (!brain) return kActionRunning;
    m_target.x = RandomFloat(m_boxMin.x, m_boxMax.x);
    m_target.y = RandomFloat(m_boxMin.y, m_boxMax.y);
    m_target.z = RandomFloat(m_boxMin.z, m_boxMax.z);

    auto* block = new TimedBlockAction(m_moveTime);
    block->SetLane(0);
    brain->AddAction(block);
    auto* move = new TimedMoveToAction(m_moveTime);
    move->SetTarget(m_target);
    move->SetOwner(GetOwner());
    move->SetLane(0);
    brain->AddAction(move);
    return kActionRunning;
}

}  // namespace Vandle
