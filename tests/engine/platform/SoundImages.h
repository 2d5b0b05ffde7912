#pragma once
// Builds sound file images in memory through libsndfile, so tests can feed
// the decoders real WAV and MP3 bytes without files in the tree. Header-only:
// the platform and the sound tests both use it.

#include "engine/base/Types.h"

#include <sndfile.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace Ostrel::Testing {

enum class ImageFormat { WavFloat, Wav16, Mp3 };


namespace SoundImageDetail {

struct Sink {
    std::vector<u8> bytes;
    sf_count_t position = 0;
};

inline sf_count_t Length(void* user) { return static_cast<sf_count_t>(static_cast<Sink*>(user)->bytes.size()); }
inline sf_count_t Seek(sf_count_t offset, int whence, void* user) {
    auto* sink = static_cast<Sink*>(user);
    sf_count_t base = whence == SEEK_CUR ? sink->position
                      : whence == SEEK_END ? static_cast<sf_count_t>(sink->bytes.size())
                                           : 0;
    if (base + offset < 0) return -1;
    sink->position = base + offset;
    return sink->position;
}
inline sf_count_t Read(void* out, sf_count_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    const sf_count_t size = static_cast<sf_count_t>(sink->bytes.size());
    const sf_count_t n = std::max<sf_count_t>(0, std::min(count, size - sink->position));
    if (n > 0) std::memcpy(out, sink->bytes.data() + sink->position, static_cast<std::size_t>(n));
    sink->position += n;
    return n;
}
inline sf_count_t Write(const void* in, sf_count_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    const std::size_t end = static_cast<std::size_t>(sink->position + count);
    if (sink->bytes.size() < end) sink->bytes.resize(end);
    std::memcpy(sink->bytes.data() + sink->position, in, static_cast<std::size_t>(count));
    sink->position += count;
    return count;
}
inline sf_count_t Tell(void* user) { return static_cast<Sink*>(user)->position; }

}  // namespace SoundImageDetail

// samples are interleaved; answers an empty vector when libsndfile cannot
// write the format.
inline std::vector<u8> MakeSoundImage(const std::vector<float>& samples, int channels, int rate,
                                      ImageFormat format) {
    using namespace SoundImageDetail;
    SF_VIRTUAL_IO io = {Length, Seek, Read, Write, Tell};
    Sink sink;
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    switch (format) {
        case ImageFormat::WavFloat: info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT; break;
        case ImageFormat::Wav16: info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16; break;
        case ImageFormat::Mp3: info.format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III; break;
    }
    SNDFILE* file = sf_open_virtual(&io, SFM_WRITE, &info, &sink);
    if (!file) return {};
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size()) / channels);
    sf_close(file);
    return sink.bytes;
}

}  // namespace Ostrel::Testing
