#pragma once
// A textured quad drawn at its object ('SBil'): at the object's position plus
// Adjust, scaled by the object's scale times Scale, turned by Rotation plus
// the object's z rotation. The renderer reads Rotation as radians, and the
// data is authored that way.
//
// Data keys: "TextureName" (text), "ScaleX", "ScaleY", "AdjustX", "AdjustY",
// "AdjustZ", "Rotation" (floats). The editor also shows "ScaleZ", which is
// not saved.

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"

#include <string>

namespace Ostrel {

class Texture;

class StaticBillboardComponent final : public Component {
public:
    static constexpr u32 kTypeId = FourCC("SBil");

    // Looks the texture up by TextureName every time (null when none).
    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override {}
    void Serialize(Serializer* serializer) override;
    void ExposeProperties(TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;

    const Vec3& GetScale() const { return m_scale; }
    f32 GetRotation() const { return m_rotation; }
    const Vec3& GetAdjust() const { return m_adjust; }
    const std::string& GetTextureName() const { return m_textureName; }
    Texture* GetTexture() const { return m_texture; }

private:
    Vec3 m_scale{1.0f, 1.0f, 1.0f};
    f32 m_rotation = 0.0f;
    Vec3 m_adjust;
    std::string m_textureName;
    Texture* m_texture = nullptr;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::StaticBillboardComponent);
