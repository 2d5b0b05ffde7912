#pragma once
// The audio layer the sound code stands on, in place of the old audio
// library: one mixer (AudioMixer.h) and, when there is one, an SDL output
// device feeding from it. Without a device everything works the same and the
// mixer is simply never pulled, so nothing plays: tests pull it by hand.

#include "engine/platform/audio/AudioMixer.h"
#include "engine/platform/audio/AudioOutput.h"

#include <memory>
#include <string>

namespace Ostrel {

class AudioSystem {
public:
    enum class OutputKind { Device, None };
    static constexpr int kPreferredRate = 48000;

    // Device: tries to open the default SDL device (no device is not an
    // error). None: no output at all, the mixer runs at kPreferredRate.
    explicit AudioSystem(OutputKind output = OutputKind::Device, int voices = AudioMixer::kDefaultVoices);
    ~AudioSystem();
    AudioSystem(const AudioSystem&) = delete;
    AudioSystem& operator=(const AudioSystem&) = delete;

    AudioMixer& Mixer() { return *m_mixer; }
    const AudioMixer& Mixer() const { return *m_mixer; }
    bool HasDevice() const { return m_output.IsOpen(); }
    // Why there is no device ("" with a device or when none was asked for).
    const std::string& DeviceError() const { return m_output.Error(); }
    const std::string& DriverName() const { return m_output.DriverName(); }

    // Once a frame on the main thread.
    void Update() { m_mixer->ReclaimEnded(); }

private:
    std::unique_ptr<AudioMixer> m_mixer;
    AudioOutput m_output;
};

}  // namespace Ostrel
