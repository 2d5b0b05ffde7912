#include "engine/actions/AnimationAction.h"

#include "engine/actions/ActionSupport.h"
#include "engine/components/FidgetControl.h"
#include "engine/components/MeshComponent.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/Composition.h"
#include "engine/core/Reflect.h"

LV_REFLECT_CLASS(Ostrel::AnimationAction);

namespace Ostrel {

void AnimationAction::SetShowBindPose(bool show) {
    m_showBindPose = show;
    m_sendShowBindPose = true;
}

void AnimationAction::SetSkeleton(const std::string& name) {
    m_skeleton = name;
    m_sendSkeleton = true;
}

void AnimationAction::SetAnimation(const std::string& name) {
    m_animation = name;
    m_sendAnimation = true;
}

void AnimationAction::SetMeshVisible(bool visible) {
    m_visible = visible;
    m_applyVisibility = true;
}

void AnimationAction::SetRate(f32 rate) {
    m_rate = rate;
    m_applyRate = true;
}

void AnimationAction::SetLoop(bool loop) {
    m_loop = loop;
    m_applyLoop = true;
}

int AnimationAction::OnUpdate(f32) {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return kActionFinished;
    SendAnimationMessages(*owner);
    ApplyToComponents(*owner);
    return kActionFinished;
}

void AnimationAction::SendAnimationMessages(Composition& owner) {
    if (m_sendShowBindPose) SendObjectMessageBool(&owner, "SetShowBindPose", m_showBindPose);
    // Receivers get copies: a handler may change the action's own names.
    if (m_sendSkeleton) {
        std::string skeleton = m_skeleton;
        SendObjectMessageStringPtr(&owner, "SetSkeleton", &skeleton);
    }
    if (m_sendAnimation) {
        std::string animation = m_animation;
        SendObjectMessageStringPtr(&owner, "SetAnimation", &animation);
        owner.Send("RefreshAnimation");
    }
}

void AnimationAction::ApplyToComponents(Composition& owner) {
    if (m_applyVisibility)
        if (auto* mesh = owner.GetComponentAs<MeshComponent>()) mesh->SetVisible(m_visible);
    FidgetControl* fidget = GetFidgetControlOf(&owner);
    if (!fidget) return;
    if (m_applyRate) fidget->SetAnimationRate(m_rate);
    if (m_applyLoop) fidget->SetLooping(m_loop);
}

}  // namespace Ostrel
