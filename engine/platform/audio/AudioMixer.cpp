#include "engine/platform/audio/AudioMixer.h"

#include "engine/platform/audio/AudioClip.h"
#include "engine/platform/audio/AudioDecoder.h"
#include "engine/platform/audio/AudioVoice.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Ostrel {

struct AudioMixer::Slot {
    AudioVoice voice;
    u32 generation = 0;
    bool active = false;
    bool paused = false;
    float volume = 1.0f;
    u32 group = 0;
    u64 startOrder = 0;
};

AudioMixer::AudioMixer(int outputRate, int voiceCount)
    : m_outputRate(outputRate > 0 ? outputRate : 48000),
      m_slots(static_cast<std::size_t>(std::max(1, voiceCount))),
      m_groups(1) {}

AudioMixer::~AudioMixer() = default;

int AudioMixer::VoiceCount() const { return static_cast<int>(m_slots.size()); }

AudioChannel AudioMixer::Play(std::shared_ptr<const AudioClip> clip, bool paused) {
    if (!clip) return {};
    std::unique_ptr<AudioDecoder> stream;
    if (clip->IsStream()) {
        stream = clip->OpenStream();
        if (!stream) return {};
    }
    AudioVoice previous;  // the taken voice's clip and decoder die after the lock
    std::lock_guard lock(m_mutex);
    Slot& slot = ChooseSlotLocked();
    previous = std::move(slot.voice);
    slot.voice = AudioVoice();
    slot.voice.Start(std::move(clip), std::move(stream), m_outputRate);
    slot.generation += 1;
    slot.active = true;
    slot.paused = paused;
    slot.volume = 1.0f;
    slot.group = 0;
    slot.startOrder = ++m_playCounter;
    return {static_cast<u32>(&slot - m_slots.data()), slot.generation};
}

AudioMixer::Slot& AudioMixer::ChooseSlotLocked() {
    for (Slot& slot : m_slots) {
        if (!slot.active) return slot;
    }
    Slot* oldestOneShot = nullptr;
    Slot* oldest = &m_slots.front();
    for (Slot& slot : m_slots) {
        if (slot.startOrder < oldest->startOrder) oldest = &slot;
        if (!slot.voice.IsLooping() &&
            (!oldestOneShot || slot.startOrder < oldestOneShot->startOrder))
            oldestOneShot = &slot;
    }
    return oldestOneShot ? *oldestOneShot : *oldest;
}

AudioMixer::Slot* AudioMixer::FindLocked(AudioChannel channel) {
    if (channel.slot >= m_slots.size()) return nullptr;
    Slot& slot = m_slots[channel.slot];
    if (!slot.active || slot.generation != channel.generation) return nullptr;
    return &slot;
}

const AudioMixer::Slot* AudioMixer::FindLocked(AudioChannel channel) const {
    return const_cast<AudioMixer*>(this)->FindLocked(channel);
}

void AudioMixer::SetVolume(AudioChannel channel, float volume) {
    std::lock_guard lock(m_mutex);
    if (Slot* slot = FindLocked(channel)) slot->volume = volume;
}

void AudioMixer::SetPaused(AudioChannel channel, bool paused) {
    std::lock_guard lock(m_mutex);
    if (Slot* slot = FindLocked(channel)) slot->paused = paused;
}

void AudioMixer::SetGroup(AudioChannel channel, AudioGroup group) {
    std::lock_guard lock(m_mutex);
    if (!ValidGroupLocked(group)) return;
    if (Slot* slot = FindLocked(channel)) slot->group = group.index;
}

void AudioMixer::Stop(AudioChannel channel) {
    std::lock_guard lock(m_mutex);
    if (Slot* slot = FindLocked(channel)) slot->active = false;
}

bool AudioMixer::IsPlaying(AudioChannel channel) const {
    std::lock_guard lock(m_mutex);
    return FindLocked(channel) != nullptr;
}

AudioGroup AudioMixer::CreateGroup() {
    std::lock_guard lock(m_mutex);
    m_groups.emplace_back();
    return {static_cast<u32>(m_groups.size() - 1)};
}

void AudioMixer::SetGroupVolume(AudioGroup group, float volume) {
    std::lock_guard lock(m_mutex);
    if (ValidGroupLocked(group)) m_groups[group.index].volume = volume;
}

void AudioMixer::SetGroupPaused(AudioGroup group, bool paused) {
    std::lock_guard lock(m_mutex);
    if (ValidGroupLocked(group)) m_groups[group.index].paused = paused;
}

void AudioMixer::SetGroupMute(AudioGroup group, bool mute) {
    std::lock_guard lock(m_mutex);
    if (ValidGroupLocked(group)) m_groups[group.index].muted = mute;
}

void AudioMixer::StopGroup(AudioGroup group) {
    std::lock_guard lock(m_mutex);
    for (Slot& slot : m_slots) {
        if (slot.active && slot.group == group.index) slot.active = false;
    }
}

