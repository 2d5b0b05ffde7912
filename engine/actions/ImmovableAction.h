#pragma once
// Pins its owner in place while blocked: the local "BlockMovement" records
// the current position and every step puts the object back there, whatever
// its velocity (which keeps integrating); "UnblockMovement" releases it from
// the next step on. Never finishes. Enemies use it while they attack.

#include "engine/actions/ActionSupport.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/Vec3.h"

namespace Ostrel {

class ImmovableAction final : public ActionBase {
public:
    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    // Blocked also when the transform is gone (nothing is then held).
    void OnBlockMovement();
    void OnUnblockMovement();
    bool IsBlocked() const { return m_blocked; }

private:
    Vec3 m_held;
    bool m_blocked = false;
    ComponentRef<TransformComponent> m_transform;
    OwnerListeners m_listeners;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::ImmovableAction);
