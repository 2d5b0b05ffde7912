#pragma once
// Our software mixer: a fixed set of voices, each playing one clip, mixed into
// interleaved stereo float frames at the output rate.
//
// Rules the sound code relies on:
// - Every play starts in the master group; a channel may then move to another
//   group. A play started paused stays silent until it is unpaused, wherever
//   it is moved meanwhile.
// - Effective gain = channel volume x group volume x (group muted ? 0 : 1).
//   A muted channel keeps advancing; a paused one (its own pause or its
//   group's) holds its place and counts as playing.
// - Channel handles are generation-checked (AudioHandles.h).
// - At the voice limit a new play takes a voice: the oldest one-shot (not
//   looping) voice, or, when every voice loops, the oldest voice. Music and
//   held loops therefore survive a burst of effects.
// - The mix goes through a smooth-gain peak limiter: a mix that stays under
//   kKnee passes unchanged; above it the gain follows a soft knee whose
//   output approaches kCeiling but never reaches it, held over the loudest
//   frame of the next kHoldFrames (within the block being mixed) and eased
//   in and out, so a loud moment is turned down as a whole, not cut off at
//   a level: no output sample reaches full scale and no run of samples sits
//   flat at the ceiling, however many loud sounds play at once.
//
// Threads: Mix runs on the audio device's thread, plays and updates on the
// main thread, clip loading on the loading thread (outside the mixer). One
// mutex guards the voices and groups; nothing slow (decoder creation, freeing
// clips) is done while holding it except the stream decoding inside Mix.

#include "engine/base/Types.h"
#include "engine/platform/audio/AudioHandles.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace Ostrel {

class AudioClip;
class AudioVoice;

class AudioMixer {
public:
    static constexpr int kDefaultVoices = 100;
    // The limiter: levels up to kKnee pass; louder peaks are mapped onto a
    // curve that rises from kKnee towards kCeiling without reaching it. A
    // peak's gain holds over the kHoldFrames before it (a look-ahead within
    // the block), eases in over kAttackFrames before that and recovers by
    // kReleasePerFrame a frame after it (about a quarter second at 48 kHz).
    static constexpr float kKnee = 0.9f;
    static constexpr float kCeiling = 0.94f;
    static constexpr int kHoldFrames = 256;
    static constexpr int kAttackFrames = 64;
    static constexpr float kReleasePerFrame = 1.0f / 12000.0f;
    // The gain that brings a frame whose louder channel is at `peak` onto the
    // limiter's curve (1 at or below kKnee; 0 for a non-finite peak).
    static float LimiterGain(float peak);

    explicit AudioMixer(int outputRate, int voiceCount = kDefaultVoices);
    ~AudioMixer();
    AudioMixer(const AudioMixer&) = delete;
    AudioMixer& operator=(const AudioMixer&) = delete;

    int OutputRate() const { return m_outputRate; }
    int VoiceCount() const;

    // Starts clip in the master group at volume 1. Answers a null handle when
    // there is no clip or its stream cannot be opened.
    AudioChannel Play(std::shared_ptr<const AudioClip> clip, bool paused);
    void SetVolume(AudioChannel channel, float volume);
    void SetPaused(AudioChannel channel, bool paused);
    void SetGroup(AudioChannel channel, AudioGroup group);
    void Stop(AudioChannel channel);
    // True from the play until it ends or is stopped, paused or not.
    bool IsPlaying(AudioChannel channel) const;

    AudioGroup CreateGroup();
    void SetGroupVolume(AudioGroup group, float volume);
    void SetGroupPaused(AudioGroup group, bool paused);
    void SetGroupMute(AudioGroup group, bool mute);
    // Stops every channel of the group.
    void StopGroup(AudioGroup group);

    // Writes frames interleaved stereo frames into out (overwriting it).
    // Called by the audio device's thread, or directly by tests.
    void Mix(float* out, int frames);
    // Frames mixed so far (any thread). Read after a change (a mute, a stop),
    // it tells where the output heard the change: every frame mixed after
    // this count was mixed after the change.
    u64 MixedFrames() const { return m_mixedFrames.load(); }
    // Lets go of the clips and decoders of ended voices (main thread, once a
    // frame), so that no decoder is closed or clip freed on the audio thread.
    void ReclaimEnded();
    int ActiveVoices() const;

private:
    struct Group {
        float volume = 1.0f;
        bool paused = false;
        bool muted = false;
    };
    struct Slot;

    Slot* FindLocked(AudioChannel channel);
    const Slot* FindLocked(AudioChannel channel) const;
    Slot& ChooseSlotLocked();
    bool ValidGroupLocked(AudioGroup group) const { return group.index < m_groups.size(); }
    // Runs on the mixing thread only (Mix's caller), so needs no lock.
    void Limit(float* out, int frames);
    void HoldLookAhead(std::vector<float>& gain);

    const int m_outputRate;
    mutable std::mutex m_mutex;
    std::vector<Slot> m_slots;
    std::vector<Group> m_groups;
    u64 m_playCounter = 0;
    std::atomic<u64> m_mixedFrames{0};
    float m_limiterGain = 1.0f;         // the gain at the end of the last block
    std::vector<float> m_limiterGains;  // per-frame gains of the block being mixed
    std::vector<int> m_limiterWindow;   // frames of the look-ahead minimum, by rising gain
    std::vector<float> m_limiterHeld;   // the look-ahead minima of the block
};

}  // namespace Ostrel
