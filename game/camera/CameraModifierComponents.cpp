#include "game/camera/CameraModifierComponents.h"

#include "engine/actions/ActionSupport.h"
#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/components/CameraComponent.h"
#include "engine/components/ComponentSupport.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "game/camera/CameraActions.h"
#include "game/camera/PlayerCameraLogicComponent.h"
#include "game/common/GameSupport.h"

#include <cmath>
#include <utility>

LV_REFLECT_CLASS(Vandle::CameraModifierTriggerListenerComponent);
LV_REFLECT_CLASS(Vandle::PlayerCameraModifierComponent);

namespace Vandle {

using namespace Ostrel;

// ---- CameraModifierTriggerListenerComponent -----------------------------------

void CameraModifierTriggerListenerComponent::Initialize() {
    if (!m_listeners.IsEmpty() || !IsOwnerLive(*this)) return;
    m_listeners.Listen(*GetOwner(), "TriggerFired",
                       MakeDelegate(this, &CameraModifierTriggerListenerComponent::OnTriggerFired));
}

void CameraModifierTriggerListenerComponent::Uninitialize() {
    m_listeners.UnlistenAll();
}

Component* CameraModifierTriggerListenerComponent::Clone() const {
    auto* copy = NewComponentOf<CameraModifierTriggerListenerComponent>();
    if (!copy) return nullptr;
    copy->m_chaseDistance = m_chaseDistance;
    copy->m_timeToTake = m_timeToTake;
    copy->m_newAngle = m_newAngle;
    return copy;
}

void CameraModifierTriggerListenerComponent::Serialize(Serializer* s) {
    s->SerializeFloat("ChaseDistance", &m_chaseDistance);
    s->SerializeFloat("NewAngle", &m_newAngle);
    s->SerializeFloat("TimeToTake", &m_timeToTake);
}

void CameraModifierTriggerListenerComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddFloat("ChaseDistance", &m_chaseDistance, false);
    panel->AddFloat("NewAngle", &m_newAngle, false);
    panel->AddFloat("TimeToTake", &m_timeToTake, false);
}

Variant CameraModifierTriggerListenerComponent::ToVariant() { return Variant(this); }

void CameraModifierTriggerListenerComponent::OnTriggerFired() {
    if (CoreSystem* core = GameCore()) core->SendMessageFloat3("InterpolateCamera", m_chaseDistance, m_newAngle, m_timeToTake);
}

// ---- PlayerCameraModifierComponent ---------------------------------------------

void PlayerCameraModifierComponent::Initialize() {
    CoreSystem* core = GameCore();
    if (!m_globals.Empty() || !core || !IsOwnerLive(*this)) return;
    m_onInterpolate = MakeDelegate(this, &PlayerCameraModifierComponent::OnInterpolateCamera);
    m_onPrevious = MakeDelegate(this, &PlayerCameraModifierComponent::OnInterpolateToPreviousCameraState);
    m_globals.Listen("InterpolateCamera", m_onInterpolate);
    m_globals.Listen("InterpolateToPreviousCameraState", m_onPrevious);
}

void PlayerCameraModifierComponent::Uninitialize() {
    m_globals.Clear();
    m_onInterpolate = FunctionRef();
    m_onPrevious = FunctionRef();
}

Component* PlayerCameraModifierComponent::Clone() const {
    auto* copy = NewComponentOf<PlayerCameraModifierComponent>();
    if (!copy) return nullptr;
    copy->m_nextDistance = m_nextDistance;
    copy->m_transitionTime = m_transitionTime;
    copy->m_nextAngle = m_nextAngle;
    return copy;
}

Variant PlayerCameraModifierComponent::ToVariant() { return Variant(this); }

bool PlayerCameraModifierComponent::Measure(f32& angle, f32& distance) {
    u32 playerId = 0;
    Vec3 player;
    if (!FindChasedPlayer(playerId, player)) return false;
    Composition* owner = GetOwner();
    const char* missing = nullptr;
    CameraComponent* camera = owner ? owner->GetComponentAs<CameraComponent>() : nullptr;
    if (!camera)
        missing = "CameraComponent";
    else if (!owner->GetComponentAs<PlayerCameraLogicComponent>())
        missing = "PlayerCameraLogicComponent";
    else if (!GetBrainComponentOf(owner))
        missing = "BrainComponent";
    if (missing) {
        LogCameraGapOnce(m_loggedGap, "PlayerCameraModifierComponent", GetOwnerId(), missing);
        return false;
    }
    const Vec3 v = camera->GetDirection();
    angle = std::atan2(-v.y, v.z) * kDegreesPerRadian;
    distance = (player - camera->GetPosition()).Length();
    return true;
}

