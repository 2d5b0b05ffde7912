#pragma once
// DirectDraw surface files: the 128-byte header ("DDS " and a 124-byte
// description) and the top mip level of a 2D texture. Supported: 32-bit
// uncompressed pixels with any channel masks, and the block-compressed
// DXT1, DXT3 and DXT5 formats, decoded here into RGBA8. Cube maps, volumes,
// the extended header and every other pixel format are refused with a reason.

#include "engine/graphics/textures/Image.h"

namespace Ostrel {

std::optional<Image> ReadDds(const u8* data, std::size_t size, std::string* error);

bool LooksLikeDds(const u8* data, std::size_t size);

enum class DxtKind : u8 { Dxt1, Dxt3, Dxt5 };

// Bytes of one 4 x 4 block: 8 for DXT1, 16 for DXT3 and DXT5.
std::size_t DxtBlockBytes(DxtKind kind);

// Decodes one block into 16 RGBA8 pixels, row by row (out[(y * 4 + x) * 4]).
void DecodeDxtBlock(DxtKind kind, const u8* block, u8 out[64]);

}  // namespace Ostrel
