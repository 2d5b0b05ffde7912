#pragma once
// Builds sound file images in memory through libsndfile, so tests can feed
// the decoders real WAV and MP3 bytes without files in the tree.

#include "engine/core/Types.h"

#include <vector>

namespace Ostrel::Testing {

enum class ImageFormat { WavFloat, Wav16, Mp3 };

// samples are interleaved; answers an empty vector when libsndfile cannot
// write the format.
std::vector<u8> MakeSoundImage(const std::vector<float>& samples, int channels, int rate,
                               ImageFormat format);

}  // namespace Ostrel::Testing
