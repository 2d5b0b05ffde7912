#include "game/camera/PlayerCameraLogicComponent.h"

#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/components/ComponentSupport.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/Variant.h"
#include "game/camera/CameraActions.h"

LV_REFLECT_CLASS(Vandle::PlayerCameraLogicComponent);

namespace Vandle {

using namespace Ostrel;

void PlayerCameraLogicComponent::Initialize() {
    if (!IsOwnerLive(*this)) return;
    BrainComponent* brain = GetBrainComponentOf(GetOwner());
    if (!brain) {
        LogErrorf("PlayerCameraLogicComponent: object '%s' has no BrainComponent; the camera will not move\n",
                  GetOwner()->GetName().c_str());
        return;
    }
    auto* shake = new CameraShakeAction();
    shake->SetOwner(GetOwnerId());
    brain->AddAction(shake);
    auto* chase = new PlayerCameraAction();
    chase->SetChaseDistance(m_chaseDistance);
    chase->SetSmoothingAmount(m_smoothingAmount);
    chase->SetAngle(m_angle);
    chase->SetOwner(GetOwnerId());
    brain->AddAction(chase);
}

Component* PlayerCameraLogicComponent::Clone() const {
    auto* copy = NewComponentOf<PlayerCameraLogicComponent>();
    if (!copy) return nullptr;
    copy->m_chaseDistance = m_chaseDistance;
    copy->m_smoothingAmount = m_smoothingAmount;
    copy->m_angle = m_angle;
    return copy;
}

void PlayerCameraLogicComponent::Serialize(Serializer* s) {
    s->SerializeFloat("ChaseDistance", &m_chaseDistance);
    s->SerializeFloat("SmoothingAmount", &m_smoothingAmount);
    s->SerializeFloat("Angle", &m_angle);
}

void PlayerCameraLogicComponent::ExposeProperties(TweakBarGroup* panel) {
    using Self = PlayerCameraLogicComponent;
    panel->AddCallbackVar(
        "ChaseDistance", kTweakFloat,
        [](const void* v, void* c) { static_cast<Self*>(c)->SetChaseDistance(*static_cast<const f32*>(v)); },
        [](void* v, void* c) { *static_cast<f32*>(v) = static_cast<const Self*>(c)->GetChaseDistance(); }, this);
    panel->AddCallbackVar(
        "SmoothingAmount", kTweakFloat,
        [](const void* v, void* c) { static_cast<Self*>(c)->SetSmoothingAmount(*static_cast<const f32*>(v)); },
        [](void* v, void* c) { *static_cast<f32*>(v) = static_cast<const Self*>(c)->GetSmoothingAmount(); },
        this);
    panel->AddCallbackVar(
        "Angle", kTweakFloat,
        [](const void* v, void* c) { static_cast<Self*>(c)->SetAngle(*static_cast<const f32*>(v)); },
        [](void* v, void* c) { *static_cast<f32*>(v) = static_cast<const Self*>(c)->GetAngle(); }, this);
}

Variant PlayerCameraLogicComponent::ToVariant() { return Variant(this); }

void PlayerCameraLogicComponent::SetChaseDistance(f32 distance) {
    m_chaseDistance = distance;
    SendUpdate();
}

void PlayerCameraLogicComponent::SetSmoothingAmount(f32 smoothing) {
    m_smoothingAmount = smoothing;
    SendUpdate();
}

void PlayerCameraLogicComponent::SetAngle(f32 degrees) {
    m_angle = degrees;
    SendUpdate();
}

void PlayerCameraLogicComponent::SendUpdate() {
    if (!GetOwner()) return;
    SendObjectMessageFloat3(GetOwner(), "UpdatePlayerCameraAction", m_chaseDistance, m_angle, m_smoothingAmount);
}

}  // namespace Vandle
