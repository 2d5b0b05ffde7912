#include "game/common/ActionSteps.h"

#include "engine/actions/ActionSupport.h"
#include "engine/actions/AnimationAction.h"
#include "engine/actions/PlaySoundAction.h"
#include "engine/core/BrainComponent.h"

namespace Vandle {

using namespace Ostrel;

AnimationAction* ClipStep(const char* clip, f32 rate, bool skeletonToo) {
    auto* step = new AnimationAction;
    if (skeletonToo) step->SetSkeletonName(clip);
    step->SetAnimationName(clip);
    if (rate >= 0.0f) step->SetRate(rate);
    return step;
}

AnimationAction* MeshShownStep(bool visible) {
    auto* step = new AnimationAction;
    step->SetMeshVisible(visible);
    return step;
}

PlaySoundAction* SoundStep(const char* sound) {
    auto* step = new PlaySoundAction;
    step->SetSound(sound);
    return step;
}

void QueueSteps(u32 ownerId, const std::vector<ActionBase*>& steps) {
    BrainComponent* brain = GetBrainComponentOf(FindActionObject(ownerId));
    for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
        (*it)->SetOwner(ownerId);
        (*it)->SetLane(0);
        if (brain)
            brain->AddAction(*it);
        else
            delete *it;
    }
}

}  // namespace Vandle
