// Fuzz target: the image decoder as textures use it, seeded with TGA files
// (no signature, so every input that is not DDS, PFM or PNG reaches the TGA
// size check and the stb decoder).

#include "engine/graphics/textures/Image.h"

#include "ImageFuzzChecks.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    Ostrel::CheckDecodedImage(Ostrel::DecodeImageQuiet(data, size, &error));
    return 0;
}
