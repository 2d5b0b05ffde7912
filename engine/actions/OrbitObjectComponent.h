#pragma once
// Makes an object circle another from its data ('orbC'): "OrbitType" names a
// component class as registered with the object factory (for example
// "PlayerComponent"), and the target is the first live object that has a
// component of that class when this object is initialised. A live object
// then starts an OrbitAction (speed "Frequency", radius "Amplitude") on its
// brain; archetypes start nothing. With no such class or object the target
// is 0 and the action reports "LostOrbitTarget" every step.

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

#include <string>

namespace Ostrel {

class OrbitObjectComponent final : public Component {
public:
    static constexpr u32 kTypeId = FourCC("orbC");

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override {}
    // "OrbitType", "Frequency", "Amplitude".
    void Serialize(Serializer* serializer) override;
    // The "OrbitType" text only.
    void ExposeProperties(TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;

    // The first live object with a component of class OrbitType, or 0.
    u32 FindTarget() const;
    u32 GetTarget() const { return m_target; }

private:
    // The orbit action's own starting values.
    f32 m_amplitude = 1.0f;
    f32 m_frequency = 1.0f;
    std::string m_orbitType;
    u32 m_target = 0;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::OrbitObjectComponent);
