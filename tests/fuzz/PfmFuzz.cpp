// Fuzz target: float maps (tile lookup textures and PFM image resources).

#include "engine/graphics/textures/PfmReader.h"

#include "ImageFuzzChecks.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    Ostrel::CheckDecodedImage(Ostrel::ReadPfm(data, size, &error));
    return 0;
}
