#pragma once
// Changes the owner's animation state in one step, as part of a sequence.
// Each setter stores its value and marks it to be applied; OnUpdate then
// applies the marked ones in this order and finishes:
//   1. "SetShowBindPose"(bool)      local messages to the owner, handled by
//   2. "SetSkeleton"(string)        its fidget ('fdgC')
//   3. "SetAnimation"(string), then "RefreshAnimation"
//   4. the owner's MeshComponent Visible flag
//   5. the fidget's playback rate   (so a new clip plays at the given rate)
//   6. the fidget's looping
// A step whose component is missing is skipped; a missing owner makes the
// action finish without effect.

#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"

#include <string>

namespace Ostrel {

class Composition;

class AnimationAction final : public ActionBase {
public:
    void SetShowBindPose(bool show);
    void SetSkeleton(const std::string& name);
    void SetAnimation(const std::string& name);
    void SetMeshVisible(bool visible);
    void SetRate(f32 rate);
    void SetLoop(bool loop);
    // The names the game's sequences use.
    void SetSkeletonName(const std::string& name) { SetSkeleton(name); }
    void SetAnimationName(const std::string& name) { SetAnimation(name); }

    int OnUpdate(f32 dt) override;

private:
    void SendAnimationMessages(Composition& owner);
    void ApplyToComponents(Composition& owner);

    bool m_showBindPose = false;
    bool m_sendShowBindPose = false;
    bool m_sendSkeleton = false;
    bool m_sendAnimation = false;
    bool m_applyVisibility = false;
    bool m_visible = false;
    bool m_applyRate = false;
    f32 m_rate = 0.0f;
    bool m_applyLoop = false;
    bool m_loop = false;
    std::string m_skeleton;
    std::string m_animation;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::AnimationAction);
