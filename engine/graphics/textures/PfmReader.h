#pragma once
// Portable float maps: a text header ("PF" colour or "Pf" grey, then width,
// height and a scale whose sign gives the byte order, negative for little
// endian), one whitespace byte, then 32-bit floats in rows from the bottom
// of the image to its top. The reader turns the rows around, so the image's
// first row is the file's last one: a tile map written with its first text
// row last therefore comes out with that row at the top (v = 0).

#include "engine/graphics/textures/Image.h"

namespace Ostrel {

// RGBA32F with alpha 1; grey files repeat their value in red, green and blue.
std::optional<Image> ReadPfm(const u8* data, std::size_t size, std::string* error);

// True when the bytes start like a float map.
bool LooksLikePfm(const u8* data, std::size_t size);

}  // namespace Ostrel
