#include "tests/engine/graphics/animation/AnimationTestSupport.h"

#include "engine/graphics/animation/AnimationController.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

namespace Ostrel {
namespace {

using AnimationTest::AboutZ;
using AnimationTest::FinishesWithin;
using AnimationTest::MakeBendClip;
using AnimationTest::MakeChain;

// A controller playing clip on skeleton.
AnimationController Playing(const Animation& clip, const Skeleton& skeleton) {
    AnimationController controller;
    controller.SetSkeleton(&skeleton);
    controller.SetAnimation(&clip);
    controller.SetPlaying(1);
    return controller;
}

bool AllCursorsAt(const AnimationController& controller, u32 cursor) {
    for (const PoseEntry& entry : controller.GetPoses()) {
        if (entry.keyCursor != cursor) return false;
    }
    return true;
}

TEST(AnimationController, WrapsLoopingClipsAndStopsOthersAtTheEndTheyReach) {
    const Skeleton skeleton = MakeChain(3);
    const Animation clip = MakeBendClip(3, 9, 2.0f);
    AnimationController controller = Playing(clip, skeleton);
    controller.SetTime(1.9f);
    controller.UpdatePose();
    EXPECT_TRUE(AllCursorsAt(controller, 7)) << "keys every 0.25 s: 1.9 lies between keys 7 and 8";
    controller.Advance(0.25f);
    EXPECT_NEAR(controller.GetTime(), 0.15f, 1e-6f);
    EXPECT_TRUE(AllCursorsAt(controller, 0)) << "a wrap sends every cursor back";

    controller.SetLooping(false);
    controller.SetTime(1.9f);
    controller.Advance(0.25f);
    EXPECT_EQ(controller.GetTime(), 2.0f);
    EXPECT_EQ(controller.GetRate(), 0.0f);
    controller.Advance(1.0f);
    EXPECT_EQ(controller.GetTime(), 2.0f) << "a stopped clip stays stopped";
    controller.SetAnimation(&clip);
    EXPECT_EQ(controller.GetRate(), 1.0f) << "SetAnimation restores the clip's rate and looping";
    EXPECT_TRUE(controller.IsLooping());
    controller.SetLooping(false);
    controller.SetTime(-0.5f);
    EXPECT_EQ(controller.GetTime(), 0.0f);
    EXPECT_EQ(controller.GetRate(), 0.0f);
    controller.SetTime(2.0f);
    EXPECT_EQ(controller.GetTime(), 2.0f) << "the ends themselves are inside the clip";
}

TEST(AnimationController, BackwardsClipsStartAtTheirEndAndWrapToJustBelowIt) {
    const Skeleton skeleton = MakeChain(2);
    Animation backwards = MakeBendClip(2, 3, 2.0f);
    backwards.scale = -1.0f;
    AnimationController controller = Playing(backwards, skeleton);
    EXPECT_EQ(controller.GetTime(), 2.0f);
    controller.SetTime(0.1f);
    controller.Advance(0.2f);
    EXPECT_NEAR(controller.GetTime(), 1.9f, 1e-6f);

    Animation slow = backwards;
    slow.scale = -0.0005f;
    controller.SetAnimation(&slow);
    EXPECT_EQ(controller.GetTime(), 0.0f) << "a rate above -0.001 starts at 0";
}

TEST(AnimationController, SamplesKeysWithCursorsSlerpAndParentChain) {
    const Skeleton skeleton = MakeChain(2);
    Animation clip;
    clip.duration = 1.0f;
    clip.tracks = {{{0.0f, Vec3(0, 0, 0), Quaternion()}},
                   {{0.0f, Vec3(0, 1, 0), Quaternion()}, {1.0f, Vec3(0, 3, 0), AboutZ(90)}}};
    AnimationController controller = Playing(clip, skeleton);
    for (float t : {0.0f, 0.5f, 1.0f}) {
        controller.SetTime(t);
        controller.UpdatePose();
        EXPECT_EQ(controller.GetPoses()[0].matrix, Matrix4::Identity()) << "a single key is constant";
    }
    controller.SetTime(0.5f);
    controller.UpdatePose();
    const Matrix4& tip = controller.GetPoses()[1].matrix;
    EXPECT_TRUE(tip.NearlyEqual(QuaternionTranslationToMatrix(AboutZ(45), Vec3(0, 2, 0))));
    // +x of the tip turned 45 degrees toward +y.
    const Vec4 x = Vec4(1, 0, 0, 0) * tip;
    EXPECT_NEAR(x.x, std::sqrt(0.5f), 1e-6f);
    EXPECT_NEAR(x.y, std::sqrt(0.5f), 1e-6f);

    // At a key's time the pair ending there is used (u = 1); before the
    // first key the first pair extrapolates.
    u32 cursor = 0;
    EXPECT_EQ(SampleTrack(clip.tracks[1], 1.0f, cursor).translation, Vec3(0, 3, 0));
    EXPECT_EQ(cursor, 0u);
    EXPECT_NEAR(SampleTrack(clip.tracks[1], -0.5f, cursor).translation.y, 0.0f, 1e-6f);
}

TEST(QuaternionSlerp, TakesTheShorterArcAndReturnsEqualRotationsUnchanged) {
    const Quaternion q0 = AboutZ(0);
    Quaternion q1 = AboutZ(90);
    const Quaternion half = QuaternionSlerp(0.5f, q0, q1);
    EXPECT_NEAR(half.z, AboutZ(45).z, 1e-6f);
    EXPECT_NEAR(half.w, AboutZ(45).w, 1e-6f);
    // The same rotation written with the opposite sign: still 45 degrees,
    // not the long way round.
    const Quaternion negated{-q1.x, -q1.y, -q1.z, -q1.w};
    const Quaternion shorter = QuaternionSlerp(0.5f, q0, negated);
    EXPECT_NEAR(shorter.z, AboutZ(45).z, 1e-6f);
    EXPECT_NEAR(shorter.w, AboutZ(45).w, 1e-6f);

    const Quaternion q = AboutZ(33);
    for (float u : {0.0f, 0.25f, 0.5f, 1.0f}) {
        const Quaternion same = QuaternionSlerp(u, q, q);
        EXPECT_FLOAT_EQ(same.z, q.z);
        EXPECT_FLOAT_EQ(same.w, q.w);
    }
}

TEST(AnimationController, BindPoseGivesIdentitySkinMatricesAndNeedsNoClip) {
    const Skeleton skeleton = MakeChain(4);
    const Animation clip = MakeBendClip(4, 5, 1.0f);
    AnimationController controller = Playing(clip, skeleton);
    controller.SetTime(0.3f);
    controller.UpdatePose();
    controller.SetPlaying(0);
    controller.UpdatePose();
    for (std::size_t i = 0; i < skeleton.bones.size(); ++i) {
        const Matrix4 skin = skeleton.bones[i].inverseBindMatrix * controller.GetPoses()[i].matrix;
        EXPECT_TRUE(skin.NearlyEqual(Matrix4::Identity())) << "bone " << i;
    }
    AnimationController noClip;
    noClip.SetSkeleton(&skeleton);
    noClip.SetPlaying(1);
    noClip.UpdatePose();
    EXPECT_EQ(noClip.GetPoses()[3].matrix, skeleton.bones[3].bindMatrix);
}

TEST(AnimationController, StepsToNextAndPreviousKeysAcrossTracks) {
    const Skeleton skeleton = MakeChain(2);
    Animation clip;
    clip.duration = 2.0f;
    clip.tracks = {{{0.0f, {}, {}}, {1.0f, {}, {}}, {2.0f, {}, {}}}, {{0.0f, {}, {}}, {0.5f, {}, {}}, {2.0f, {}, {}}}};
    AnimationController controller = Playing(clip, skeleton);
    struct Step {
        float from;
        bool next;
        float to;
    };
    const Step steps[] = {
        {0.25f, true, 0.5f}, {0.5f, true, 1.0f}, {2.0f, true, 0.0f},  // none later: back to 0
        {1.5f, false, 1.0f}, {0.75f, false, 0.5f},
        {0.25f, false, 2.0f},  // key 0 is never a previous key: to the latest last key
    };
    for (const Step& step : steps) {
        controller.SetTime(step.from);
        if (step.next) {
            controller.StepToNextKey();
        } else {
            controller.StepToPreviousKey();
        }
        EXPECT_EQ(controller.GetTime(), step.to) << (step.next ? "next" : "previous") << " from " << step.from;
    }
}

// Clips no valid file makes, or clips that do not fit the skeleton: each
// update finishes, gives finite matrices and leaves the time in the clip.
TEST(AnimationController, DegenerateClipsFinishWithFiniteResults) {
    const Skeleton skeleton = MakeChain(3);
    auto finite = [](const AnimationController& c) {
        if (!std::isfinite(c.GetTime())) return false;
        for (const PoseEntry& entry : c.GetPoses())
            for (float v : entry.matrix.m)
                if (!std::isfinite(v)) return false;
        return true;
    };

    Animation instant = MakeBendClip(3, 2, 0.0f);  // duration 0, two keys at time 0
    AnimationController controller = Playing(instant, skeleton);
    EXPECT_TRUE(FinishesWithin([&] {
        for (float step : {0.5f, -0.5f, -1e30f, 1e30f}) {
            controller.Advance(step);
            controller.UpdatePose();
        }
    }));
    EXPECT_EQ(controller.GetTime(), 0.0f);
    EXPECT_TRUE(finite(controller));
    const Matrix4 laterKeys = QuaternionTranslationToMatrix(instant.tracks[1][1].rotation, Vec3(0, 1, 0)) *
                              QuaternionToMatrix(instant.tracks[0][1].rotation);
    EXPECT_TRUE(controller.GetPoses()[1].matrix.NearlyEqual(laterKeys)) << "equal key times use the later key";

    Animation normal = MakeBendClip(3, 5, 2.0f);
    controller.SetAnimation(&normal);
    EXPECT_TRUE(FinishesWithin([&] {
        for (float t : {-1e30f, -FLT_MAX, -std::numeric_limits<float>::infinity(),
                        std::numeric_limits<float>::quiet_NaN(), 3e38f}) {
            controller.SetTime(t);
            controller.UpdatePose();
            EXPECT_GE(controller.GetTime(), 0.0f) << t;
            EXPECT_LE(controller.GetTime(), 2.0f) << t;
        }
    }));
    EXPECT_TRUE(finite(controller));

    // Fewer tracks than bones, and an empty track: those bones hold their
    // bind pose relative to their parent (here the whole chain's bind pose).
    Animation partial;
    partial.duration = 1.0f;
    partial.tracks = {{{0.0f, Vec3(), Quaternion()}}, {}};
    controller.SetAnimation(&partial);
    EXPECT_TRUE(FinishesWithin([&] {
        controller.Advance(0.5f);
        controller.UpdatePose();
    }));
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(controller.GetPoses()[i].matrix.NearlyEqual(skeleton.bones[i].bindMatrix)) << i;
    }

    // A clip and a skeleton changed in place behind the controller (the
    // viewer's reload): fewer keys than the cursors remember, more bones than
    // poses.
    Skeleton growing = MakeChain(3);
    Animation shrinking = MakeBendClip(3, 9, 2.0f);
    controller.SetSkeleton(&growing);
    controller.SetAnimation(&shrinking);
    controller.SetTime(1.9f);
    controller.UpdatePose();
    ASSERT_TRUE(AllCursorsAt(controller, 7));
    shrinking = MakeBendClip(3, 2, 2.0f);
    growing = MakeChain(6);
    EXPECT_TRUE(FinishesWithin([&] { controller.UpdatePose(); }));
    EXPECT_EQ(controller.GetPoses().size(), 3u);
    EXPECT_TRUE(finite(controller));

    AnimationController empty;
    EXPECT_TRUE(FinishesWithin([&] {
        empty.SetPlaying(1);
        empty.Advance(1.0f);
        empty.UpdatePose();
        empty.StepToNextKey();
        empty.StepToPreviousKey();
    }));
    EXPECT_TRUE(empty.GetPoses().empty());
}

}  // namespace
}  // namespace Ostrel
