#pragma once
// Builders of the steps of a scripted sequence (clips, mesh visibility,
// sounds) and the queuing of a whole sequence on an object's brain. The
// brain runs newest first, so a sequence is handed over last step first and
// then runs first to last ahead of everything else in its lane.

#include "engine/base/Types.h"

#include <vector>

namespace Ostrel {
class ActionBase;
class AnimationAction;
class PlaySoundAction;
}  // namespace Ostrel

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

// Plays the clip on the mesh (and on the skeleton when skeletonToo); a
// negative rate keeps the clip's own rate.
Ostrel::AnimationAction* ClipStep(const char* clip, f32 rate, bool skeletonToo = true);
// Shows or hides the mesh.
Ostrel::AnimationAction* MeshShownStep(bool visible);
Ostrel::PlaySoundAction* SoundStep(const char* sound);

// Hands the steps, first to last, to the brain of the object of that id in
// lane 0. Without such an object or brain the steps are deleted.
void QueueSteps(u32 ownerId, const std::vector<Ostrel::ActionBase*>& steps);

}  // namespace Vandle
