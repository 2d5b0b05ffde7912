#pragma once
// A textured quad laid flat under its object ('trpc'), used as a marker: at
// the object's position plus Adjust, turned by RotationY (degrees) about y,
// scaled by ScaleX and ScaleZ. The player's controller turns it to its aim.
//
// Data keys: "TextureID" (text), "AdjustX", "AdjustY", "AdjustZ", "ScaleX",
// "ScaleZ", "RotationY" (floats), "IsImportant" (boolean; stored and loaded
// only, and not copied by Clone).

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"

#include <string>

namespace Ostrel {

class Texture;

class TransparentPlaneComponent final : public Component {
public:
    static constexpr u32 kTypeId = FourCC("trpc");

    // Looks the texture up by TextureID while it is still null.
    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override {}
    void Serialize(Serializer* serializer) override;
    void ExposeProperties(TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;

    const std::string& GetTextureId() const { return m_textureId; }
    Texture* GetTexture() const { return m_texture; }
    const Vec3& GetAdjust() const { return m_adjust; }
    // (ScaleX, ScaleZ, 1): the third value is not stored.
    const Vec3& GetScale() const { return m_scale; }
    f32 GetRotationY() const { return m_rotationY; }
    void SetRotationY(f32 degrees) { m_rotationY = degrees; }
    bool IsImportant() const { return m_important; }

private:
    std::string m_textureId;
    Texture* m_texture = nullptr;
    Vec3 m_adjust;
    Vec3 m_scale{1.0f, 1.0f, 1.0f};
    f32 m_rotationY = 180.0f;
    bool m_important = false;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::TransparentPlaneComponent);
