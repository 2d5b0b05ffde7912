#include "engine/graphics/textures/Image.h"

#include "engine/graphics/textures/DdsReader.h"
#include "engine/graphics/textures/PfmReader.h"
#include "engine/base/Log.h"

#include <stb_image.h>

#include <climits>
#include <cstring>

namespace Ostrel {

namespace {

bool LooksLikePng(const u8* data, std::size_t size) {
    static const u8 kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return size >= 8 && std::memcmp(data, kSignature, 8) == 0;
}

// TGA has no signature; this is the header test a decoder would make: a
// known image type, a colour-map flag of 0 or 1 and a usual pixel depth.
bool LooksLikeTga(const u8* data, std::size_t size) {
    if (size < 18) return false;
    const u8 mapType = data[1], type = data[2], bits = data[16];
    const bool knownType = type == 1 || type == 2 || type == 3 || type == 9 || type == 10 || type == 11;
    return mapType <= 1 && knownType && (bits == 8 || bits == 15 || bits == 16 || bits == 24 || bits == 32);
}

// The bytes before a TGA's pixels: the header, the ID field (length at 0)
// and, with a colour map (flag at 1), its entries (count at 5, bits at 7).
std::size_t TgaPixelOffset(const u8* data) {
    const std::size_t mapEntries = data[1] == 1 ? std::size_t(data[5] | data[6] << 8) : 0;
    return 18 + std::size_t(data[0]) + mapEntries * ((std::size_t(data[7]) + 7) / 8);
}

// The fewest bytes a TGA of this header can hold its pixels in, after its ID
// field and colour map: every pixel for a plain file, one 128-pixel run
// packet per 128 pixels when run-length encoded. A header that promises more
// than the file can carry is refused before the decoder allocates for it.
bool TgaFitsInFile(const u8* data, std::size_t size) {
    const std::size_t width = std::size_t(data[12] | data[13] << 8), height = std::size_t(data[14] | data[15] << 8);
    const std::size_t bytesPerPixel = (std::size_t(data[16]) + 7) / 8;
    const std::size_t pixels = width * height;
    const bool runLength = data[2] >= 9;
    const std::size_t minimum = runLength ? (pixels + 127) / 128 * (1 + bytesPerPixel) : pixels * bytesPerPixel;
    const std::size_t offset = TgaPixelOffset(data);
    return offset <= size && minimum <= size - offset;
}

// A PNG's pixels are deflated, and deflate expands at most 1032 times; at
// one bit per pixel that bounds the pixel count a file of this size can hold.
bool PngFitsInFile(const u8* data, std::size_t size) {
    if (size < 24) return true;  // the decoder reports the short header itself
    auto big32 = [data](std::size_t at) {
        return std::size_t(data[at]) << 24 | std::size_t(data[at + 1]) << 16 | std::size_t(data[at + 2]) << 8 | data[at + 3];
    };
    const std::size_t width = big32(16), height = big32(20);
    if (width > kMaxImageSide || height > kMaxImageSide) return true;  // refused below by size
    return width * height <= size * 1032 * 8;
}

std::optional<Image> ReadWithStb(const u8* data, std::size_t size, std::string* error) {
    if (size > std::size_t(INT_MAX)) return RejectImage(error, "image file too large");
    if (!LooksLikePng(data, size) && TgaPixelOffset(data) > size)
        return RejectImage(error, "TGA ID field or colour map runs past the end of the file");
    if (!LooksLikePng(data, size) && !TgaFitsInFile(data, size)) return RejectImage(error, "TGA pixel data truncated");
    if (LooksLikePng(data, size) && !PngFitsInFile(data, size)) return RejectImage(error, "PNG pixel data truncated");
    int width = 0, height = 0, components = 0;
    if (!stbi_info_from_memory(data, int(size), &width, &height, &components))
        return RejectImage(error, std::string("unknown or malformed image (") + stbi_failure_reason() + ")");
    if (width <= 0 || height <= 0 || u32(width) > kMaxImageSide || u32(height) > kMaxImageSide)
        return RejectImage(error, "image size out of range");
    stbi_uc* pixels = stbi_load_from_memory(data, int(size), &width, &height, &components, 4);
    if (!pixels) return RejectImage(error, std::string("malformed image (") + stbi_failure_reason() + ")");
    Image image{u32(width), u32(height), ImageFormat::Rgba8, {}};
    image.pixels.assign(pixels, pixels + std::size_t(width) * height * 4);
    stbi_image_free(pixels);
    return image;
}

}  // namespace

std::nullopt_t RejectImage(std::string* error, std::string reason) {
    if (error) *error = std::move(reason);
    return std::nullopt;
}

void Image::FloatsAt(u32 x, u32 y, float out[4]) const { std::memcpy(out, PixelAt(x, y), 16); }

std::optional<Image> DecodeImageQuiet(const u8* data, std::size_t size, std::string* error) {
    if (data == nullptr || size == 0) return RejectImage(error, "empty file");
    if (LooksLikeDds(data, size)) return ReadDds(data, size, error);
    if (LooksLikePfm(data, size)) return ReadPfm(data, size, error);
    // Only PNG and TGA go to stb: its other decoders (JPEG, BMP, PNM, ...)
    // serve no texture of ours, and each is more surface for bad files. The
    // TGA header test shares no first bytes with their signatures.
    if (LooksLikePng(data, size) || LooksLikeTga(data, size)) return ReadWithStb(data, size, error);
    return RejectImage(error, "unknown image format (PNG, TGA, DDS and PFM are read)");
}

std::optional<Image> DecodeImage(const u8* data, std::size_t size, const std::string& name) {
    std::string error;
    std::optional<Image> image = DecodeImageQuiet(data, size, &error);
    if (!image) LogMessagef("%s: %s, skipped\n", name.c_str(), error.c_str());
    return image;
}

}  // namespace Ostrel
