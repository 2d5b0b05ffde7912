#include "engine/platform/SoundDevice.h"

#include "engine/platform/SoundAsset.h"
#include "engine/platform/audio/AudioSystem.h"

namespace Ostrel {

SoundDevice::~SoundDevice() {
    if (m_tracker) m_tracker->OnDeviceGone();
}

void SoundDevice::Update() { m_audio.Update(); }

AudioMixer& SoundDevice::GetMixer() { return m_audio.Mixer(); }

AudioChannel SoundDevice::PlaySound(SoundAsset& asset, SoundChannel** out, bool paused) {
    AudioMixer& mixer = m_audio.Mixer();
    const AudioChannel channel = mixer.Play(asset.GetClip(), true);
    mixer.SetVolume(channel, asset.GetVolume());
    mixer.SetPaused(channel, paused);
    if (out) *out = m_tracker ? m_tracker->TrackChannel(channel) : nullptr;
    return channel;
}

}  // namespace Ostrel
