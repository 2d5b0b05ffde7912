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

// A peak limiter with a per-block look-ahead: the gain a frame needs to stay
// under kCeiling is found first, then eased in from up to kAttackFrames
// earlier (a backward pass) and let back up at most kReleasePerFrame a frame
// (a forward pass that carries on from the last block). Quiet mixes pass
// untouched (gain exactly 1); no sample ever reaches full scale.
void AudioMixer::Limit(float* out, int frames) {
    constexpr float kAttackPerFrame = 1.0f / kAttackFrames;
    std::vector<float>& gain = m_limiterGains;
    gain.resize(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        const float peak = std::max(std::fabs(out[2 * i]), std::fabs(out[2 * i + 1]));
        gain[i] = peak > kCeiling ? kCeiling / peak : 1.0f;
        if (!std::isfinite(peak)) gain[i] = 0.0f;
    }
    for (int i = frames - 2; i >= 0; --i) gain[i] = std::min(gain[i], gain[i + 1] + kAttackPerFrame);
    float previous = m_limiterGain;
    for (int i = 0; i < frames; ++i) {
        gain[i] = std::min(gain[i], previous + kReleasePerFrame);
        previous = gain[i];
        out[2 * i] = gain[i] == 0.0f ? 0.0f : out[2 * i] * gain[i];
        out[2 * i + 1] = gain[i] == 0.0f ? 0.0f : out[2 * i + 1] * gain[i];
    }
    m_limiterGain = std::min(previous, 1.0f);
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
