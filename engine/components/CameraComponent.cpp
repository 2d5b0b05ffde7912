#include "engine/components/CameraComponent.h"

#include "engine/components/ComponentSupport.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/base/Log.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/Variant.h"
#include "engine/base/Serializer.h"

#include <cmath>
#include <iterator>
#include <utility>

LV_REFLECT_CLASS(Ostrel::CameraComponent);

namespace Ostrel {

namespace {

using CameraSetter = void (CameraComponent::*)(f32);

// One editor field: its label, its setter and how its getter reads the value.
struct CameraField {
    const char* label;
    CameraSetter set;
    f32 (*get)(const CameraComponent&);
};

template <int Axis>
f32 PositionAxis(const CameraComponent& c) {
    return c.GetPosition()[Axis];
}
template <int Axis>
f32 LookAtAxis(const CameraComponent& c) {
    return c.GetLookAt()[Axis];
}

const CameraField kFields[] = {
    {"CameraPos_X", &CameraComponent::SetPositionX, &PositionAxis<0>},
    {"CameraPos_Y", &CameraComponent::SetPositionY, &PositionAxis<1>},
    {"CameraPos_Z", &CameraComponent::SetPositionZ, &PositionAxis<2>},
    {"LookAtPos_X", &CameraComponent::SetLookAtX, &LookAtAxis<0>},
    {"LookAtPos_Y", &CameraComponent::SetLookAtY, &LookAtAxis<1>},
    {"LookAtPos_Z", &CameraComponent::SetLookAtZ, &LookAtAxis<2>},
};

// The panel hands back the camera as client data; the field is the index.
template <int Index>
void SetField(const void* value, void* clientData) {
    (static_cast<CameraComponent*>(clientData)->*kFields[Index].set)(*static_cast<const f32*>(value));
}

template <int Index>
void GetField(void* value, void* clientData) {
    *static_cast<f32*>(value) = kFields[Index].get(*static_cast<CameraComponent*>(clientData));
}

template <int... Index>
void AddFields(TweakBarGroup* panel, CameraComponent* camera, std::integer_sequence<int, Index...>) {
    (panel->AddCallbackVar(kFields[Index].label, kTweakFloat, &SetField<Index>, &GetField<Index>, camera), ...);
}

Vec3 DirectionOf(f32 pitch, f32 yaw) {
    return {std::cos(pitch) * std::sin(yaw), std::sin(pitch), std::cos(pitch) * std::cos(yaw)};
}

Vec3 UpAxisOf(f32 pitch, f32 yaw) {
    return {-std::sin(pitch) * std::sin(yaw), std::cos(pitch), -std::sin(pitch) * std::cos(yaw)};
}

Vec3 RightAxisOf(f32 pitch, f32 yaw) {
    return {std::cos(pitch) * std::cos(yaw), 0.0f, -std::cos(pitch) * std::sin(yaw)};
}

}  // namespace

void CameraComponent::Initialize() {
    TransformComponent* transform = GetTransform();
    m_position = transform ? &transform->Position() : nullptr;
    m_coreSystem = Engine::Instance() ? Engine::Instance()->GetCoreSystem() : nullptr;
    if (!m_position) {
        const Composition* owner = GetOwner();
        LogErrorf("CameraComponent: object %u ('%s') has no TransformComponent; the camera does nothing\n",
                  owner ? owner->GetId() : 0u, owner ? owner->GetName().c_str() : "");
        return;
    }
    m_direction = (m_lookAt - *m_position).Normalized();
    if (m_lookAt == *m_position) {
        m_direction = Vec3(0.0f, 0.0f, 1.0f);
        m_lookAt = *m_position + m_direction;
    }
    m_up = Vec3(0.0f, 1.0f, 0.0f);
    UpdateAngles();
    if (!IsLive()) return;
    SendPositionAndLookAt();
    SendVec3("CameraUpUpdate", m_up);
}

Component* CameraComponent::Clone() const {
    auto* copy = NewComponentOf<CameraComponent>();
    if (!copy) return nullptr;
    copy->m_pitch = m_pitch;
    copy->m_yaw = m_yaw;
    copy->m_direction = m_direction;
    copy->m_lookAt = m_lookAt;
    copy->m_up = m_up;
    copy->m_rightAxis = m_rightAxis;
    copy->m_upAxis = m_upAxis;
    return copy;
}

void CameraComponent::Serialize(Serializer* s) {
    s->SerializeFloat("LookAtPos_X", &m_lookAt.x);
    s->SerializeFloat("LookAtPos_Y", &m_lookAt.y);
    s->SerializeFloat("LookAtPos_Z", &m_lookAt.z);
}

void CameraComponent::ExposeProperties(TweakBarGroup* panel) {
    AddFields(panel, this, std::make_integer_sequence<int, std::size(kFields)>());
}

Variant CameraComponent::ToVariant() { return Variant(this); }

Vec3 CameraComponent::GetPosition() const { return m_position ? *m_position : Vec3(); }

void CameraComponent::SetLookAt(f32 x, f32 y, f32 z) {
    if (!m_position) return;
    m_lookAt = Vec3(x, y, z);
    LookAtChanged();
}

void CameraComponent::LookAtChanged() {
    m_direction = (m_lookAt - *m_position).Normalized();
    if (IsLive()) SendVec3("CameraLookAtUpdate", m_lookAt);
    UpdateAngles();
}

void CameraComponent::SetPosition(f32 x, f32 y, f32 z) {
    if (!m_position) return;
    *m_position = Vec3(x, y, z);
    m_lookAt = *m_position + m_direction;
    if (IsLive()) SendPositionAndLookAt();
}

void CameraComponent::SetPositionKeepLookAt(f32 x, f32 y, f32 z) {
    if (!m_position) return;
    *m_position = Vec3(x, y, z);
    m_direction = (m_lookAt - *m_position).Normalized();
    if (IsLive()) SendPositionAndLookAt();
    UpdateAngles();
}

void CameraComponent::Rotate(f32 dPitch, f32 dYaw) {
    if (!m_position) return;
    m_pitch += dPitch;
    m_yaw += dYaw;
    if (m_pitch > kMaxPitch) m_pitch = kMaxPitch;
    if (m_pitch < -kMaxPitch) m_pitch = -kMaxPitch;
    m_direction = DirectionOf(m_pitch, m_yaw);
    ComputeAxes();
    m_lookAt = m_direction + *m_position;
    if (!IsLive()) return;
    SendPositionAndLookAt();
    SendVec3("CameraUpUpdate", m_up);
}

void CameraComponent::MoveForward(f32 distance) { Move(m_direction, distance); }
void CameraComponent::MoveBackward(f32 distance) { Move(m_direction, -distance); }
void CameraComponent::MoveRight(f32 distance) { Move(m_rightAxis, distance); }
void CameraComponent::MoveLeft(f32 distance) { Move(m_rightAxis, -distance); }
void CameraComponent::MoveUp(f32 distance) { Move(m_upAxis, distance); }
void CameraComponent::MoveDown(f32 distance) { Move(m_upAxis, -distance); }

void CameraComponent::Move(const Vec3& axis, f32 distance) {
    if (!m_position) return;
    *m_position += axis.Normalized() * distance;
    AfterMove();
}

void CameraComponent::AfterMove() {
    m_lookAt = m_direction + *m_position;
    if (IsLive()) SendPositionAndLookAt();
}

void CameraComponent::UpdateAngles() {
    // A normalised y can come out a hair beyond 1; asin would give NaN.
    m_pitch = std::asin(std::fmax(-1.0f, std::fmin(1.0f, m_direction.y)));
    m_yaw = std::atan2(m_direction.x, m_direction.z);
    m_upAxis = UpAxisOf(m_pitch, m_yaw);
    if (IsLive()) SendVec3("CameraUpUpdate", m_upAxis);
    m_rightAxis = RightAxisOf(m_pitch, m_yaw);
}

void CameraComponent::ComputeAxes() {
    m_upAxis = UpAxisOf(m_pitch, m_yaw);
    m_rightAxis = RightAxisOf(m_pitch, m_yaw);
}

void CameraComponent::SetPositionX(f32 value) {
    if (!m_position) return;
    m_position->x = value;
    m_lookAt.x = value + m_direction.x;
    if (IsLive()) SendVec3("CameraLookAtUpdate", m_lookAt);
    SendPositionAndLookAt();
}

void CameraComponent::SetPositionY(f32 value) {
    if (!m_position) return;
    m_position->y = value;
    m_lookAt.y = value + m_direction.y;
    if (IsLive()) SendPositionAndLookAt();
}

void CameraComponent::SetPositionZ(f32 value) {
    if (!m_position) return;
    m_position->z = value;
    m_lookAt.z = value + m_direction.z;
    if (IsLive()) SendPositionAndLookAt();
}

void CameraComponent::SetLookAtX(f32 value) { SetLookAt(value, m_lookAt.y, m_lookAt.z); }
void CameraComponent::SetLookAtY(f32 value) { SetLookAt(m_lookAt.x, value, m_lookAt.z); }
void CameraComponent::SetLookAtZ(f32 value) { SetLookAt(m_lookAt.x, m_lookAt.y, value); }

void CameraComponent::SendPositionAndLookAt() {
    SendVec3("CameraPosUpdate", *m_position);
    SendVec3("CameraLookAtUpdate", m_lookAt);
}

void CameraComponent::SendVec3(const char* message, const Vec3& value) {
    // The editor may set a field before the camera was initialised: fall
    // back to the engine's core system then.
    CoreSystem* core = m_coreSystem;
    if (!core && Engine::Instance()) core = Engine::Instance()->GetCoreSystem();
    if (core) core->SendMessageFloat3(message, value.x, value.y, value.z);
}

}  // namespace Ostrel
