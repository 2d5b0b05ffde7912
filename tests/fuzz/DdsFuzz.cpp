// Fuzz target: DDS textures (uncompressed and DXT1/3/5 blocks).

#include "engine/graphics/textures/DdsReader.h"

#include "ImageFuzzChecks.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    Ostrel::CheckDecodedImage(Ostrel::ReadDds(data, size, &error));
    return 0;
}
