#pragma once
// A free-flying camera ('DCLC') for the level editor, the model viewer and
// debugging: it drives the sibling CameraComponent from the keyboard and the
// mouse. W/S move along the view, D/A along the right axis, E/Q along the
// camera's up axis, at CameraSpeed units per second; dragging with the right
// mouse button held turns it by CameraRotationSpeed degrees per second per
// unit of relative motion; a wheel notch moves it CameraSpeed x 0.1 forward
// or back.
//
// Input only sets flags ("KeyTriggered", "MouseMoved" mode 1, "MouseWheel");
// the camera moves on "GraphicsUpdate", by the engine's raw frame time rather
// than the message's argument, so it keeps flying while the game is paused.
// It captures nothing: the same input reaches every other listener.
//
// Only a live object's component listens. Without a sibling camera it moves
// nothing.

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

namespace Ostrel {

class CameraComponent;

class DefaultCameraLogicComponent final : public Component {
public:
    static constexpr u32 kTypeId = FourCC("DCLC");
    // Used when an archetype leaves the speeds out.
    static constexpr f32 kDefaultSpeed = 10.0f;
    static constexpr f32 kDefaultRotationSpeed = 10.0f;

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    // "CameraSpeed", then "CameraRotationSpeed".
    void Serialize(Serializer* serializer) override;
    void ExposeProperties(TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;

    void OnKeyTriggered(int key, bool pressed);
    // Keeps the last relative motion (mode 1) while the right button is held.
    void OnMouseMoved(int mode, int dx, int dy);
    // A delta below 1 (0 included) is a notch towards the user.
    void OnMouseWheel(int delta);
    // The argument is ignored: see the header comment.
    void OnGraphicsUpdate(float dt);

    f32 GetCameraSpeed() const { return m_cameraSpeed; }
    void SetCameraSpeed(f32 speed) { m_cameraSpeed = speed; }
    f32 GetCameraRotationSpeed() const { return m_cameraRotationSpeed; }

private:
    // The four global subscriptions, in their fixed order.
    void Subscribe(bool on);
    void Turn(CameraComponent& camera, f32 t);
    void Fly(CameraComponent& camera, f32 t);
    void Wheel(CameraComponent& camera);

    u8 m_rightButtonHeld = 0;
    u8 m_forwardHeld = 0;
    u8 m_leftHeld = 0;
    u8 m_rightHeld = 0;
    u8 m_backHeld = 0;
    u8 m_upHeld = 0;
    u8 m_downHeld = 0;
    s32 m_mouseDeltaX = 0;
    s32 m_mouseDeltaY = 0;
    f32 m_cameraSpeed = kDefaultSpeed;
    f32 m_cameraRotationSpeed = kDefaultRotationSpeed;
    CameraComponent* m_camera = nullptr;
    u8 m_wheelBack = 0;
    u8 m_wheelForward = 0;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::DefaultCameraLogicComponent);
