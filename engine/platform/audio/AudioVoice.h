#pragma once
// The playback cursor of one play of one clip: where it is in the clip, its
// own stream decoder when the clip is streamed, and the conversion of the
// clip's frames to the mixer's stereo output rate (linear interpolation; at
// equal rates every output frame is exactly one source frame).
// Used only by AudioMixer, under its lock.

#include "engine/base/Types.h"

#include <memory>
#include <vector>

namespace Ostrel {

class AudioClip;
class AudioDecoder;

class AudioVoice {
public:
    AudioVoice();
    ~AudioVoice();
    AudioVoice(AudioVoice&&) noexcept;
    AudioVoice& operator=(AudioVoice&&) noexcept;

    // Starts at the first frame. stream is the voice's own decoder for a
    // streamed clip (null for a decoded clip).
    void Start(std::shared_ptr<const AudioClip> clip, std::unique_ptr<AudioDecoder> stream,
               int outputRate);
    // Adds frames stereo frames, scaled by gain, into out. Answers false once
    // the clip has ended (a one-shot past its last frame, or a stream that
    // cannot be read further); a looping clip never ends.
    bool Render(float* out, int frames, float gain);
    // Lets go of the clip and the decoder.
    void Clear();

    bool HasClip() const { return m_clip != nullptr; }
    bool IsLooping() const;

private:
    bool RenderDecoded(float* out, int frames, float gain);
    bool RenderStreamed(float* out, int frames, float gain);
    bool FetchStreamed(i64 index, float& left, float& right);
    bool RefillStream();
    i64 ReadStream(float* out, i64 frames);

    std::shared_ptr<const AudioClip> m_clip;
    std::unique_ptr<AudioDecoder> m_stream;
    f64 m_position = 0.0;  // in source frames
    f64 m_step = 1.0;      // source frames per output frame
    // Streamed clips: decoded frames [m_bufferStart, m_bufferStart + m_bufferFrames)
    // counted from the first play of the first loop round.
    std::vector<float> m_buffer;
    i64 m_bufferStart = 0;
    i64 m_bufferFrames = 0;
    bool m_streamEnded = false;
};

}  // namespace Ostrel
