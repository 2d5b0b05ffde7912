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

// Records are made and freed only by the sound system, never through the meta
// class. A SoundChannel** message argument travels with the record's own meta
// class (the variant points at the sender's SoundChannel* variable), so no
// class of its own is registered for the pointer.
LV_REFLECT_OPAQUE(Ostrel::SoundChannel);
template <>
Ostrel::MetaClass* Ostrel::MetaClassOf<Ostrel::SoundChannel*>() {
    return Ostrel::MetaClassOf<Ostrel::SoundChannel>();
}
