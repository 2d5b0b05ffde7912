#pragma once
// One libsndfile decoder over a sound file image held in memory (WAV, MP3 and
// whatever else the installed libsndfile reads). The image is borrowed: it
// must outlive the decoder. Decoded sounds use one decoder once at load;
// streamed sounds open one per play, so every play has its own cursor.

#include "engine/base/Types.h"

#include <memory>
#include <string>

struct sf_private_tag;

namespace Ostrel {

class AudioDecoder {
public:
    // Answers null and sets *error (when given) when libsndfile cannot read
    // the image (unknown format, truncated header, empty image).
    static std::unique_ptr<AudioDecoder> Open(const u8* data, std::size_t size,
                                              std::string* error);
    ~AudioDecoder();
    AudioDecoder(const AudioDecoder&) = delete;
    AudioDecoder& operator=(const AudioDecoder&) = delete;

    // Larger formats are refused as impossible: no sound we play has them,
    // and the mixer would allocate for them.
    static constexpr int kMaxChannels = 8;
    static constexpr int kMaxSampleRate = 384000;

    // Why a WAV image is shorter than its RIFF header says (cut short), or
    // empty; libsndfile plays what is there without a word.
    static std::string DescribeCut(const u8* data, std::size_t size);

    int Channels() const { return m_channels; }
    int SampleRate() const { return m_sampleRate; }
    // The frame count the file header announces (an estimate for MP3).
    i64 AnnouncedFrames() const { return m_frames; }

    // Reads up to frames interleaved float frames into out (frames * Channels()
    // floats). Answers the frames read: fewer at the end, 0 at the end or on
    // a decode error.
    i64 Read(float* out, i64 frames);
    // Moves back to the first frame; answers false when the file cannot seek.
    bool Rewind();

    // What libsndfile's virtual I/O reads through; public for its callbacks.
    struct MemoryCursor {
        const u8* data = nullptr;
        i64 size = 0;
        i64 position = 0;
    };

private:
    AudioDecoder() = default;

    MemoryCursor m_cursor;
    sf_private_tag* m_file = nullptr;
    int m_channels = 0;
    int m_sampleRate = 0;
    i64 m_frames = 0;
};

}  // namespace Ostrel
