#include "engine/components/DefaultCameraLogicComponent.h"

#include "engine/components/CameraComponent.h"
#include "engine/components/ComponentSupport.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "engine/base/Serializer.h"
#include "engine/platform/VirtualKeys.h"

LV_REFLECT_CLASS(Ostrel::DefaultCameraLogicComponent);

namespace Ostrel {

namespace {

constexpr f32 kDegreesToRadians = 0.017453292f;
// A wheel notch moves this fraction of the camera speed, whatever the frame time.
constexpr f32 kWheelStep = 0.1f;

}  // namespace

void DefaultCameraLogicComponent::Initialize() {
    if (GetHandle() == 0) return;
    Subscribe(true);
    m_camera = GetSiblingAs<CameraComponent>();
}

void DefaultCameraLogicComponent::Uninitialize() {
    if (GetHandle() == 0) return;
    Subscribe(false);
}

void DefaultCameraLogicComponent::Subscribe(bool on) {
    Engine* engine = Engine::Instance();
    CoreSystem* core = engine ? engine->GetCoreSystem() : nullptr;
    if (!core) return;
    // Equal delegates (same target and method) remove the ones added.
    const std::pair<const char*, FunctionRef> listeners[] = {
        {"KeyTriggered", MakeDelegate(this, &DefaultCameraLogicComponent::OnKeyTriggered)},
        {"MouseMoved", MakeDelegate(this, &DefaultCameraLogicComponent::OnMouseMoved)},
        {"MouseWheel", MakeDelegate(this, &DefaultCameraLogicComponent::OnMouseWheel)},
        {"GraphicsUpdate", MakeDelegate(this, &DefaultCameraLogicComponent::OnGraphicsUpdate)},
    };
    for (const auto& [name, listener] : listeners) {
        if (on) {
            core->Listen(name, listener);
        } else {
            core->Unlisten(name, listener);
        }
    }
}

Component* DefaultCameraLogicComponent::Clone() const {
    auto* copy = NewComponentOf<DefaultCameraLogicComponent>();
    if (!copy) return nullptr;
    copy->m_cameraSpeed = m_cameraSpeed;
    copy->m_cameraRotationSpeed = m_cameraRotationSpeed;
    copy->m_rightButtonHeld = m_rightButtonHeld;
    copy->m_forwardHeld = m_forwardHeld;
    copy->m_leftHeld = m_leftHeld;
    copy->m_rightHeld = m_rightHeld;
    copy->m_backHeld = m_backHeld;
    copy->m_mouseDeltaX = m_mouseDeltaX;
    copy->m_mouseDeltaY = m_mouseDeltaY;
    return copy;
}

void DefaultCameraLogicComponent::Serialize(Serializer* s) {
    s->SerializeFloat("CameraSpeed", &m_cameraSpeed);
    s->SerializeFloat("CameraRotationSpeed", &m_cameraRotationSpeed);
}

void DefaultCameraLogicComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddFloat("CameraSpeed", &m_cameraSpeed, false);
    panel->AddFloat("CameraRotationSpeed", &m_cameraRotationSpeed, false);
}

Variant DefaultCameraLogicComponent::ToVariant() { return Variant(this); }

void DefaultCameraLogicComponent::OnKeyTriggered(int key, bool pressed) {
    if (!IsActive()) return;
    const u8 held = pressed ? 1 : 0;
    switch (key) {
        case Vk::kRightButton: m_rightButtonHeld = held; break;
        case 'W': m_forwardHeld = held; break;
        case 'A': m_leftHeld = held; break;
        case 'D': m_rightHeld = held; break;
        case 'S': m_backHeld = held; break;
        case 'E': m_upHeld = held; break;
        case 'Q': m_downHeld = held; break;
        default: break;
    }
}

void DefaultCameraLogicComponent::OnMouseMoved(int mode, int dx, int dy) {
    if (!IsActive() || mode != 1 || !m_rightButtonHeld) return;
    m_mouseDeltaX = dx;
    m_mouseDeltaY = dy;
}

void DefaultCameraLogicComponent::OnMouseWheel(int delta) {
    if (delta < 1) {
        m_wheelBack = 1;
    } else {
        m_wheelForward = 1;
    }
}

void DefaultCameraLogicComponent::OnGraphicsUpdate(float) {
    if (!IsActive() || !m_camera) return;
    const Engine* engine = Engine::Instance();
    const f32 t = engine ? engine->GetRawFrameTime() : 0.0f;
    Turn(*m_camera, t);
    Fly(*m_camera, t);
    Wheel(*m_camera);
}

void DefaultCameraLogicComponent::Turn(CameraComponent& camera, f32 t) {
    if (m_mouseDeltaX == 0 && m_mouseDeltaY == 0) return;
    const f32 rate = m_cameraRotationSpeed * kDegreesToRadians;
    camera.Rotate(-rate * f32(m_mouseDeltaY) * t, rate * f32(m_mouseDeltaX) * t);
    m_mouseDeltaX = 0;
    m_mouseDeltaY = 0;
}

void DefaultCameraLogicComponent::Fly(CameraComponent& camera, f32 t) {
    // Opposite keys cancel out but each still moves (and announces).
    const f32 distance = m_cameraSpeed * t;
    if (m_forwardHeld) camera.MoveForward(distance);
    if (m_backHeld) camera.MoveBackward(distance);
    if (m_rightHeld) camera.MoveRight(distance);
    if (m_leftHeld) camera.MoveLeft(distance);
    if (m_upHeld) camera.MoveUp(distance);
    if (m_downHeld) camera.MoveDown(distance);
}

void DefaultCameraLogicComponent::Wheel(CameraComponent& camera) {
    if (m_wheelForward) camera.MoveForward(m_cameraSpeed * kWheelStep);
    if (m_wheelBack) camera.MoveBackward(m_cameraSpeed * kWheelStep);
    m_wheelForward = 0;
    m_wheelBack = 0;
}

}  // namespace Ostrel
