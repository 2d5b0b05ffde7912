#include "engine/sound/SoundSystem.h"

#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/core/Reflect.h"
#include "engine/platform/SoundAsset.h"
#include "engine/platform/audio/AudioMixer.h"
#include "engine/sound/SoundChannel.h"
#include "engine/sound/SoundDeviceManager.h"
#include "engine/sound/SoundManager.h"

namespace Ostrel {

namespace {
SoundAsset* FindSound(const std::string& name) {
    SoundManager* sounds = SoundManager::Instance();
    return sounds ? sounds->Find(name) : nullptr;
}
}  // namespace

SoundSystem::SoundSystem() = default;

SoundSystem::~SoundSystem() {
    if (m_device && m_device->GetTracker() == this) m_device->SetTracker(nullptr);
}

AudioMixer* SoundSystem::Mixer() const { return m_device ? &m_device->GetMixer() : nullptr; }

void SoundSystem::LoadConfig(Serializer* config) {
    if (config) config->SerializeBool("Debug", &m_debug);
    ReadUserSettings();
}

void SoundSystem::Initialize() {
    SoundDeviceManager* devices = SoundDeviceManager::Instance();
    m_device = devices ? devices->GetDevice() : nullptr;
    if (m_device) {
        m_device->SetTracker(this);
        AudioMixer& mixer = m_device->GetMixer();
        m_families[SoundFamilies::Effects].group = mixer.CreateGroup();
        m_families[SoundFamilies::Music].group = mixer.CreateGroup();
        m_families[SoundFamilies::UserInterface].group = mixer.CreateGroup();
        ApplyFamily(SoundFamilies::Effects);
        ApplyFamily(SoundFamilies::Music);
        ApplyFamily(SoundFamilies::UserInterface);
    }
    Subscribe();
    m_initialized = true;
}

void SoundSystem::ApplyFamily(SoundFamily family) {
    AudioMixer* mixer = Mixer();
    if (!mixer) return;
    mixer->SetGroupMute(m_families[family].group, m_families[family].mute);
    mixer->SetGroupVolume(m_families[family].group, m_families[family].volume);
}

void SoundSystem::Update(f32) {
    if (m_device) m_device->Update();
    PruneCounted();
    ReclaimEndedRecords();
}

// Swap-remove of the ended channels; the moved handle is examined next.
void SoundSystem::PruneCounted() {
    AudioMixer* mixer = Mixer();
    for (auto it = m_playing.begin(); it != m_playing.end();) {
        std::vector<AudioChannel>& channels = it->second;
        std::size_t i = 0;
        while (i < channels.size()) {
            if (mixer && mixer->IsPlaying(channels[i])) {
                ++i;
                continue;
            }
            channels[i] = channels.back();
            channels.pop_back();
        }
        it = channels.empty() ? m_playing.erase(it) : std::next(it);
    }
}

void SoundSystem::ReclaimEndedRecords() {
    for (auto it = m_liveChannels.begin(); it != m_liveChannels.end();) {
        const SoundChannel& record = *it->second;
        it = (!record.IsHeld() && !record.IsPlaying()) ? m_liveChannels.erase(it) : std::next(it);
    }
}

void SoundSystem::Shutdown() {
    WriteUserSettings();
    Unsubscribe();
    ReleaseChannels();
    if (m_device && m_device->GetTracker() == this) m_device->SetTracker(nullptr);
    m_device = nullptr;
    m_initialized = false;
}

void SoundSystem::ReleaseChannels() {
    m_background.reset();
    m_backgroundName.clear();
    m_liveChannels.clear();
    m_playing.clear();
}

void SoundSystem::OnDeviceGone() {
    ReleaseChannels();
    m_device = nullptr;
}

SoundChannel* SoundSystem::TrackChannel(AudioChannel channel) {
    auto record = std::make_unique<SoundChannel>(Mixer(), channel);
    SoundChannel* pointer = record.get();
    m_liveChannels.emplace(pointer, std::move(record));
    return pointer;
}

std::size_t SoundSystem::CountedChannels(const std::string& name) const {
    auto it = m_playing.find(name);
    return it == m_playing.end() ? 0 : it->second.size();
}

SoundAsset* SoundSystem::FindPlayable(const std::string& name) {
    if (!m_device) return nullptr;
    SoundAsset* asset = FindSound(name);
    // A name the manifests do not give, or whose file failed to load: said
    // once per name, so a missing sound is found without flooding the log.
    if (!asset && m_unknownSounds.insert(name).second)
        LogMessagef("Sound '%s' is not loaded (not in a sound manifest, or its file is missing); not played\n",
                    name.c_str());
    return asset;
}

void SoundSystem::Play(const std::string& name, SoundChannel** out, const AudioGroup* group) {
    SoundAsset* asset = FindPlayable(name);
    if (!asset) return;
    const s32 limit = asset->GetInstanceLimit();
    if (limit > 0 && CountedChannels(name) >= static_cast<std::size_t>(limit)) return;
    SoundChannel* record = nullptr;
    asset->Play(&record, true);
    if (!record) return;
    if (out) {
        *out = record;
    } else {
        record->SetHeld(false);
    }
    if (group) m_device->GetMixer().SetGroup(record->GetChannel(), *group);
    record->SetPaused(false);
    if (limit >= 1) m_playing[name].push_back(record->GetChannel());
}

void SoundSystem::OnPlaySound(std::string* name) {
    if (name) Play(*name, nullptr, &m_families[SoundFamilies::Effects].group);
}

void SoundSystem::OnPlayUiSound(std::string* name) {
    if (name) Play(*name, nullptr, &m_families[SoundFamilies::UserInterface].group);
}

void SoundSystem::OnPlaySoundControl(std::string* name, SoundChannel** out) {
    if (name) Play(*name, out, &m_families[SoundFamilies::Effects].group);
}

// Only records this system owns are destroyed: a pointer that is not (or no
// longer) one of them is just cleared, so a repeated release cannot free a
// record twice.
void SoundSystem::OnReleaseChannel(SoundChannel** channel) {
    if (!channel) return;
    if (*channel) m_liveChannels.erase(*channel);
    *channel = nullptr;
}

void SoundSystem::OnPlayBackgroundSound(std::string* name) {
    if (!name) return;
    if (m_background && m_backgroundName == *name && m_background->IsPlaying()) return;
    m_background.reset();
    m_backgroundName.clear();
    SoundAsset* asset = FindPlayable(*name);
    if (!asset) return;
    SoundChannel* record = nullptr;
    asset->Play(&record, true);
    auto owned = m_liveChannels.find(record);
    if (owned == m_liveChannels.end()) return;
    m_background = std::move(owned->second);
    m_liveChannels.erase(owned);
    m_backgroundName = *name;
    m_device->GetMixer().SetGroup(m_background->GetChannel(), m_families[SoundFamilies::Music].group);
    m_background->SetPaused(false);
}

void SoundSystem::OnPauseSounds(SoundFamily family, bool paused) {
    if (!SoundFamilies::IsValid(family)) return;
    if (AudioMixer* mixer = Mixer()) mixer->SetGroupPaused(m_families[family].group, paused);
}

void SoundSystem::OnStopSounds(SoundFamily family) {
    if (!SoundFamilies::IsValid(family)) return;
    if (family == SoundFamilies::Music) {
        m_background.reset();
        m_backgroundName.clear();
        return;
    }
    if (AudioMixer* mixer = Mixer()) mixer->StopGroup(m_families[family].group);
}

void SoundSystem::OnSetSoundVolumes(SoundFamily family, f32 volume) {
    if (!SoundFamilies::IsValid(family)) return;
    m_families[family].volume = volume;
    if (AudioMixer* mixer = Mixer()) mixer->SetGroupVolume(m_families[family].group, volume);
}

void SoundSystem::OnMuteSounds(SoundFamily family, bool mute) {
    if (!SoundFamilies::IsValid(family)) return;
    m_families[family].mute = mute;
    if (AudioMixer* mixer = Mixer()) mixer->SetGroupMute(m_families[family].group, mute);
}

void SoundSystem::OnQueryMuteSounds(SoundFamily family, bool* out) {
    if (!SoundFamilies::IsValid(family) || !out) return;
    *out = m_families[family].mute;
}

}  // namespace Ostrel

LV_REFLECT_CLASS(Ostrel::SoundSystem);
