#pragma once
// The engine's camera ('CamC'). Its position is the owner's transform
// position (the camera keeps no position of its own and moves the transform
// in place, without "TransformUpdated"); it keeps a look-at point, the unit
// view direction and pitch/yaw in radians (yaw 0 looks along +z), and the
// derived up and right axes.
//
// Every change is announced globally through the CoreSystem with three
// floats each: "CameraPosUpdate", "CameraLookAtUpdate" and "CameraUpUpdate".
// The matrix manager builds the view from them; nothing else makes a camera
// visible. Only a camera with a handle (a component of a live object) sends,
// so archetypes stay silent; the one exception is the editor's "CameraPos_X"
// field, which always sends the position pair. There is no notion of an
// active camera: every live camera sends and the last message wins.
//
// A camera whose object has no TransformComponent is logged once by
// Initialize and then does nothing: moves and turns are ignored and the
// position reads (0, 0, 0).

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"

namespace Ostrel {

class CoreSystem;

class CameraComponent final : public Component {
public:
    static constexpr u32 kTypeId = FourCC("CamC");
    // Rotate keeps pitch within plus or minus this (pi/2 - 0.1).
    static constexpr f32 kMaxPitch = 1.5707964f - 0.1f;

    // Points at the transform, sets the direction from the stored look-at
    // point (straight along +z when they coincide), world up (0, 1, 0) and
    // the angles; a live camera then announces position, look-at and up.
    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override {}
    // "LookAtPos_X", "LookAtPos_Y", "LookAtPos_Z".
    void Serialize(Serializer* serializer) override;
    // Float callback fields "CameraPos_X/Y/Z" and "LookAtPos_X/Y/Z".
    void ExposeProperties(TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;

    Vec3 GetPosition() const;
    Vec3 GetLookAt() const { return m_lookAt; }
    Vec3 GetDirection() const { return m_direction; }
    // World up (not the camera's own up axis).
    Vec3 GetUp() const { return m_up; }
    Vec3 GetUpAxis() const { return m_upAxis; }
    Vec3 GetRightAxis() const { return m_rightAxis; }
    f32 GetLookAtX() const { return m_lookAt.x; }
    f32 GetLookAtZ() const { return m_lookAt.z; }
    f32 GetPositionY() const { return GetPosition().y; }
    f32 GetPitch() const { return m_pitch; }
    f32 GetYaw() const { return m_yaw; }

    // Looks at the point: the direction follows, then the angles.
    void SetLookAt(f32 x, f32 y, f32 z);
    // Moves keeping the view direction (the look-at point moves along).
    void SetPosition(f32 x, f32 y, f32 z);
    // Moves keeping the look-at point (the direction and angles follow).
    void SetPositionKeepLookAt(f32 x, f32 y, f32 z);
    // Turns by the angles in radians; pitch is clamped to +-kMaxPitch, yaw
    // is not wrapped.
    void Rotate(f32 dPitch, f32 dYaw);
    // Along the normalised direction, right axis and up axis.
    void MoveForward(f32 distance);
    void MoveBackward(f32 distance);
    void MoveRight(f32 distance);
    void MoveLeft(f32 distance);
    void MoveUp(f32 distance);
    void MoveDown(f32 distance);
    // Pitch and yaw from the direction (not clamped), then the axes; a live
    // camera announces its own up axis.
    void UpdateAngles();

    // The editor fields' setters. Each position setter moves one coordinate
    // and the look-at point with it; X also announces the look-at point
    // first (live only) and then the pair even when not live.
    void SetPositionX(f32 value);
    void SetPositionY(f32 value);
    void SetPositionZ(f32 value);
    // Set one coordinate of the look-at point, then as SetLookAt.
    void SetLookAtX(f32 value);
    void SetLookAtY(f32 value);
    void SetLookAtZ(f32 value);

private:
    bool IsLive() const { return GetHandle() != 0; }
    // Direction from the look-at point, announced (live) and the angles.
    void LookAtChanged();
    void Move(const Vec3& axis, f32 distance);
    void AfterMove();
    void ComputeAxes();
    void SendPositionAndLookAt();
    void SendVec3(const char* message, const Vec3& value);

    f32 m_pitch = 0.0f;
    f32 m_yaw = 0.0f;
    // The owner's transform position; null without a transform.
    Vec3* m_position = nullptr;
    Vec3 m_direction{0.0f, 0.0f, 1.0f};
    Vec3 m_lookAt;
    Vec3 m_up;
    Vec3 m_upAxis;
    Vec3 m_rightAxis;
    CoreSystem* m_coreSystem = nullptr;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::CameraComponent);
