#include "game/bosses/TailSlamAction.h"
#include "game/common/Heading.h"
#include "game/common/LogOnce.h"
#include "game/common/ObjectCreation.h"

#include "engine/actions/AttachAction.h"
#include "engine/base/Log.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Reflect.h"


LV_REFLECT_CLASS(Vandle::TailSlamAction);

namespace Vandle {

using namespace Ostrel;

namespace {

void LogMissingOnce(const std::string& archetype, const char* what) {
    if (FirstReport("TailSlamAction: " + archetype + " has no " + what))
        LogErrorf("TailSlamAction: archetype '%s' has no %s; skipped\n", archetype.c_str(), what);
}

}  // namespace

void TailSlamAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    m_transform.Bind(owner);
    ActionBase::OnStart();
}

int TailSlamAction::OnUpdate(f32) {
    CoreSystem* core = ActionCore();
    if (core) core->SendMessageFloat3("CameraShake", 0.25f, 75.0f, 1.0f);
    TransformComponent* source = m_transform.Get();
    if (!source) return kActionFinished;
    const f32 yaw = source->GetRotation().y;
    u32 tremorTransform = 0;
    if (Composition* tremor = CreateGameObject(m_tremorName, source, "TailSlamAction")) {
        auto* movement = tremor->GetComponentAs<MovementComponent>();
        if (movement) {
            movement->SetVelocity(HeadingDirection(yaw) * movement->GetVelocity().x);
        } else {
            LogMissingOnce(m_tremorName, "MovementComponent");
        }
        if (const TransformComponent* transform = tremor->GetTransform()) tremorTransform = transform->GetHandle();
    }
    if (core) core->SendMessageString("PlaySound", "fox-slam-sfx");
    Composition* trail = CreateGameObject(m_trailName, m_transform.Get(), "TailSlamAction");
    if (!trail || tremorTransform == 0) return kActionFinished;
    auto* brain = trail->GetComponentAs<BrainComponent>();
    if (!brain) {
        LogMissingOnce(m_trailName, "BrainComponent");
        return kActionFinished;
    }
    auto* attach = new AttachAction(tremorTransform);
    attach->SetOwner(trail->GetId());
    brain->AddAction(attach);
    return kActionFinished;
}

}  // namespace Vandle
