#include "engine/graphics/animation/AnimationController.h"

#include "engine/graphics/animation/Skeleton.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace Ostrel {

BonePose SampleTrack(const AnimationTrack& track, float t, u32& cursor) {
    const u32 n = u32(track.size());
    // A clip replaced in place may have fewer keys than the cursor remembers.
    u32 c = std::min(cursor, n - 1);
    while (c + 1 != n && t > track[c + 1].time) ++c;
    while (c != 0 && t < track[c].time) --c;
    cursor = c;
    const AnimationKey& k0 = track[c];
    if (c + 1 == n) return {k0.translation, k0.rotation};
    const AnimationKey& k1 = track[c + 1];
    const float span = k1.time - k0.time;
    // Two keys at one time: the later key holds from that time on.
    const float u = span > 0.0f ? (t - k0.time) / span : 1.0f;
    return {k1.translation * u + k0.translation * (1.0f - u), QuaternionSlerp(u, k0.rotation, k1.rotation)};
}

void AnimationController::SetAnimation(const Animation* clip) {
    m_clip = clip;
    if (clip) m_rate = clip->scale;
    m_looping = true;
    Reset();
}

void AnimationController::SetSkeleton(const Skeleton* skeleton) {
    m_skeleton = skeleton;
    m_poses.resize(skeleton ? skeleton->bones.size() : 0);
    Reset();
}

void AnimationController::Reset() {
    RewindCursors();
    m_time = 0.0f;
    if (m_rate <= kBackwardsRate && m_clip) m_time = m_clip->duration > 0.0f ? m_clip->duration : 0.0f;
}

void AnimationController::RewindCursors() {
    for (PoseEntry& entry : m_poses) entry.keyCursor = 0;
}

void AnimationController::Advance(float dt) {
    m_time = dt * m_rate + m_time;
    WrapTime();
}

void AnimationController::SetTime(float t) {
    m_time = t;
    WrapTime();
}

// Forward past the end first, then below the start. Repeatedly adding the
// duration to a negative time would never end for a duration of 0, or for a
// time so negative that adding the duration no longer changes it; fmod gives
// the same result for ordinary times.
void AnimationController::WrapTime() {
    if (!m_clip) return;
    const float duration = m_clip->duration;
    if (!(duration > 0.0f)) {
        // A clip of one instant (or a broken duration): the time stays at 0.
        if (m_time != 0.0f) {
            if (m_looping) {
                RewindCursors();
            } else {
                m_rate = 0.0f;
            }
            m_time = 0.0f;
        }
        return;
    }
    if (duration < m_time) {
        if (m_looping) {
            m_time = std::fmod(m_time, duration);
            RewindCursors();
        } else {
            m_time = duration;
            m_rate = 0.0f;
        }
    }
    if (m_time < 0.0f) {
        if (m_looping) {
            m_time = std::fmod(m_time, duration);
            if (m_time < 0.0f) m_time += duration;
            RewindCursors();
        } else {
            m_time = 0.0f;
            m_rate = 0.0f;
        }
    }
    // An infinite time wraps to NaN; it has no place in the clip.
    if (std::isnan(m_time)) m_time = 0.0f;
}

void AnimationController::UpdatePose() {
    if (!m_skeleton) return;
    if (m_playing != 0 && m_clip) {
        Sample();
    } else {
        ApplyBindPose();
    }
}

std::size_t AnimationController::PosedBoneCount() const {
    return m_skeleton ? std::min(m_skeleton->bones.size(), m_poses.size()) : 0;
}

void AnimationController::Sample() {
    const Matrix4 identity = Matrix4::Identity();
    const std::vector<Bone>& bones = m_skeleton->bones;
    const std::vector<AnimationTrack>& tracks = m_clip->tracks;
    const std::size_t count = PosedBoneCount();
    for (std::size_t i = 0; i < count; ++i) {
        const Bone& bone = bones[i];
        const bool hasParent = bone.parent < count;
        const Matrix4& parent = hasParent ? m_poses[bone.parent].matrix : identity;
        Matrix4 local;
        if (i < tracks.size() && !tracks[i].empty()) {
            local = SampleTrack(tracks[i], m_time, m_poses[i].keyCursor).ToMatrix();
        } else {
            // No keys for this bone: it keeps its bind pose relative to its parent.
            local = hasParent ? bone.bindMatrix.Multiply(bones[bone.parent].inverseBindMatrix) : bone.bindMatrix;
        }
        m_poses[i].matrix = local.Multiply(parent);
    }
}

void AnimationController::ApplyBindPose() {
    const std::size_t count = PosedBoneCount();
    for (std::size_t i = 0; i < count; ++i) m_poses[i].matrix = m_skeleton->bones[i].bindMatrix;
}

void AnimationController::StepToNextKey() {
    if (!m_clip || !m_skeleton) return;
    const std::size_t count = std::min(m_skeleton->bones.size(), m_clip->tracks.size());
    float best = FLT_MAX;
    for (std::size_t b = 0; b < count; ++b) {
        for (const AnimationKey& key : m_clip->tracks[b]) {
            if (key.time > m_time) {
                best = std::min(best, key.time);
                break;
            }
        }
    }
    SetTime(best == FLT_MAX ? 0.0f : best);
}

// A track's first key never counts as a previous key: from between the
// first two keys of every track the time goes to the latest last key.
void AnimationController::StepToPreviousKey() {
    if (!m_clip || !m_skeleton) return;
    const std::size_t count = std::min(m_skeleton->bones.size(), m_clip->tracks.size());
    float previous = -FLT_MAX;
    float last = -FLT_MAX;
    bool anyKeys = false;
    for (std::size_t b = 0; b < count; ++b) {
        const AnimationTrack& track = m_clip->tracks[b];
        if (track.empty()) continue;
        anyKeys = true;
        std::ptrdiff_t j = -1;
        for (std::size_t k = 0; k < track.size(); ++k) {
            if (track[k].time < m_time) j = std::ptrdiff_t(k);
        }
        if (j >= 1) {
            previous = std::max(previous, track[std::size_t(j)].time);
        } else {
            last = std::max(last, track.back().time);
        }
    }
    if (!anyKeys) return;
    SetTime(previous == -FLT_MAX ? last : previous);
}

}  // namespace Ostrel
