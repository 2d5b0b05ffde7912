#include "engine/graphics/animation/FidgetComponent.h"

#include "engine/base/Serializer.h"
#include "engine/components/ComponentSupport.h"
#include "engine/components/MeshComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "engine/graphics/animation/AnimationController.h"
#include "engine/graphics/animation/AnimationManager.h"
#include "engine/graphics/animation/SkeletonManager.h"
#include "engine/io/DataValue.h"
#include "engine/base/Log.h"
#include "engine/graphics/animation/AnimationController.h"
#include "engine/graphics/animation/AnimationManager.h"
#include "engine/graphics/animation/SkeletonManager.h"

LV_REFLECT_CLASS(Ostrel::FidgetComponent);

namespace Ostrel {

namespace {

const Animation* FindAnimation(const std::string& name) {
    AnimationManager* animations = AnimationManager::Instance();
    return animations ? animations->Find(name) : nullptr;
}

const Skeleton* FindSkeleton(const std::string& name) {
    SkeletonManager* skeletons = SkeletonManager::Instance();
    return skeletons ? skeletons->Find(name) : nullptr;
}

void SetAnimationNameField(const void* value, void* clientData) {
    static_cast<FidgetComponent*>(clientData)->SetAnimation(*static_cast<const std::string*>(value));
}

void GetAnimationNameField(void* value, void* clientData) {
    *static_cast<std::string*>(value) = static_cast<FidgetComponent*>(clientData)->GetAnimationName();
}

void SetShowBindPoseField(const void* value, void* clientData) {
    static_cast<FidgetComponent*>(clientData)->SetShowBindPose(*static_cast<const bool*>(value));
}

void GetShowBindPoseField(void* value, void* clientData) {
    *static_cast<bool*>(value) = static_cast<FidgetComponent*>(clientData)->IsShowingBindPose();
}

}  // namespace

FidgetComponent::FidgetComponent() : m_controller(std::make_unique<AnimationController>()) {}

FidgetComponent::~FidgetComponent() = default;

void FidgetComponent::Initialize() {
    m_initialised = true;
    LookUpNamedAssets();
    // Archetypes (id 0) and loose components stay passive.
    if (!GetOwner() || GetOwnerId() == 0) return;
    ReportMissingAssets();
    m_mesh = GetOwner()->GetComponentAs<MeshComponent>();
    Subscribe();
    ApplyShowBindPose();
}

void FidgetComponent::LookUpNamedAssets() {
    if (!m_animation) {
        m_animation = FindAnimation(m_animationName);
        if (m_animation) m_controller->SetAnimation(m_animation);
    }
    if (!m_skeleton) {
        m_skeleton = FindSkeleton(m_skeletonName);
        if (m_skeleton) m_controller->SetSkeleton(m_skeleton);
    }
}

// Once per object name and asset: every copy of an archetype would repeat it.
void FidgetComponent::ReportMissingAssets() const {
    const std::string object = "object '" + GetOwner()->GetName() + "': ";
    if (!m_animation && !m_animationName.empty() && AnimationManager::Instance()) {
        LogDataOnce(object + "animation '" + m_animationName +
                    "' is no loaded clip or animation set; the object keeps its bind pose\n");
    }
    if (!m_skeleton && !m_skeletonName.empty() && SkeletonManager::Instance()) {
        LogDataOnce(object + "skeleton '" + m_skeletonName + "' is not loaded; the object is not animated\n");
    }
}

void FidgetComponent::Uninitialize() {
    if (!GetOwner() || GetOwnerId() == 0) return;
    Unsubscribe();
}

void FidgetComponent::Subscribe() {
    if (m_listening) return;
    m_listening = true;
    GetOwner()->Listen("SetAnimation", MakeDelegate(this, &FidgetComponent::OnSetAnimation));
    GetOwner()->Listen("SetSkeleton", MakeDelegate(this, &FidgetComponent::OnSetSkeleton));
    GetOwner()->Listen("SetShowBindPose", MakeDelegate(this, &FidgetComponent::OnSetShowBindPose));
    GetOwner()->Listen("RefreshAnimation", MakeDelegate(this, &FidgetComponent::OnRefreshAnimation));
}

void FidgetComponent::Unsubscribe() {
    if (!m_listening || !GetOwner()) return;
    m_listening = false;
    // Equal delegates (same target and method) remove the ones Subscribe added.
    GetOwner()->Unlisten("SetAnimation", MakeDelegate(this, &FidgetComponent::OnSetAnimation));
    GetOwner()->Unlisten("SetSkeleton", MakeDelegate(this, &FidgetComponent::OnSetSkeleton));
    GetOwner()->Unlisten("SetShowBindPose", MakeDelegate(this, &FidgetComponent::OnSetShowBindPose));
    GetOwner()->Unlisten("RefreshAnimation", MakeDelegate(this, &FidgetComponent::OnRefreshAnimation));
}

Component* FidgetComponent::Clone() const {
    auto* copy = NewComponentOf<FidgetComponent>();
    if (!copy) return nullptr;
    copy->m_skeletonName = m_skeletonName;
    copy->m_skeleton = m_skeleton;
    copy->m_animationName = m_animationName;
    copy->m_animation = m_animation;
    if (m_skeleton) copy->m_controller->SetSkeleton(m_skeleton);
    if (m_animation) copy->m_controller->SetAnimation(m_animation);
    copy->m_running = m_running;
    copy->m_showBindPose = m_showBindPose;
    copy->ApplyShowBindPose();
    return copy;
}

void FidgetComponent::Serialize(Serializer* s) {
    const bool reading = s->IsReading();
    if (s->SerializeString("skeleton-name", &m_skeletonName) && reading) m_skeleton = nullptr;
    if (s->SerializeString("animation-name", &m_animationName) && reading) m_animation = nullptr;
    s->SerializeBool("show-bind-pose", &m_showBindPose);
    s->SerializeBool("running", &m_running);
}

void FidgetComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddCallbackVar("animation-name", kTweakString, &SetAnimationNameField, &GetAnimationNameField, this);
    panel->AddCallbackVar("show-bind-pose", kTweakBool, &SetShowBindPoseField, &GetShowBindPoseField, this);
    panel->AddBool("running", &m_running, false);
}