void AudioMixer::Mix(float* out, int frames) {
    if (!out || frames <= 0) return;
    std::memset(out, 0, sizeof(float) * 2 * static_cast<std::size_t>(frames));
    {
        std::lock_guard lock(m_mutex);
        for (Slot& slot : m_slots) {
            if (!slot.active) continue;
            const Group& group = m_groups[slot.group];
            if (slot.paused || group.paused) continue;
            const float gain = group.muted ? 0.0f : slot.volume * group.volume;
            if (!slot.voice.Render(out, frames, gain)) slot.active = false;
        }
        // Counted under the lock: a caller that changed something and then
        // reads the count knows every later frame was mixed after its change.
        m_mixedFrames += static_cast<u64>(frames);
    }
    Limit(out, frames);
}

float AudioMixer::LimiterGain(float peak) {
    if (!std::isfinite(peak)) return 0.0f;
    if (peak <= kKnee) return 1.0f;
    // Above the knee the level follows kKnee + span * e / (span + e), e the
    // excess over the knee: it leaves the knee at slope 1 and rises towards
    // kCeiling without reaching it, so louder peaks land on higher levels
    // (still apart at forty times full scale) and none on the ceiling.
    constexpr double kSpan = double(kCeiling) - double(kKnee);
    const double excess = double(peak) - double(kKnee);
    const double level = double(kKnee) + kSpan * excess / (kSpan + excess);
    return static_cast<float>(std::min(level, double(kCeiling)) / peak);
}

// Four passes over the block:
// 1. each frame's gain onto the curve (LimiterGain);
// 2. a look-ahead minimum: a frame takes the lowest gain of itself and the
//    kHoldFrames after it in this block, so the whole rise to a peak is
//    turned down by the peak's gain, and only the loudest frame of a stretch
//    comes near the ceiling (gain that tracked every frame would flatten the
//    top of each wave onto one level);
// 3. a backward pass eases the gain in over kAttackFrames before that;
// 4. a forward pass lets it back up at most kReleasePerFrame a frame,
//    carrying on from the last block.
// The gain of every frame is at most its own frame's gain, so no sample
// passes the curve. A peak just past the end of a block is met by a gain
// step at the start of the next one rather than eased into.
void AudioMixer::Limit(float* out, int frames) {
    std::vector<float>& gain = m_limiterGains;
    gain.resize(static_cast<std::size_t>(frames));
    bool quiet = m_limiterGain >= 1.0f;
    for (int i = 0; i < frames; ++i) {
        float& left = out[2 * i];
        float& right = out[2 * i + 1];
        if (!std::isfinite(left)) left = 0.0f;  // a broken voice must not silence the mix
        if (!std::isfinite(right)) right = 0.0f;
        gain[i] = LimiterGain(std::max(std::fabs(left), std::fabs(right)));
        quiet = quiet && gain[i] == 1.0f;
    }
    if (quiet) return;
    HoldLookAhead(gain);
    constexpr float kAttackPerFrame = 1.0f / kAttackFrames;
    for (int i = frames - 2; i >= 0; --i) gain[i] = std::min(gain[i], gain[i + 1] + kAttackPerFrame);
    float previous = m_limiterGain;
    for (int i = 0; i < frames; ++i) {
        gain[i] = std::min(gain[i], previous + kReleasePerFrame);
        previous = gain[i];
        // Full scale is a safety net for absurd input only: a sane mix is
        // held under kCeiling by the gain.
        out[2 * i] = std::clamp(out[2 * i] * gain[i], -1.0f, 1.0f);
        out[2 * i + 1] = std::clamp(out[2 * i + 1] * gain[i], -1.0f, 1.0f);
    }
    m_limiterGain = std::min(previous, 1.0f);
}

// Sliding minimum over [i, i + kHoldFrames], walked backwards with a queue of
// frames whose gains rise from front to back (each frame enters and leaves
// once). The minima go to a second buffer, which then becomes the gains.
void AudioMixer::HoldLookAhead(std::vector<float>& gain) {
    const int frames = static_cast<int>(gain.size());
    std::vector<int>& window = m_limiterWindow;
    std::vector<float>& held = m_limiterHeld;
    window.resize(static_cast<std::size_t>(frames));
    held.resize(static_cast<std::size_t>(frames));
    int front = 0, back = 0;  // the queue is window[front, back)
    for (int i = frames - 1; i >= 0; --i) {
        while (back > front && gain[window[back - 1]] >= gain[i]) --back;
        window[back++] = i;
        while (window[front] > i + kHoldFrames) ++front;
        held[i] = gain[window[front]];
    }
    gain.swap(held);
}

void AudioMixer::ReclaimEnded() {
    std::vector<AudioVoice> ended;
    {
        std::lock_guard lock(m_mutex);
        for (Slot& slot : m_slots) {
            if (slot.active || !slot.voice.HasClip()) continue;
            ended.push_back(std::move(slot.voice));
            slot.voice = AudioVoice();
        }
    }
}

int AudioMixer::ActiveVoices() const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(std::count_if(m_slots.begin(), m_slots.end(),
                                          [](const Slot& slot) { return slot.active; }));
}

}  // namespace Ostrel
