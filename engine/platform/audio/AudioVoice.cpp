#include "engine/platform/audio/AudioVoice.h"

#include "engine/platform/audio/AudioClip.h"
#include "engine/platform/audio/AudioDecoder.h"

#include <cmath>

namespace Ostrel {

namespace {
constexpr i64 kStreamBlockFrames = 2048;
}

AudioVoice::AudioVoice() = default;
AudioVoice::~AudioVoice() = default;
AudioVoice::AudioVoice(AudioVoice&&) noexcept = default;
AudioVoice& AudioVoice::operator=(AudioVoice&&) noexcept = default;

void AudioVoice::Start(std::shared_ptr<const AudioClip> clip, std::unique_ptr<AudioDecoder> stream,
                       int outputRate) {
    m_clip = std::move(clip);
    m_stream = std::move(stream);
    m_position = 0.0;
    m_step = outputRate > 0 ? f64(m_clip->SampleRate()) / f64(outputRate) : 1.0;
    m_buffer.clear();
    m_bufferStart = 0;
    m_bufferFrames = 0;
    m_streamEnded = false;
}

void AudioVoice::Clear() {
    m_clip.reset();
    m_stream.reset();
    m_buffer.clear();
    m_buffer.shrink_to_fit();
}

bool AudioVoice::IsLooping() const { return m_clip && m_clip->IsLooping(); }

bool AudioVoice::Render(float* out, int frames, float gain) {
    if (!m_clip) return false;
    return m_clip->IsStream() ? RenderStreamed(out, frames, gain) : RenderDecoded(out, frames, gain);
}

// The common case, kept tight: the whole clip is in memory.
bool AudioVoice::RenderDecoded(float* out, int frames, float gain) {
    const float* data = m_clip->Samples().data();
    const i64 total = m_clip->Frames();
    const int channels = m_clip->Channels();
    const int right = channels > 1 ? 1 : 0;
    const bool loop = m_clip->IsLooping();
    if (total <= 0) return false;
    for (int i = 0; i < frames; ++i) {
        const i64 index = static_cast<i64>(m_position);  // never negative: truncation is floor
        if (index >= total) return false;                 // a one-shot past its end
        const float* frame = data + index * channels;
        float left = frame[0], rightSample = frame[right];
        const f64 fraction = m_position - f64(index);
        if (fraction > 0.0) {
            // Past the last frame of a one-shot the last frame is held.
            const i64 next = index + 1 < total ? index + 1 : (loop ? 0 : index);
            const float* nextFrame = data + next * channels;
            left += static_cast<float>((nextFrame[0] - left) * fraction);
            rightSample += static_cast<float>((nextFrame[right] - rightSample) * fraction);
        }
        out[2 * i] += left * gain;
        out[2 * i + 1] += rightSample * gain;
        m_position += m_step;
        // Loops wrap the cursor so it keeps its precision.
        if (loop) {
            while (m_position >= f64(total)) m_position -= f64(total);
        }
    }
    // A one-shot that has just played its last frame ends now, so that the
    // channel stops reporting itself as playing.
    return loop || static_cast<i64>(m_position) < total;
}

bool AudioVoice::RenderStreamed(float* out, int frames, float gain) {
    for (int i = 0; i < frames; ++i) {
        const i64 index = static_cast<i64>(std::floor(m_position));
        float left = 0.0f, right = 0.0f;
        if (!FetchStreamed(index, left, right)) return false;
        const f64 fraction = m_position - f64(index);
        if (fraction > 0.0) {
            float nextLeft = left, nextRight = right;
            if (FetchStreamed(index + 1, nextLeft, nextRight)) {
                left += static_cast<float>((nextLeft - left) * fraction);
                right += static_cast<float>((nextRight - right) * fraction);
            }
        }
        out[2 * i] += left * gain;
        out[2 * i + 1] += right * gain;
        m_position += m_step;
    }
    float ignoredLeft, ignoredRight;
    return FetchStreamed(static_cast<i64>(std::floor(m_position)), ignoredLeft, ignoredRight);
}

bool AudioVoice::FetchStreamed(i64 index, float& left, float& right) {
    while (index >= m_bufferStart + m_bufferFrames) {
        if (!RefillStream()) return false;
    }
    if (index < m_bufferStart) return false;
    const int channels = m_clip->Channels();
    const float* frame = m_buffer.data() + (index - m_bufferStart) * channels;
    left = frame[0];
    right = channels > 1 ? frame[1] : frame[0];
    return true;
}

// Keeps the last buffered frame (the interpolation may still need it) and
// decodes the next block behind it. A looping stream rewinds at its end.
bool AudioVoice::RefillStream() {
    if (m_streamEnded || !m_stream) return false;
    const int channels = m_clip->Channels();
    const i64 keep = m_bufferFrames > 0 ? 1 : 0;
    if (keep) {
        std::copy(m_buffer.begin() + (m_bufferFrames - 1) * channels,
                  m_buffer.begin() + m_bufferFrames * channels, m_buffer.begin());
    }
    m_bufferStart += m_bufferFrames - keep;
    m_buffer.resize((keep + kStreamBlockFrames) * channels);
    const i64 got = ReadStream(m_buffer.data() + keep * channels, kStreamBlockFrames);
    m_bufferFrames = keep + got;
    if (got == 0) m_streamEnded = true;
    return got > 0;
}

i64 AudioVoice::ReadStream(float* out, i64 frames) {
    const int channels = m_clip->Channels();
    i64 total = 0;
    bool rewound = false;
    while (total < frames) {
        const i64 got = m_stream->Read(out + total * channels, frames - total);
        if (got > 0) {
            total += got;
            rewound = false;
            continue;
        }
        // At the end: a loop starts over, unless the stream gave nothing
        // even right after a rewind (an empty or broken stream).
        if (!m_clip->IsLooping() || rewound || !m_stream->Rewind()) break;
        rewound = true;
    }
    return total;
}

}  // namespace Ostrel
