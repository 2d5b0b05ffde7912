#pragma once
// The sound system ('sndS'): the game plays sounds by sending messages, and
// this system plays the named sounds of the SoundManager into one channel
// group per family (music, effects, user interface), enforces each sound's
// instance limit, runs one background track, and keeps the family volumes
// and mute flags. The music and effects mutes persist in the user settings
// ("bgm-mute", "sfx-mute"); the interface mute follows "sfx-mute" at start
// and is never saved.
//
// Messages (global): "PlaySound", "PlayUiSound", "PlaySoundControl",
// "ReleaseChannel", "PlayBackgroundSound", "PauseSounds", "StopSounds",
// "SetSoundVolumes", "MuteSounds", "QueryMuteSounds", "KeyTriggered" (with
// "Debug" on, 'S' reads the sound manifests again). A family outside 0..2 is
// ignored.
//
// Instance limits count the channels that were playing at the last Update:
// a play adds its channel to the sound's list, and only Update removes the
// ones that ended. Every play makes a SoundChannel record; records handed to
// a "PlaySoundControl" caller stay until "ReleaseChannel" or shutdown, the
// others are reclaimed by Update once their play has ended.
//
// Main thread only; without a SoundDeviceManager every message is harmless.

#include "engine/core/MetaClassOf.h"
#include "engine/core/System.h"
#include "engine/core/VariantFunction.h"
#include "engine/platform/SoundDevice.h"
#include "engine/platform/audio/AudioHandles.h"
#include "engine/sound/SoundFamily.h"

#include <map>
#include <set>
#include <utility>
#include <memory>
#include <string>
#include <vector>

namespace Ostrel {

class CoreSystem;
class SoundChannel;

class SoundSystem : public System, public SoundChannelTracker {
public:
    static constexpr u32 kId = FourCC("sndS");
    static constexpr int kDebugReloadKey = 83;  // 'S'

    SoundSystem();
    ~SoundSystem() override;

    void Update(f32 dt) override;
    void Initialize() override;
    // "Debug" from the configuration; the mutes from the user settings.
    void LoadConfig(Serializer* config) override;
    std::string GetName() const override { return "SoundSystem"; }
    u32 GetId() const override { return kId; }
    // Saves the music and effects mutes, unsubscribes, stops every channel.
    void Shutdown() override;

    // Plays the sound name into group (none: the master group). Nothing plays
    // for an unknown name or a sound at its instance limit; *out is then left
    // as it was. With out, the caller holds the record until "ReleaseChannel".
    void Play(const std::string& name, SoundChannel** out, const AudioGroup* group);
    // The named sound when a device plays; a name that is not loaded is logged once.
    SoundAsset* FindPlayable(const std::string& name);
    // A new record for channel, owned by this system, held for the caller.
    SoundChannel* TrackChannel(AudioChannel channel) override;
    void OnDeviceGone() override;

    // Message handlers (public so the message layer and tests can reach them).
    void OnPlaySound(std::string* name);
    void OnPlayUiSound(std::string* name);
    void OnPlaySoundControl(std::string* name, SoundChannel** out);
    void OnReleaseChannel(SoundChannel** channel);
    void OnPlayBackgroundSound(std::string* name);
    void OnPauseSounds(SoundFamily family, bool paused);
    void OnStopSounds(SoundFamily family);
    void OnSetSoundVolumes(SoundFamily family, f32 volume);
    void OnMuteSounds(SoundFamily family, bool mute);
    void OnQueryMuteSounds(SoundFamily family, bool* out);
    void OnKeyTriggered(int key, bool pressed);

    bool IsDebug() const { return m_debug; }
    bool IsMuted(SoundFamily family) const { return m_families[family].mute; }
    f32 GetVolume(SoundFamily family) const { return m_families[family].volume; }
    AudioGroup GetGroup(SoundFamily family) const { return m_families[family].group; }
    const std::string& GetBackgroundName() const { return m_backgroundName; }
    const SoundChannel* GetBackground() const { return m_background.get(); }
    std::size_t LiveChannelCount() const { return m_liveChannels.size(); }
    // Channels of name counted against its limit (as of the last Update).
    std::size_t CountedChannels(const std::string& name) const;

private:
    struct Family {
        f32 volume = 1.0f;
        bool mute = false;
        AudioGroup group;
    };

    void Subscribe();
    void Unsubscribe();
    void ApplyFamily(SoundFamily family);
    void PruneCounted();
    void ReclaimEndedRecords();
    void ReleaseChannels();
    void ReadUserSettings();
    void WriteUserSettings();
    AudioMixer* Mixer() const;

    SoundDevice* m_device = nullptr;
    CoreSystem* m_core = nullptr;  // where the handlers are subscribed
    std::vector<std::pair<std::string, FunctionRef>> m_handlers;
    std::map<SoundChannel*, std::unique_ptr<SoundChannel>> m_liveChannels;
    std::string m_backgroundName;
    std::unique_ptr<SoundChannel> m_background;
    Family m_families[SoundFamilies::kCount];
    bool m_debug = false;
    bool m_initialized = false;
    std::map<std::string, std::vector<AudioChannel>> m_playing;
    std::set<std::string> m_unknownSounds;  // names already reported as not loaded
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::SoundSystem);
