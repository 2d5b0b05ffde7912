#include "engine/platform/SoundDeviceManager.h"

#include "engine/io/Log.h"
#include "engine/io/SerializerXML.h"
#include "engine/platform/SoundAsset.h"
#include "engine/platform/SoundDevice.h"
#include "engine/platform/SoundManager.h"
#include "engine/platform/audio/AudioClip.h"

namespace Ostrel {

SoundDeviceManager::SoundDeviceManager(AudioSystem::OutputKind output) {
    // 100 voices; without a device the mixer still runs, unheard.
    m_audio = std::make_unique<AudioSystem>(output, AudioMixer::kDefaultVoices);
    m_device = std::make_unique<SoundDevice>(*m_audio);
    m_initialized = true;
}

SoundDeviceManager::~SoundDeviceManager() {
    m_device.reset();
    m_audio.reset();
}

bool SoundDeviceManager::LoadSoundImage(const std::string& key, std::vector<u8> image,
                                        const std::string& path) {
    SoundManager* sounds = SoundManager::Instance();
    if (!sounds) {
        LogMessagef("Sound '%s': no sound manager, skipped\n", path.c_str());
        return false;
    }
    const SoundDefinition* definition = m_definitions.Find(key);
    const bool stream = definition ? definition->IsStream() : true;
    const bool loop = definition ? definition->IsLooping() : false;
    std::string error;
    std::shared_ptr<const AudioClip> clip = AudioClip::Load(std::move(image), stream, loop, &error);
    if (!clip) {
        LogMessagef("Sound '%s': cannot decode (%s), skipped\n", path.c_str(), error.c_str());
        return false;
    }
    sounds->Store(key, std::make_unique<SoundAsset>(std::move(clip), m_device.get(), definition));
    return true;
}

// Each manifest entry is applied whole under the records' lock, so a sound
// loading meanwhile sees the entry either before or after it.
void SoundDeviceManager::LoadSoundManifest(const std::string& path) {
    SerializerXML reader(true);
    reader.LoadSoundManifestWith(path, [this](const std::string& name, Serializer& serializer) {
        m_definitions.Update(name, [&serializer](SoundDefinition& record) { record.Serialize(serializer); });
    });
}

void LoadSoundManifestResource(const std::string& path) {
    if (SoundDeviceManager* devices = SoundDeviceManager::Instance()) devices->LoadSoundManifest(path);
}

}  // namespace Ostrel
