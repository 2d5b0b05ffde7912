#pragma once
// A sound the mixer can play: either decoded at load into float samples (the
// file image can then be dropped), or streamed, keeping the file image and
// decoding while it plays, one decoder per play. The loop flag belongs to the
// sound, as the sound records say how each file plays.
//
// Clips are immutable once made and shared (std::shared_ptr) between the
// loading thread that makes them, the owner that names them and every voice
// playing them, so a clip replaced or released while it plays lives on until
// its last voice lets go.

#include "engine/base/Types.h"

#include <memory>
#include <string>
#include <vector>

namespace Ostrel {

class AudioDecoder;

class AudioClip {
public:
    // Builds a clip from a file image. A decoded clip reads every frame now;
    // a streamed clip keeps the image and checks that it opens. Answers null
    // and sets *error (when given) when the image cannot be read.
    static std::shared_ptr<const AudioClip> Load(std::vector<u8> image, bool stream, bool loop,
                                                 std::string* error);
    // A decoded clip from interleaved float samples (generated sounds, tests).
    static std::shared_ptr<const AudioClip> FromSamples(std::vector<float> samples, int channels,
                                                        int sampleRate, bool loop);

    bool IsStream() const { return m_stream; }
    bool IsLooping() const { return m_loop; }
    int Channels() const { return m_channels; }
    int SampleRate() const { return m_sampleRate; }
    // Decoded clips only: interleaved samples.
    const std::vector<float>& Samples() const { return m_samples; }
    // The frames the file really decodes to (counted at load for streams
    // too), and the count its header announces (0: unknown).
    i64 Frames() const { return m_frames; }
    i64 AnnouncedFrames() const { return m_announcedFrames; }
    // The file decodes to fewer frames than it announces (a cut MP3, say):
    // it plays as far as it goes; the loader logs it by name.
    bool DecodesShort() const;

    // Streamed clips only: a fresh decoder over the kept image, or null.
    std::unique_ptr<AudioDecoder> OpenStream() const;

private:
    AudioClip() = default;

    bool m_stream = false;
    bool m_loop = false;
    int m_channels = 0;
    int m_sampleRate = 0;
    i64 m_frames = 0;
    i64 m_announcedFrames = 0;
    std::vector<float> m_samples;
    std::vector<u8> m_image;
};

}  // namespace Ostrel
