#pragma once
// Velocity and acceleration of a moving body ('move'). An object that has one
// is a dynamic body for physics: the integrator adds acceleration, applies
// drag and gravity when the flags ask for them, and moves the transform.
//
// Data keys: "VelX", "VelY", "VelZ", "AccelX", "AccelY", "AccelZ" (units per
// second and per second squared), "Gravity", "Drag" (booleans).

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"

namespace Ostrel {

class MovementComponent final : public Component {
public:
    static constexpr u32 kTypeId = FourCC("move");

    void Initialize() override {}
    Component* Clone() const override;
    void Uninitialize() override {}
    void Serialize(Serializer* serializer) override;
    void ExposeProperties(TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;

    Vec3& Velocity() { return m_velocity; }
    const Vec3& GetVelocity() const { return m_velocity; }
    void SetVelocity(const Vec3& velocity) { m_velocity = velocity; }
    Vec3& Acceleration() { return m_acceleration; }
    const Vec3& GetAcceleration() const { return m_acceleration; }
    void SetAcceleration(const Vec3& acceleration) { m_acceleration = acceleration; }
    bool HasDrag() const { return m_drag; }
    void SetDrag(bool drag) { m_drag = drag; }
    bool HasGravity() const { return m_gravity; }
    void SetGravity(bool gravity) { m_gravity = gravity; }

private:
    Vec3 m_velocity{0.0f, 0.0f, 0.0f};
    Vec3 m_acceleration{0.0f, 0.0f, 0.0f};
    bool m_drag = false;
    bool m_gravity = false;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::MovementComponent);
