#pragma once
// The aiming marker ('aimc'): a texture drawn AdjustRadius units from its
// object along Direction, slightly above it. The player's controller writes
// Direction and RotationY.
//
// Data keys: "TextureID" (text), "AdjustRadius", "ScaleX", "ScaleZ",
// "RotationY", "DirectionX", "DirectionY", "DirectionZ" (floats).

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"

#include <string>

namespace Ostrel {

class Texture;

class AimerComponent final : public Component {
public:
    static constexpr u32 kTypeId = FourCC("aimc");
    // How far above the owner the marker sits.
    static constexpr f32 kHeight = 0.1f;

    // Looks the texture up by TextureID while it is still null.
    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override {}
    void Serialize(Serializer* serializer) override;
    void ExposeProperties(TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;

    // Where the marker is drawn: the owner's position (the origin without a
    // transform) + Direction x AdjustRadius + (0, 0.1, 0). A Direction whose
    // squared length is neither 0 nor 1 is normalised in place first.
    Vec3 GetAimPoint();

    const std::string& GetTextureId() const { return m_textureId; }
    Texture* GetTexture() const { return m_texture; }
    const Vec3& GetDirection() const { return m_direction; }
    void SetDirection(const Vec3& direction) { m_direction = direction; }
    f32 GetRotationY() const { return m_rotationY; }
    void SetRotationY(f32 degrees) { m_rotationY = degrees; }
    f32 GetAdjustRadius() const { return m_adjustRadius; }
    // (ScaleX, ScaleZ, 1): the third value is not stored.
    const Vec3& GetScale() const { return m_scale; }
    // A new marker: texture (looked up by name at once), scale and radius.
    void SetLook(const std::string& textureId, f32 scaleX, f32 scaleZ, f32 adjustRadius);

private:
    std::string m_textureId;
    Vec3 m_direction;
    f32 m_rotationY = 0.0f;
    Texture* m_texture = nullptr;
    f32 m_adjustRadius = 0.0f;
    Vec3 m_scale{1.0f, 1.0f, 1.0f};
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::AimerComponent);
