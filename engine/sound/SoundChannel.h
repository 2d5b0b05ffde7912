#pragma once
// A handle record around one play: what "PlaySoundControl" hands its caller
// (who keeps it until "ReleaseChannel"), and what the sound system keeps for
// every other play. The channel handle is generation-checked, so a record
// whose play has ended never touches a later play that reuses the voice.
// Destroying the record stops its play.

#include "engine/core/MetaClassOf.h"
#include "engine/platform/audio/AudioHandles.h"

namespace Ostrel {

class AudioMixer;

class SoundChannel {
public:
    SoundChannel() = default;
    SoundChannel(AudioMixer* mixer, AudioChannel channel) : m_mixer(mixer), m_channel(channel) {}
    ~SoundChannel() { Stop(); }
    SoundChannel(const SoundChannel&) = delete;
    SoundChannel& operator=(const SoundChannel&) = delete;

    // Stops the play (when there is one) and forgets it.
    void Stop();
    void SetPaused(bool paused);
    // False without a play, or once it ended or was stopped; true while paused.
    bool IsPlaying() const;

    AudioChannel GetChannel() const { return m_channel; }
    bool HasChannel() const { return m_mixer && !m_channel.IsNull(); }

    // Whether someone outside the sound system holds this record (a
    // "PlaySoundControl" caller). Records nobody holds are reclaimed once
    // their play has ended.
    bool IsHeld() const { return m_held; }
    void SetHeld(bool held) { m_held = held; }

private:
    AudioMixer* m_mixer = nullptr;
    AudioChannel m_channel;
    bool m_held = true;
};

}  // namespace Ostrel

// Reflected so that a SoundChannel** ("PlaySoundControl", "ReleaseChannel")
// can be a message argument: MetaClassOf<SoundChannel*>() is SoundChannel's
// own meta class.
LV_DECLARE_META_CLASS(Ostrel::SoundChannel);
LV_DECLARE_META_CLASS(Ostrel::SoundChannel*);
