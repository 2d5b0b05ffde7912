#pragma once
// The SDL audio device the mixer plays through: interleaved stereo float at
// whatever rate the device prefers. Failing to open (no driver, no device)
// is a normal state: the output stays closed and the game runs silent.
// SDL_AUDIODRIVER picks the driver ("dummy" for silent runs, "disk" with
// SDL_DISKAUDIOFILE to capture what was played).

#include <string>

namespace Ostrel {

class AudioMixer;

class AudioOutput {
public:
    AudioOutput() = default;
    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    // Opens the default device, paused. Answers false and keeps the reason
    // in Error() when there is none.
    bool Open(int wantedRate);
    // Starts calling mixer.Mix from SDL's audio thread. The mixer must
    // outlive the output or its Close.
    void Start(AudioMixer& mixer);
    // Stops the audio thread and closes the device (idempotent).
    void Close();

    bool IsOpen() const { return m_device != 0; }
    int Rate() const { return m_rate; }
    const std::string& Error() const { return m_error; }
    const std::string& DriverName() const { return m_driver; }

private:
    static void Feed(void* user, unsigned char* stream, int bytes);

    unsigned m_device = 0;
    bool m_subsystemStarted = false;
    int m_rate = 0;
    AudioMixer* m_mixer = nullptr;
    std::string m_error;
    std::string m_driver;
};

}  // namespace Ostrel