Variant FidgetComponent::ToVariant() { return Variant(this); }

void FidgetComponent::Update(f32 dt) {
    if (m_running) m_controller->Advance(dt);
    m_controller->UpdatePose();
}

void FidgetComponent::SetAnimation(const std::string& name) {
    if (!m_initialised) {
        m_animationName = name;
        return;
    }
    m_animation = FindAnimation(name);
    if (!m_animation) {
        LogMessage("object '" + (GetOwner() ? GetOwner()->GetName() : std::string()) + "': animation '" + name +
                   "' is no loaded clip or animation set; ignored\n");
        return;
    }
    m_animationName = name;
    m_controller->SetAnimation(m_animation);
}

void FidgetComponent::SetSkeleton(const std::string& name) {
    if (!m_initialised) {
        m_skeletonName = name;
        return;
    }
    m_skeleton = FindSkeleton(name);
    if (!m_skeleton) return;
    m_skeletonName = name;
    m_controller->SetSkeleton(m_skeleton);
}

void FidgetComponent::SetShowBindPose(bool show) {
    m_showBindPose = show;
    if (m_initialised) ApplyShowBindPose();
}

void FidgetComponent::ApplyShowBindPose() { m_controller->SetPlaying(m_showBindPose ? 0 : 1); }

f32 FidgetComponent::GetAnimationLength() const { return m_animation ? m_animation->duration : 0.0f; }

void FidgetComponent::SetAnimationTime(f32 seconds) { m_controller->SetTime(seconds); }

f32 FidgetComponent::GetAnimationTime() const { return m_controller->GetTime(); }

void FidgetComponent::NextKey() { m_controller->StepToNextKey(); }

void FidgetComponent::PreviousKey() { m_controller->StepToPreviousKey(); }

void FidgetComponent::SetAnimationRate(f32 rate) { m_controller->SetRate(rate); }

void FidgetComponent::SetLooping(bool looping) { m_controller->SetLooping(looping); }

void FidgetComponent::OnSetAnimation(std::string* name) {
    if (name) SetAnimation(*name);
}

void FidgetComponent::OnSetSkeleton(std::string* name) {
    if (name) SetSkeleton(*name);
}

void FidgetComponent::OnSetShowBindPose(bool show) { SetShowBindPose(show); }

void FidgetComponent::OnRefreshAnimation() { Update(0.0f); }

}  // namespace Ostrel
