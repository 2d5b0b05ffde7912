#pragma once
// The chase setting of the game camera ('PCLC'): "ChaseDistance" (40),
// "SmoothingAmount" (0.5) and "Angle" (45 degrees of elevation). On a live
// camera object it adds a CameraShakeAction and then a PlayerCameraAction
// with these three values to the object's brain, so each update chases
// first and shakes after. The setters (the editor's fields, the camera
// modifiers and the end of an interpolation) store the value and send the
// object's "UpdatePlayerCameraAction"(distance, angle, smoothing), so the
// running chase follows at once.

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class PlayerCameraLogicComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("PCLC");

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override {}
    void Serialize(Ostrel::Serializer* serializer) override;
    void ExposeProperties(Ostrel::TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    f32 GetChaseDistance() const { return m_chaseDistance; }
    f32 GetSmoothingAmount() const { return m_smoothingAmount; }
    f32 GetAngle() const { return m_angle; }
    void SetChaseDistance(f32 distance);
    void SetSmoothingAmount(f32 smoothing);
    void SetAngle(f32 degrees);

private:
    void SendUpdate();

    f32 m_chaseDistance = 40.0f;
    f32 m_smoothingAmount = 0.5f;
    f32 m_angle = 45.0f;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::PlayerCameraLogicComponent);
