#pragma once
// Plays one clip on one skeleton and keeps every bone's current model-space
// matrix (the pose list), which the drawing step combines with the bone's
// inverse bind matrix into its skinning matrix.
//
// Time runs in seconds within the clip, advanced by dt * rate; a negative
// rate plays backwards. A looping clip wraps at both ends; any other stops
// at the end it reaches with rate 0 until SetAnimation sets the rate again.
// Each bone keeps a key cursor so that consecutive frames find their key
// pair in a step or two; wrapping sends every cursor back to 0.
//
// Degenerate data never hangs or divides by zero: a clip of duration 0 (or
// less) keeps the time at 0; a bone without a track, or with an empty one,
// holds its bind pose relative to its parent; two keys at the same time use
// the later key. Without a clip the bind pose is shown; without a skeleton
// there is no pose.
//
// Threads: one thread at a time uses a controller (the animation worker
// whose slice holds its object, or the main thread). The clip and skeleton
// are only read and may be shared by controllers on several threads.
// Sampling allocates nothing; the pose list is sized by SetSkeleton only.

#include "engine/base/Types.h"
#include "engine/core/Matrix4.h"
#include "engine/core/Vec3.h"
#include "engine/graphics/animation/Animation.h"
#include "engine/graphics/animation/Quaternion.h"

#include <vector>

namespace Ostrel {

struct Skeleton;

struct BonePose {
    Vec3 translation;
    Quaternion rotation;

    Matrix4 ToMatrix() const { return QuaternionTranslationToMatrix(rotation, translation); }
};

struct PoseEntry {
    u32 keyCursor = 0;
    Matrix4 matrix;  // model space; all zero until the first pose update
};

// The pose of one bone at time t from its track (keys in increasing time),
// starting the key search at cursor and leaving the pair's first key there.
// At a key's time the pair ending at that key is used; before the first key
// the first pair extrapolates. A single key is returned as it is. The track
// must not be empty.
BonePose SampleTrack(const AnimationTrack& track, float t, u32& cursor);

class AnimationController {
public:
    // Rates at or below this play backwards and start at the clip's end.
    static constexpr float kBackwardsRate = -0.001f;

    // clip and skeleton are borrowed: their managers own them and keep them
    // valid while components point to them.
    void SetAnimation(const Animation* clip);
    void SetSkeleton(const Skeleton* skeleton);
    void Reset();
    // Non-zero samples the clip; zero shows the bind pose.
    void SetPlaying(u32 playing) { m_playing = playing; }
    void SetLooping(bool looping) { m_looping = looping; }
    void SetRate(float rate) { m_rate = rate; }

    void Advance(float dt);
    void SetTime(float t);
    void UpdatePose();
    // Move the time to the nearest later key of any track (0 when there is
    // none), or to the nearest earlier key that is not a track's first key
    // (the latest last key when there is none). The viewer's key buttons.
    void StepToNextKey();
    void StepToPreviousKey();

    float GetTime() const { return m_time; }
    float GetRate() const { return m_rate; }
    u32 GetPlaying() const { return m_playing; }
    bool IsLooping() const { return m_looping; }
    const Animation* GetAnimation() const { return m_clip; }
    const Skeleton* GetSkeleton() const { return m_skeleton; }
    const std::vector<PoseEntry>& GetPoses() const { return m_poses; }

private:
    void WrapTime();
    void RewindCursors();
    void Sample();
    void ApplyBindPose();
    // How many bones the pose list and the skeleton both hold (the skeleton
    // may be replaced in place with a different bone count).
    std::size_t PosedBoneCount() const;

    const Animation* m_clip = nullptr;
    const Skeleton* m_skeleton = nullptr;
    float m_time = 0.0f;
    float m_rate = 1.0f;
    u32 m_playing = 0;
    bool m_looping = true;
    std::vector<PoseEntry> m_poses;
};

}  // namespace Ostrel
