#pragma once
// A drop shadow under its object ('Shad'): the renderer lays the texture
// "DropShadow" flat at the object's x and z, at a fixed height, scaled by
// ScaleX and ScaleZ, while Visible is set.
//
// Data keys: "ScaleX", "ScaleZ" (floats), "Visible" (boolean).

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"

namespace Ostrel {

class ShadowComponent final : public Component {
public:
    static constexpr u32 kTypeId = FourCC("Shad");

    void Initialize() override {}
    Component* Clone() const override;
    void Uninitialize() override {}
    void Serialize(Serializer* serializer) override;
    void ExposeProperties(TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;

    // (ScaleX, ScaleZ, 1): the third value is not stored.
    const Vec3& GetScale() const { return m_scale; }
    // ScaleX and ScaleZ, read back as GetScale().x and .y.
    void SetScale(float scaleX, float scaleZ) {
        m_scale.x = scaleX;
        m_scale.y = scaleZ;
    }
    bool IsVisible() const { return m_visible; }
    void SetVisible(bool visible) { m_visible = visible; }

private:
    Vec3 m_scale{1.0f, 1.0f, 1.0f};
    bool m_visible = true;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::ShadowComponent);
