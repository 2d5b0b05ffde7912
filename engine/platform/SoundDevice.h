#pragma once
// The sound devices' playing end: starts a sound on a new channel of the
// audio layer, and hands the channel to the sound system's records when the
// caller wants a record. The SoundDeviceManager owns it; the SoundSystem
// finds it there when it initializes and registers itself as the tracker.

#include "engine/platform/audio/AudioHandles.h"

namespace Ostrel {

class AudioMixer;
class AudioSystem;
class SoundAsset;
class SoundChannel;

// Who keeps the records of plays started with an out-parameter (the sound
// system, SoundSystem::TrackChannel).
class SoundChannelTracker {
public:
    virtual SoundChannel* TrackChannel(AudioChannel channel) = 0;
    // The device is going away (the managers are destroyed before the
    // systems): drop every channel now and forget the device.
    virtual void OnDeviceGone() = 0;

protected:
    ~SoundChannelTracker() = default;
};

class SoundDevice {
public:
    explicit SoundDevice(AudioSystem& audio) : m_audio(audio) {}
    ~SoundDevice();
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

    // Once a frame: reclaims the voices that ended.
    void Update();
    // Starts asset paused, sets its volume, then the wanted pause state. When
    // out is given, *out = the tracker's new record for the channel (null
    // without a tracker). Answers the channel (null when nothing started).
    AudioChannel PlaySound(SoundAsset& asset, SoundChannel** out, bool paused);

    AudioMixer& GetMixer();
    AudioSystem& GetAudio() { return m_audio; }
    void SetTracker(SoundChannelTracker* tracker) { m_tracker = tracker; }
    SoundChannelTracker* GetTracker() const { return m_tracker; }

private:
    AudioSystem& m_audio;
    SoundChannelTracker* m_tracker = nullptr;
};

}  // namespace Ostrel
