#include "engine/platform/audio/AudioSystem.h"

namespace Ostrel {

AudioSystem::AudioSystem(OutputKind output, int voices) {
    int rate = kPreferredRate;
    if (output == OutputKind::Device && m_output.Open(kPreferredRate)) rate = m_output.Rate();
    m_mixer = std::make_unique<AudioMixer>(rate, voices);
    m_output.Start(*m_mixer);
}

AudioSystem::~AudioSystem() {
    // The audio thread stops before the mixer it pulls from goes away.
    m_output.Close();
}

}  // namespace Ostrel
