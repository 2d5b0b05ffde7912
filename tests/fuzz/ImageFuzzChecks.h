#pragma once
// What every image reader must guarantee for any input: no crash, and an
// accepted image whose size is within the limit and whose pixel buffer is
// exactly what that size needs.

#include "engine/graphics/textures/Image.h"

#include <optional>

namespace Ostrel {

inline void CheckDecodedImage(const std::optional<Image>& image) {
    if (!image) return;
    if (image->width == 0 || image->height == 0) __builtin_trap();
    if (image->width > kMaxImageSide || image->height > kMaxImageSide) __builtin_trap();
    if (image->pixels.size() != std::size_t(image->width) * image->height * image->BytesPerPixel()) __builtin_trap();
}

}  // namespace Ostrel
