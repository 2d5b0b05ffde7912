#pragma once
// A point light at its object's position ('liht'). The light manager takes
// it as a static light when the object cannot move and as a moving light
// otherwise; the attenuation coefficients go to the light shader as they are.
//
// Data keys: "Color_R", "Color_G", "Color_B" (upper case), "Attenuation_X",
// "Attenuation_Y", "Attenuation_Z" (floats).

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"

namespace Ostrel {

class LightComponent final : public Component {
public:
    static constexpr u32 kTypeId = FourCC("liht");

    void Initialize() override {}
    Component* Clone() const override;
    void Uninitialize() override {}
    void Serialize(Serializer* serializer) override;
    void ExposeProperties(TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;

    const Vec3& GetColor() const { return m_color; }
    // The game recolours a light at run time (the companion per attack).
    void SetColor(const Vec3& color) { m_color = color; }
    const Vec3& GetAttenuation() const { return m_attenuation; }

private:
    Vec3 m_color;
    Vec3 m_attenuation{1.0f, 0.1f, 0.0f};
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::LightComponent);
