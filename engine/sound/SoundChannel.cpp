#include "engine/sound/SoundChannel.h"

#include "engine/core/Reflect.h"
#include "engine/platform/audio/AudioMixer.h"

namespace Ostrel {

void SoundChannel::Stop() {
    if (!HasChannel()) return;
    m_mixer->Stop(m_channel);
    m_channel = AudioChannel{};
}

void SoundChannel::SetPaused(bool paused) {
    if (HasChannel()) m_mixer->SetPaused(m_channel, paused);
}

bool SoundChannel::IsPlaying() const { return HasChannel() && m_mixer->IsPlaying(m_channel); }

}  // namespace Ostrel

LV_REFLECT_CLASS(Ostrel::SoundChannel);
LV_REFLECT_WITH_META(Ostrel::SoundChannel*, Ostrel::ClassMetaFor<Ostrel::kMemAll>::Of<Ostrel::SoundChannel*>,
                     "SoundChannel*");
