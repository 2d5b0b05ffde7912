#pragma once
// Accelerates its owner along its direction of travel by speed units per
// second each second; a body at rest stays at rest. Never finishes.

#include "engine/actions/ActionSupport.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"

namespace Ostrel {

class MoveForwardAction final : public ActionBase {
public:
    void SetSpeed(f32 speed) { m_speed = speed; }

    void OnStart() override;
    void OnEnd() override { ActionBase::OnEnd(); }
    int OnUpdate(f32 dt) override;

private:
    ComponentRef<MovementComponent> m_movement;
    f32 m_speed = 0.0f;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::MoveForwardAction);
