#pragma once
// The sound devices and the sound records, made once by each main right
// before the SoundManager (and destroyed right after it, so sounds are gone
// before the device): it opens the audio layer (an SDL device, or none, which
// is a normal state: everything runs, nothing plays), owns the records the
// sound manifests give, and turns sound files into SoundAssets.
//
// Threads: LoadSound and LoadSoundManifest run on the loading thread and on
// the main thread; the records and the SoundManager are guarded.

#include "engine/base/Types.h"
#include "engine/core/GenericManager.h"
#include "engine/platform/audio/AudioSystem.h"
#include "engine/sound/SoundDefinitionMap.h"

#include <memory>
#include <string>
#include <vector>

namespace Ostrel {

class ResourceManager;
class SoundDevice;

class SoundDeviceManager : public GenericManager<SoundDeviceManager> {
public:
    // Device: the default SDL audio device when there is one (SDL_AUDIODRIVER
    // picks the driver). None: no output at all (tests pull the mixer).
    explicit SoundDeviceManager(AudioSystem::OutputKind output = AudioSystem::OutputKind::Device);
    ~SoundDeviceManager() override;

    bool IsInitialized() const { return m_initialized; }
    SoundDevice* GetDevice() { return m_device.get(); }
    AudioSystem& GetAudio() { return *m_audio; }
    SoundDefinitionMap& GetDefinitions() { return m_definitions; }

    // Loads one sound file, found by its base name through the
    // ResourceManager. A file that cannot be opened is skipped silently; one
    // that cannot be read or decoded is logged and skipped.
    void LoadSound(const std::string& path);
    // The part of LoadSound after the file is read: image is the whole file,
    // key the sound's name, path only names the file in log lines. Answers
    // whether a sound was filed.
    bool LoadSoundImage(const std::string& key, std::vector<u8> image, const std::string& path);
    // Reads a sound manifest ("xsm") into the records.
    void LoadSoundManifest(const std::string& path);

private:
    bool m_initialized = false;
    std::unique_ptr<AudioSystem> m_audio;
    std::unique_ptr<SoundDevice> m_device;
    SoundDefinitionMap m_definitions;
};

// The resource loaders of the kinds "AUDIO" ("mp3", "wav") and
// "SOUND_MANIFEST" ("xsm"): they forward to the SoundDeviceManager instance
// and do nothing without one.
void LoadAudioResource(const std::string& path);
void LoadSoundManifestResource(const std::string& path);
// Registers the two loaders above for their kinds (each main, with the
// other resource kinds).
void RegisterSoundLoaders(ResourceManager& resources);

}  // namespace Ostrel
