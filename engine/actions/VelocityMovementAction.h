#pragma once
// Accelerates its owner: every step adds the last velocity received by the
// local "UpdateVelocityMoveAction"(Vec3*) times dt to the owner's movement
// velocity. Never finishes. The player's steering uses it.

#include "engine/actions/ActionSupport.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"

namespace Ostrel {

class VelocityMovementAction final : public ActionBase {
public:
    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    // Copies the vector; a null pointer is ignored.
    void OnUpdateVelocityMoveAction(Vec3* velocity);
    const Vec3& GetVelocity() const { return m_velocity; }

private:
    Vec3 m_velocity;
    ComponentRef<MovementComponent> m_movement;
    OwnerListeners m_listeners;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::VelocityMovementAction);
