#include "engine/platform/SoundAsset.h"

#include "engine/platform/SoundDefinition.h"
#include "engine/platform/SoundDevice.h"
#include "engine/platform/audio/AudioClip.h"

namespace Ostrel {

SoundAsset::SoundAsset(std::shared_ptr<const AudioClip> clip, SoundDevice* device,
                       const SoundDefinition* definition)
    : m_clip(std::move(clip)), m_device(device), m_definition(definition) {}

f32 SoundAsset::GetVolume() const { return m_definition ? m_definition->GetVolume() : 1.0f; }

s32 SoundAsset::GetInstanceLimit() const {
    return m_definition ? m_definition->GetInstances() : 0;
}

AudioChannel SoundAsset::Play(SoundChannel** out, bool paused) {
    if (!m_device) return {};
    return m_device->PlaySound(*this, out, paused);
}

void SoundAsset::Release() { m_clip.reset(); }

}  // namespace Ostrel
