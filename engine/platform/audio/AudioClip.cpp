#include "engine/platform/audio/AudioClip.h"

#include "engine/platform/audio/AudioDecoder.h"

namespace Ostrel {

namespace {

// Reads every frame; MP3 headers only estimate the length, so read in
// blocks until the decoder runs dry.
std::vector<float> DecodeAll(AudioDecoder& decoder) {
    const int channels = decoder.Channels();
    const i64 block = 4096;
    std::vector<float> samples;
    if (decoder.AnnouncedFrames() > 0) samples.reserve(decoder.AnnouncedFrames() * channels);
    std::vector<float> buffer(block * channels);
    for (;;) {
        const i64 got = decoder.Read(buffer.data(), block);
        if (got <= 0) break;
        samples.insert(samples.end(), buffer.begin(), buffer.begin() + got * channels);
    }
    return samples;
}

// Counts the frames a stream will give, decoding without keeping them.
i64 CountFrames(AudioDecoder& decoder) {
    const i64 block = 4096;
    std::vector<float> buffer(block * decoder.Channels());
    i64 total = 0;
    for (;;) {
        const i64 got = decoder.Read(buffer.data(), block);
        if (got <= 0) break;
        total += got;
    }
    return total;
}

}  // namespace

std::shared_ptr<const AudioClip> AudioClip::Load(std::vector<u8> image, bool stream, bool loop,
                                                 std::string* error) {
    std::unique_ptr<AudioDecoder> decoder = AudioDecoder::Open(image.data(), image.size(), error);
    if (!decoder) return nullptr;
    std::shared_ptr<AudioClip> clip(new AudioClip());
    clip->m_stream = stream;
    clip->m_loop = loop;
    clip->m_channels = decoder->Channels();
    clip->m_sampleRate = decoder->SampleRate();
    clip->m_announcedFrames = decoder->AnnouncedFrames();
    if (stream) {
        // Decoded once here (on the loading thread) only to count: a file
        // that gives fewer frames than its header announces is reported at
        // load, not found out at the end of a play.
        clip->m_frames = CountFrames(*decoder);
        decoder.reset();
        clip->m_image = std::move(image);
        return clip;
    }
    clip->m_samples = DecodeAll(*decoder);
    clip->m_frames = static_cast<i64>(clip->m_samples.size()) / clip->m_channels;
    if (clip->m_frames == 0) {
        if (error) *error = "no frames decoded";
        return nullptr;
    }
    return clip;
}

std::shared_ptr<const AudioClip> AudioClip::FromSamples(std::vector<float> samples, int channels,
                                                        int sampleRate, bool loop) {
    std::shared_ptr<AudioClip> clip(new AudioClip());
    clip->m_loop = loop;
    clip->m_channels = channels < 1 ? 1 : channels;
    clip->m_sampleRate = sampleRate < 1 ? 1 : sampleRate;
    clip->m_samples = std::move(samples);
    clip->m_frames = static_cast<i64>(clip->m_samples.size()) / clip->m_channels;
    clip->m_announcedFrames = clip->m_frames;
    return clip;
}

bool AudioClip::DecodesShort() const { return m_announcedFrames > 0 && m_frames < m_announcedFrames; }

std::unique_ptr<AudioDecoder> AudioClip::OpenStream() const {
    if (!m_stream) return nullptr;
    return AudioDecoder::Open(m_image.data(), m_image.size(), nullptr);
}

}  // namespace Ostrel
