#pragma once
// Where an object is (position), how it is turned (rotation in degrees about
// x, y and z) and sized (scale per axis). Type id 27, the small number. The
// physics integrator writes the previous position at the first fixed step of
// a frame; clones start with (0, 0, 0) there.
//
// Data keys: "PosX", "PosY", "PosZ", "RotX", "RotY", "RotZ", "ScaX", "ScaY",
// "ScaZ". Code that changes rotation or scale from outside calls
// NotifyUpdated so collision volumes refit and the editor follows.

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"

namespace Ostrel {

class TransformComponent final : public Component {
public:
    static constexpr u32 kTypeId = 27;

    TransformComponent() = default;

    void Initialize() override {}
    Component* Clone() const override;
    void Uninitialize() override {}
    void Serialize(Serializer* serializer) override;
    void ExposeProperties(TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;

    // Sends "TransformUpdated" (no arguments) to the owner's own listeners,
    // then "TransformUpdated" globally with the owner's object id.
    void NotifyUpdated();

    const Vec3& GetPosition() const { return m_position; }
    void SetPosition(const Vec3& position) { m_position = position; }
    const Vec3& GetRotation() const { return m_rotation; }
    void SetRotation(const Vec3& rotation) { m_rotation = rotation; }
    const Vec3& GetScale() const { return m_scale; }
    void SetScale(const Vec3& scale) { m_scale = scale; }
    const Vec3& GetPreviousPosition() const { return m_previousPosition; }
    void SetPreviousPosition(const Vec3& position) { m_previousPosition = position; }
    float GetRotationY() const { return m_rotation.y; }

    Vec3& Position() { return m_position; }
    Vec3& Rotation() { return m_rotation; }
    Vec3& Scale() { return m_scale; }

private:
    Vec3 m_position{0.0f, 0.0f, 0.0f};
    Vec3 m_rotation{0.0f, 0.0f, 0.0f};
    Vec3 m_scale{1.0f, 1.0f, 1.0f};
    Vec3 m_previousPosition{0.0f, 0.0f, 0.0f};
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::TransformComponent);
