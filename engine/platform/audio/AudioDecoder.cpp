#include "engine/platform/audio/AudioDecoder.h"

#include <sndfile.h>

#include <algorithm>
#include <cstring>

namespace Ostrel {

namespace {

using Cursor = AudioDecoder::MemoryCursor;

sf_count_t CursorLength(void* user) { return static_cast<Cursor*>(user)->size; }

sf_count_t CursorSeek(sf_count_t offset, int whence, void* user) {
    auto* cursor = static_cast<Cursor*>(user);
    sf_count_t base = 0;
    if (whence == SEEK_CUR) base = cursor->position;
    if (whence == SEEK_END) base = cursor->size;
    const sf_count_t target = base + offset;
    if (target < 0 || target > cursor->size) return -1;
    cursor->position = target;
    return target;
}

sf_count_t CursorRead(void* out, sf_count_t count, void* user) {
    auto* cursor = static_cast<Cursor*>(user);
    const sf_count_t available = std::max<sf_count_t>(0, cursor->size - cursor->position);
    const sf_count_t n = std::min(count, available);
    if (n > 0) std::memcpy(out, cursor->data + cursor->position, static_cast<std::size_t>(n));
    cursor->position += n;
    return n;
}

sf_count_t CursorWrite(const void*, sf_count_t, void*) { return 0; }

sf_count_t CursorTell(void* user) { return static_cast<Cursor*>(user)->position; }

SF_VIRTUAL_IO g_memoryIo = {CursorLength, CursorSeek, CursorRead, CursorWrite, CursorTell};

}  // namespace

std::unique_ptr<AudioDecoder> AudioDecoder::Open(const u8* data, std::size_t size,
                                                 std::string* error) {
    if (!data || size == 0) {
        if (error) *error = "empty sound image";
        return nullptr;
    }
    std::unique_ptr<AudioDecoder> decoder(new AudioDecoder());
    decoder->m_cursor = {data, static_cast<i64>(size), 0};
    SF_INFO info{};
    SNDFILE* file = sf_open_virtual(&g_memoryIo, SFM_READ, &info, &decoder->m_cursor);
    if (!file) {
        if (error) *error = sf_strerror(nullptr);
        return nullptr;
    }
    if (info.channels < 1 || info.samplerate < 1) {
        sf_close(file);
        if (error) *error = "no channels or no sample rate";
        return nullptr;
    }
    if (info.channels > kMaxChannels || info.samplerate > kMaxSampleRate) {
        sf_close(file);
        if (error)
            *error = "impossible format: " + std::to_string(info.channels) + " channels at " +
                     std::to_string(info.samplerate) + " Hz (at most " + std::to_string(kMaxChannels) + " at " +
                     std::to_string(kMaxSampleRate) + ")";
        return nullptr;
    }
    // Float reads of integer files come back in -1..1.
    sf_command(file, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
    decoder->m_file = file;
    decoder->m_channels = info.channels;
    decoder->m_sampleRate = info.samplerate;
    decoder->m_frames = info.frames;
    return decoder;
}

std::string AudioDecoder::DescribeCut(const u8* data, std::size_t size) {
    if (!data || size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) return {};
    const u64 announced = u64(data[4]) | u64(data[5]) << 8 | u64(data[6]) << 16 | u64(data[7]) << 24;
    if (announced + 8 <= size) return {};
    return "the file is cut short: its header announces " + std::to_string(announced + 8) + " bytes, it holds " +
           std::to_string(size);
}

AudioDecoder::~AudioDecoder() {
    if (m_file) sf_close(m_file);
}

i64 AudioDecoder::Read(float* out, i64 frames) {
    if (!m_file || frames <= 0) return 0;
    const sf_count_t got = sf_readf_float(m_file, out, frames);
    return got > 0 ? got : 0;
}

bool AudioDecoder::Rewind() {
    return m_file && sf_seek(m_file, 0, SEEK_SET) == 0;
}

}  // namespace Ostrel
