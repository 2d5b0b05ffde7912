#include "engine/sound/SoundDeviceManager.h"

#include "engine/base/Log.h"
#include "engine/platform/audio/AudioDecoder.h"
#include "engine/io/FilePath.h"
#include "engine/io/IFile.h"
#include "engine/io/SerializerXML.h"
#include "engine/platform/SoundAsset.h"
#include "engine/platform/SoundDevice.h"
#include "engine/platform/audio/AudioClip.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"
#include "engine/sound/SoundManager.h"

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

void SoundDeviceManager::LoadSound(const std::string& path) {
    const std::string key = FilePath(path).GetBaseName();
    ResourceManager* resources = ResourceManager::Instance();
    std::unique_ptr<IFile> file = resources ? resources->Open(key) : nullptr;
    if (!file) {
        LogMessagef("Sound '%s': cannot open the file, skipped\n", path.c_str());
        return;
    }
    const s32 size = file->ReadAll(nullptr);
    if (size <= 0) {
        LogMessagef("Sound '%s': cannot measure the file (or it is empty), skipped\n", path.c_str());
        return;
    }
    std::vector<u8> image(static_cast<std::size_t>(size));
    const s32 read = file->ReadAll(image.data());
    file->Close();
    if (read != size) {
        LogMessagef("Sound '%s': read %d of %d bytes, skipped\n", path.c_str(), int(read), int(size));
        return;
    }
    LoadSoundImage(key, std::move(image), path);
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
    const std::string cut = AudioDecoder::DescribeCut(image.data(), image.size());
    std::string error;
    std::shared_ptr<const AudioClip> clip = AudioClip::Load(std::move(image), stream, loop, &error);
    if (!clip) {
        LogMessagef("Sound '%s': cannot decode (%s), skipped\n", path.c_str(), error.c_str());
        return false;
    }
    if (!cut.empty()) {
        LogMessagef("Sound '%s': %s; what is there is played\n", path.c_str(), cut.c_str());
    } else if (clip->DecodesShort()) {
        LogMessagef("Sound '%s': decodes to %lld of the %lld frames its header announces; what is there is "
                    "played\n",
                    path.c_str(), static_cast<long long>(clip->Frames()),
                    static_cast<long long>(clip->AnnouncedFrames()));
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

void LoadAudioResource(const std::string& path) {
    if (SoundDeviceManager* devices = SoundDeviceManager::Instance()) devices->LoadSound(path);
}

void RegisterSoundLoaders(ResourceManager& resources) {
    resources.RegisterLoader(kKindAudio, &LoadAudioResource);
    resources.RegisterLoader(kKindSoundManifest, &LoadSoundManifestResource);
}

}  // namespace Ostrel
