#include "tests/engine/graphics/animation/AnimationTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <future>

namespace Ostrel::AnimationTest {

Skeleton MakeChain(u32 boneCount) {
    Skeleton skeleton;
    skeleton.bones.resize(boneCount);
    for (u32 i = 0; i < boneCount; ++i) {
        Bone& bone = skeleton.bones[i];
        bone.name = "bone" + std::to_string(i);
        bone.parent = i == 0 ? kNoParentBone : i - 1;
        bone.bindTranslation = Vec3(0, float(i), 0);
        bone.inverseBindTranslation = Vec3(0, -float(i), 0);
    }
    LinkBones(skeleton);
    return skeleton;
}

Quaternion AboutZ(float degrees) { return Quaternion::FromAxisAngle(Vec3(0, 0, 1), degrees * 3.1415927f / 180.0f); }

Animation MakeBendClip(u32 boneCount, u32 keyCount, float duration) {
    Animation clip;
    clip.duration = duration;
    clip.tracks.resize(boneCount);
    for (u32 b = 0; b < boneCount; ++b) {
        for (u32 k = 0; k < keyCount; ++k) {
            const float time = keyCount > 1 ? duration * float(k) / float(keyCount - 1) : 0.0f;
            const float degrees = keyCount > 1 ? float((k * 37 + b * 11) % 90) - 45.0f : 0.0f;
            clip.tracks[b].push_back({time, Vec3(0, b == 0 ? 0.0f : 1.0f, 0), AboutZ(degrees)});
        }
    }
    return clip;
}

bool FinishesWithin(std::function<void()> fn, int milliseconds) {
    std::promise<void> finished;
    std::future<void> done = finished.get_future();
    std::thread worker([&] {
        fn();
        finished.set_value();
    });
    if (done.wait_for(std::chrono::milliseconds(milliseconds)) == std::future_status::ready) {
        worker.join();
        return true;
    }
    ADD_FAILURE() << "did not finish within " << milliseconds << " ms";
    std::fprintf(stderr, "a call hung; ending the test program\n");
    std::_Exit(1);
}

}  // namespace Ostrel::AnimationTest
