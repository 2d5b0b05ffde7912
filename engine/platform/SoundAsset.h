#pragma once
// One loaded sound, owned by the SoundManager under its name: the playable
// clip (decoded, or streamed from the kept file image), the device it plays
// on, and the sound record found when it loaded (null when no manifest had
// named it yet; the sound then plays at volume 1 without a limit).

#include "engine/base/Types.h"
#include "engine/platform/audio/AudioHandles.h"

#include <memory>

namespace Ostrel {

class AudioClip;
class SoundChannel;
class SoundDefinition;
class SoundDevice;

class SoundAsset {
public:
    SoundAsset(std::shared_ptr<const AudioClip> clip, SoundDevice* device,
               const SoundDefinition* definition);
    ~SoundAsset() { Release(); }
    SoundAsset(const SoundAsset&) = delete;
    SoundAsset& operator=(const SoundAsset&) = delete;

    // The record's volume, 1.0 without a record.
    f32 GetVolume() const;
    // The record's instance limit, 0 (none) without a record.
    s32 GetInstanceLimit() const;
    // Starts the sound on its device (SoundDevice::PlaySound). Answers the
    // channel; null when released or when the device cannot start it.
    AudioChannel Play(SoundChannel** out, bool paused);
    // Lets go of the clip. Plays already running keep their own reference
    // and finish normally.
    void Release();

    const std::shared_ptr<const AudioClip>& GetClip() const { return m_clip; }
    const SoundDefinition* GetDefinition() const { return m_definition; }

private:
    std::shared_ptr<const AudioClip> m_clip;
    SoundDevice* m_device;
    const SoundDefinition* m_definition;
};

}  // namespace Ostrel