bool PlayerCameraModifierComponent::AlreadyAt(f32 distance, f32 angle) {
    Composition* owner = GetOwner();
    BrainComponent* brain = owner ? GetBrainComponentOf(owner) : nullptr;
    if (!brain) return false;
    for (IAction* action : brain->GetActionList()->Actions()) {
        auto* glide = dynamic_cast<CameraInterpolateAction*>(action);
        if (!glide || glide->GetId() != m_glideId || glide->IsEnded()) continue;
        return glide->GetTargetDistance() == distance && glide->GetTargetAngle() == angle;
    }
    // No glide runs: the setting holds when the chase has it and the camera
    // stands where the chase puts it (its height and view angle are exact;
    // only x and z lag behind a moving player).
    const auto* chase = owner->GetComponentAs<PlayerCameraLogicComponent>();
    const auto* camera = owner->GetComponentAs<CameraComponent>();
    if (!chase || !camera || chase->GetChaseDistance() != distance || chase->GetAngle() != angle) return false;
    constexpr f32 kHeldAngle = 0.01f, kHeldHeight = 0.01f;
    const Vec3 v = camera->GetDirection();
    const f32 height = kChaseTargetHeight + std::sin(angle * kRadiansPerDegree) * distance;
    return std::abs(std::atan2(-v.y, v.z) * kDegreesPerRadian - angle) < kHeldAngle &&
           std::abs(camera->GetPosition().y - height) < kHeldHeight;
}
void PlayerCameraModifierComponent::StartGlide(f32 fromDistance, f32 fromAngle, f32 toDistance, f32 toAngle,
                                               f32 seconds) {
    Composition* owner = GetOwner();
    auto* chase = owner->GetComponentAs<PlayerCameraLogicComponent>();
    auto* glide = new CameraInterpolateAction();
    glide->SetTargetAngle(toAngle);
    glide->SetStartAngle(fromAngle);
    glide->SetTargetDistance(toDistance);
    glide->SetStartDistance(fromDistance);
    glide->SetSmoothingAmount(chase->GetSmoothingAmount());
    glide->SetDuration(seconds);
    glide->SetBlocking(true);
    glide->SetOwner(GetOwnerId());
    // A newer request replaces the glide still running: left waiting behind
    // it, the older glide would resume once it ended and finish on its own,
    // stale setting (an arena's zoom undone by the fly-over's glide back).
    if (m_glideId != 0) SendObjectMessageUInt(owner, "TerminateAction", m_glideId);
    Engine* engine = Engine::Instance();
    m_glideId = engine ? engine->NextUniqueId() : 0;
    glide->SetId(m_glideId);
    glide->SetListenTerminate(m_glideId != 0);
    // The chase setting now matches the measured camera, so nothing jumps
    // while the glide runs.
    chase->SetAngle(fromAngle);
    chase->SetChaseDistance(fromDistance);
    GetBrainComponentOf(owner)->AddAction(glide);
}

void PlayerCameraModifierComponent::OnInterpolateCamera(f32 distance, f32 angle, f32 seconds) {
    m_nextDistance = distance;
    m_transitionTime = seconds;
    m_nextAngle = angle;
    // A trigger asks again at every physics step the player stands in it:
    // measured afresh each time (the distance to the player's own position,
    // not to the point the chase aims at), the camera would start over a
    // little further out at every step. A request for the setting the camera
    // is gliding to or already holds changes nothing, and the state it left
    // stays the one remembered.
    if (AlreadyAt(distance, angle)) return;
    f32 measuredAngle = 0.0f, measuredDistance = 0.0f;
    if (!Measure(measuredAngle, measuredDistance)) return;
    m_previousAngle = measuredAngle;
    m_previousDistance = measuredDistance;
    StartGlide(m_previousDistance, m_previousAngle, distance, angle, seconds);
}

void PlayerCameraModifierComponent::OnInterpolateToPreviousCameraState(f32 seconds) {
    m_transitionTime = seconds;
    f32 measuredAngle = 0.0f, measuredDistance = 0.0f;
    if (!Measure(measuredAngle, measuredDistance)) return;
    m_nextAngle = measuredAngle;
    m_nextDistance = measuredDistance;
    const f32 toDistance = m_previousDistance, toAngle = m_previousAngle;
    std::swap(m_nextDistance, m_previousDistance);
    std::swap(m_nextAngle, m_previousAngle);
    StartGlide(m_previousDistance, m_previousAngle, toDistance, toAngle, seconds);
}

}  // namespace Vandle
