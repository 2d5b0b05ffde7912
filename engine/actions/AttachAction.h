#pragma once
// Keeps its owner at the position of another object's TransformComponent
// (given by handle); while that transform is gone nothing happens. Never
// finishes. The companion rides the player with it.

#include "engine/actions/ActionSupport.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/TransformComponent.h"

namespace Ostrel {

class AttachAction final : public ActionBase {
public:
    explicit AttachAction(u32 followedTransformHandle = 0) { m_followed.BindHandle(followedTransformHandle); }

    void OnStart() override;
    void OnEnd() override { ActionBase::OnEnd(); }
    int OnUpdate(f32 dt) override;

private:
    ComponentRef<TransformComponent> m_transform;
    ComponentRef<TransformComponent> m_followed;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::AttachAction);
