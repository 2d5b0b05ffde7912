#pragma once
// Spins its owner: every step adds rate x dt to its rotation (degrees per
// second about x, y and z). The local "UpdateRotationalVelocity"(Vec3)
// replaces the rate. Never finishes.

#include "engine/actions/ActionSupport.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/Vec3.h"

namespace Ostrel {

class RotationalVelocityAction final : public ActionBase {
public:
    void SetRate(f32 x, f32 y, f32 z) { m_rate = Vec3(x, y, z); }
    const Vec3& GetRate() const { return m_rate; }

    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void OnUpdateRotationalVelocity(Vec3 rate) { m_rate = rate; }

private:
    Vec3 m_rate;
    ComponentRef<TransformComponent> m_transform;
    OwnerListeners m_listeners;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::RotationalVelocityAction);
