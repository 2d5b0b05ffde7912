#pragma once
// Plays an object's skeletal animation ('fdgC'): it names a skeleton and an
// animation asset, owns the AnimationController that samples the animation
// into a pose, and is stepped once per frame by the AnimationSystem.
//
// Names and assets: before Initialize a name change only stores the name;
// Initialize looks the named assets up (the animation before the skeleton).
// From then on a name change looks the asset up at once and replaces the
// pointer with the result, also when nothing has that name: the pointer is
// then null (GetAnimationLength answers 0) while the name and the controller
// keep what they had, so the old clip plays on.
//
// Messages: a live object's fidget listens to its own "SetAnimation" and
// "SetSkeleton" (std::string*), "SetShowBindPose" (bool) and
// "RefreshAnimation" (rebuilds the pose at the current time, on the main
// thread) from Initialize until Uninitialize. Archetypes stay passive.
//
// Threads: Update runs on an animation worker while the main thread waits.
// It reads the running flag and touches only its own controller (which reads
// the shared skeleton and clip): no messages, no look-ups, no other object.
// Every other operation runs on the main thread.

#include "engine/base/Types.h"
#include "engine/components/FidgetControl.h"
#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/graphics/animation/AnimatedComponent.h"

#include <memory>
#include <string>

namespace Ostrel {

class AnimationController;
class MeshComponent;
struct Animation;
struct Skeleton;

class FidgetComponent final : public Component, public AnimatedComponent, public FidgetControl {
public:
    static constexpr u32 kTypeId = FourCC("fdgC");

    FidgetComponent();
    ~FidgetComponent() override;

    void Initialize() override;
    // A copy of names, assets and flags with its own controller; not
    // initialised until its own Initialize.
    Component* Clone() const override;
    void Uninitialize() override;
    // "skeleton-name", "animation-name", "show-bind-pose", "running". A name
    // read drops the asset pointer, so Initialize looks the name up.
    void Serialize(Serializer* serializer) override;
    void ExposeProperties(TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;

    // Advances the controller by dt when running, then rebuilds the pose.
    void Update(f32 dt) override;

    void SetAnimation(const std::string& name) override;
    void SetSkeleton(const std::string& name);
    void SetShowBindPose(bool show);
    // The controller samples the clip unless the bind pose is to be shown.
    void ApplyShowBindPose();
    // Seconds; 0 without an animation.
    f32 GetAnimationLength() const;
    const std::string& GetAnimationName() const { return m_animationName; }
    const std::string& GetSkeletonName() const { return m_skeletonName; }
    // Wrapped or clamped by the controller.
    void SetAnimationTime(f32 seconds);
    f32 GetAnimationTime() const;
    void NextKey();
    void PreviousKey();
    void SetAnimationRate(f32 rate) override;
    void SetLooping(bool looping) override;
    void SetRunning(bool running) { m_running = running; }
    bool IsRunning() const { return m_running; }
    bool IsShowingBindPose() const { return m_showBindPose; }

    void OnSetAnimation(std::string* name);
    void OnSetSkeleton(std::string* name);
    void OnSetShowBindPose(bool show);
    void OnRefreshAnimation();

    const Animation* GetAnimation() const { return m_animation; }
    const Skeleton* GetSkeleton() const { return m_skeleton; }
    const AnimationController& GetController() const { return *m_controller; }
    // The sibling MeshComponent found by Initialize (null without one).
    MeshComponent* GetMesh() const { return m_mesh; }

private:
    void ReportMissingAssets() const;
    void LookUpNamedAssets();
    void Subscribe();
    void Unsubscribe();

    std::string m_skeletonName;
    std::string m_animationName;
    const Skeleton* m_skeleton = nullptr;
    const Animation* m_animation = nullptr;
    std::unique_ptr<AnimationController> m_controller;
    bool m_running = true;
    bool m_showBindPose = false;
    bool m_initialised = false;
    bool m_listening = false;
    MeshComponent* m_mesh = nullptr;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::FidgetComponent);
