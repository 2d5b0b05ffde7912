#pragma once
// Spins an object from its data ('rtvC'): "RotationalVelocityX/Y/Z" in
// degrees per second. When a live object is initialised it starts a
// RotationalVelocityAction with that rate on the object's brain; archetypes
// start nothing.

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"

namespace Ostrel {

class RotationalVelocityComponent final : public Component {
public:
    static constexpr u32 kTypeId = FourCC("rtvC");

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override {}
    void Serialize(Serializer* serializer) override;
    void ExposeProperties(TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;

    const Vec3& GetRotationalVelocity() const { return m_rotationalVelocity; }

private:
    Vec3 m_rotationalVelocity;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::RotationalVelocityComponent);
