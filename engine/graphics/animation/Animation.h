#pragma once
// Animation clips: a duration, a playback rate and one key track per bone
// (track i animates bone i). Keys are local to the bone's parent, in
// increasing time; a bone's model-space transform is local * parent's.

#include "engine/core/Vec3.h"
#include "engine/graphics/animation/Quaternion.h"

#include <vector>

namespace Ostrel {

struct AnimationKey {
    float time = 0.0f;  // seconds
    Vec3 translation;
    Quaternion rotation;
};

using AnimationTrack = std::vector<AnimationKey>;

// A clip as a model file stores it.
struct ModelAnimationData {
    float duration = 0.0f;
    std::vector<AnimationTrack> tracks;
};

// One entry of the AnimationManager. scale is the playback rate (negative
// plays backwards); duration * scale is the clip's natural playing length.
struct Animation {
    float duration = 0.0f;
    float scale = 1.0f;
    std::vector<AnimationTrack> tracks;
};

}  // namespace Ostrel
