#include "engine/platform/audio/AudioOutput.h"

#include "engine/platform/audio/AudioMixer.h"

#include <SDL.h>

namespace Ostrel {

AudioOutput::~AudioOutput() { Close(); }

bool AudioOutput::Open(int wantedRate) {
    Close();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        m_error = std::string("no audio driver: ") + SDL_GetError();
        return false;
    }
    m_subsystemStarted = true;
    if (const char* driver = SDL_GetCurrentAudioDriver()) m_driver = driver;
    SDL_AudioSpec want{};
    want.freq = wantedRate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = &AudioOutput::Feed;
    want.userdata = this;
    SDL_AudioSpec have{};
    // Only the rate may differ: the mixer resamples to it; SDL converts the
    // rest (format, speaker layout) itself.
    m_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (m_device == 0) {
        m_error = std::string("no audio device: ") + SDL_GetError();
        Close();
        return false;
    }
    m_rate = have.freq;
    return true;
}

void AudioOutput::Start(AudioMixer& mixer) {
    if (!m_device) return;
    SDL_LockAudioDevice(m_device);
    m_mixer = &mixer;
    SDL_UnlockAudioDevice(m_device);
    SDL_PauseAudioDevice(m_device, 0);
}

void AudioOutput::Close() {
    if (m_device) {
        SDL_CloseAudioDevice(m_device);  // waits for the audio thread to end
        m_device = 0;
    }
    m_mixer = nullptr;
    if (m_subsystemStarted) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        m_subsystemStarted = false;
    }
}

void AudioOutput::Feed(void* user, unsigned char* stream, int bytes) {
    auto* self = static_cast<AudioOutput*>(user);
    const int frames = bytes / static_cast<int>(2 * sizeof(float));
    if (!self->m_mixer) {
        SDL_memset(stream, 0, static_cast<std::size_t>(bytes));
        return;
    }
    self->m_mixer->Mix(reinterpret_cast<float*>(stream), frames);
}

}  // namespace Ostrel
