#pragma once
// Decoded images, the CPU side of textures.
//
// Every reader hands back the pixels with the top row first, which is also
// the row a texture coordinate v = 0 addresses on the device, so nothing is
// flipped anywhere after decoding. Readers never trust a size field: before
// any allocation the pixel count is checked against the side limit and the
// bytes the file really holds, so a malformed or hostile file is refused with
// a reason instead of crashing or reserving memory it cannot fill.
//
// Formats: PNG and TGA (decoded by stb; nothing else is handed to it) give RGBA8;
// DDS gives RGBA8 (uncompressed 32-bit, or DXT1/3/5 decoded here); PFM gives
// RGBA32F with alpha 1 (colour "PF" or grey "Pf" files).

#include "engine/base/Types.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace Ostrel {

enum class ImageFormat : u8 {
    Rgba8,    // 4 bytes per pixel: red, green, blue, alpha
    Rgba32F,  // 4 floats per pixel: red, green, blue, alpha
};

struct Image {
    u32 width = 0;
    u32 height = 0;
    ImageFormat format = ImageFormat::Rgba8;
    std::vector<u8> pixels;  // rows top to bottom, no padding

    u32 BytesPerPixel() const { return format == ImageFormat::Rgba8 ? 4u : 16u; }
    // Pixel (x, y) from the top-left corner; valid only inside the image.
    const u8* PixelAt(u32 x, u32 y) const { return pixels.data() + (std::size_t(y) * width + x) * BytesPerPixel(); }
    // The four channels of a float image at (x, y).
    void FloatsAt(u32 x, u32 y, float out[4]) const;
};

// The longest side any reader accepts.
constexpr u32 kMaxImageSide = 8192;

// Decodes bytes by their content (PNG, DDS and PFM by signature, TGA by a
// plausible header whose size the file can hold). On failure logs
// "<name>: <reason>, skipped" and returns nothing.
std::optional<Image> DecodeImage(const u8* data, std::size_t size, const std::string& name);

// The same without logging: the reason goes to *error.
std::optional<Image> DecodeImageQuiet(const u8* data, std::size_t size, std::string* error);

// For readers: stores reason in *error (when given) and answers "no image".
std::nullopt_t RejectImage(std::string* error, std::string reason);

}  // namespace Ostrel
