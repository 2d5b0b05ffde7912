#pragma once
// Adds impulses to its owner's velocity, at most one per step: the local
// "AddImpulseAction"(Vec3*) replaces any impulse still pending, so of two
// messages in one frame only the second is applied. Never finishes. The
// velocity change is integrated by the physics step of the next frame
// (physics runs before the logic system).

#include "engine/actions/ActionSupport.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"

namespace Ostrel {

class ImpulseAction final : public ActionBase {
public:
    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    // A null pointer is ignored.
    void OnAddImpulseAction(Vec3* impulse);
    bool IsPending() const { return m_pending; }

private:
    Vec3 m_impulse;
    ComponentRef<MovementComponent> m_movement;
    bool m_pending = false;
    OwnerListeners m_listeners;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::ImpulseAction);
