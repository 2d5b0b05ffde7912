#include "engine/graphics/textures/DdsReader.h"

#include <bit>
#include <cstring>

namespace Ostrel {

namespace {

// Byte offsets in the file: the signature, then the 124-byte description.
constexpr std::size_t kHeaderBytes = 128;
constexpr std::size_t kOffDescSize = 4;
constexpr std::size_t kOffHeight = 12;
constexpr std::size_t kOffWidth = 16;
constexpr std::size_t kOffFormatSize = 76;
constexpr std::size_t kOffFormatFlags = 80;
constexpr std::size_t kOffFourCC = 84;
constexpr std::size_t kOffBitCount = 88;
constexpr std::size_t kOffMasks = 92;  // red, green, blue, alpha
constexpr std::size_t kOffCaps2 = 112;

constexpr u32 kFlagAlphaPixels = 0x1;
constexpr u32 kFlagFourCC = 0x4;
constexpr u32 kFlagRgb = 0x40;
constexpr u32 kCaps2CubeMap = 0x200;
constexpr u32 kCaps2Volume = 0x200000;

u32 ReadU32(const u8* p) { return u32(p[0]) | u32(p[1]) << 8 | u32(p[2]) << 16 | u32(p[3]) << 24; }
u16 ReadU16(const u8* p) { return u16(p[0] | p[1] << 8); }

constexpr u32 FourCCCode(const char (&text)[5]) {
    return u32(u8(text[0])) | u32(u8(text[1])) << 8 | u32(u8(text[2])) << 16 | u32(u8(text[3])) << 24;
}

std::string PrintableCode(u32 code) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const char c = char((code >> (8 * i)) & 0xFF);
        text += (c >= 32 && c < 127) ? c : '?';
    }
    return text;
}

// RGB565 expanded to 8 bits per channel by repeating the top bits.
void Expand565(u16 c, u8 out[3]) {
    const u32 r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    out[0] = u8(r << 3 | r >> 2);
    out[1] = u8(g << 2 | g >> 4);
    out[2] = u8(b << 3 | b >> 2);
}

// The colour half of a block. fourColours is false only for a DXT1 block
// whose first colour is not above the second: then the third colour is the
// mean and the fourth is transparent black.
void DecodeColourBlock(const u8* block, bool dxt1, u8 out[64]) {
    const u16 c0 = ReadU16(block), c1 = ReadU16(block + 2);
    u8 palette[4][4] = {};
    Expand565(c0, palette[0]);
    Expand565(c1, palette[1]);
    palette[0][3] = palette[1][3] = 255;
    const bool fourColours = !dxt1 || c0 > c1;
    for (int ch = 0; ch < 3; ++ch) {
        const u32 a = palette[0][ch], b = palette[1][ch];
        if (fourColours) {
            palette[2][ch] = u8((2 * a + b) / 3);
            palette[3][ch] = u8((a + 2 * b) / 3);
        } else {
            palette[2][ch] = u8((a + b) / 2);
            palette[3][ch] = 0;
        }
    }
    palette[2][3] = 255;
    palette[3][3] = fourColours ? 255 : 0;
    const u32 indices = ReadU32(block + 4);
    for (int i = 0; i < 16; ++i) std::memcpy(out + i * 4, palette[(indices >> (2 * i)) & 3], 4);
}

// DXT3: sixteen explicit 4-bit alphas, expanded by repeating the nibble.
void DecodeExplicitAlpha(const u8* block, u8 out[64]) {
    for (int i = 0; i < 16; ++i) {
        const u32 nibble = (block[i / 2] >> (4 * (i % 2))) & 15;
        out[i * 4 + 3] = u8(nibble * 17);
    }
}

// DXT5: two reference alphas and sixteen 3-bit indices into eight values.
void DecodeInterpolatedAlpha(const u8* block, u8 out[64]) {
    const u32 a0 = block[0], a1 = block[1];
    u8 values[8] = {u8(a0), u8(a1)};
    if (a0 > a1) {
        for (u32 i = 1; i < 7; ++i) values[i + 1] = u8(((7 - i) * a0 + i * a1) / 7);
    } else {
        for (u32 i = 1; i < 5; ++i) values[i + 1] = u8(((5 - i) * a0 + i * a1) / 5);
        values[6] = 0;
        values[7] = 255;
    }
    u64 bits = 0;
    for (int i = 0; i < 6; ++i) bits |= u64(block[2 + i]) << (8 * i);
    for (int i = 0; i < 16; ++i) out[i * 4 + 3] = values[(bits >> (3 * i)) & 7];
}

// One channel of a masked 32-bit pixel scaled to 0..255; an empty mask
// gives fallback.
u8 MaskedChannel(u32 pixel, u32 mask, u8 fallback) {
    if (mask == 0) return fallback;
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const u64 value = (pixel & mask) >> shift;
    const u64 maxValue = (u64(1) << bits) - 1;
    return u8(value * 255 / maxValue);
}

std::optional<Image> ReadUncompressed(const u8* data, std::size_t size, u32 width, u32 height, std::string* error) {
    const u32 flags = ReadU32(data + kOffFormatFlags);
    const u32 bits = ReadU32(data + kOffBitCount);
    if (bits != 32) return RejectImage(error, "unsupported DDS pixel format (" + std::to_string(bits) + "-bit uncompressed)");
    u32 masks[4];
    for (int i = 0; i < 4; ++i) masks[i] = ReadU32(data + kOffMasks + 4 * i);
    if (!(flags & kFlagAlphaPixels)) masks[3] = 0;
    if (masks[0] == 0 && masks[1] == 0 && masks[2] == 0) {
        masks[0] = 0x00FF0000;
        masks[1] = 0x0000FF00;
        masks[2] = 0x000000FF;
    }
    const std::size_t pixels = std::size_t(width) * height;
    if ((size - kHeaderBytes) / 4 < pixels) return RejectImage(error, "DDS pixel data truncated");
    Image image{width, height, ImageFormat::Rgba8, std::vector<u8>(pixels * 4)};
    for (std::size_t i = 0; i < pixels; ++i) {
        const u32 pixel = ReadU32(data + kHeaderBytes + i * 4);
        for (int ch = 0; ch < 4; ++ch) image.pixels[i * 4 + ch] = MaskedChannel(pixel, masks[ch], 255);
    }
    return image;
}

std::optional<Image> ReadCompressed(const u8* data, std::size_t size, u32 width, u32 height, DxtKind kind,
                                    std::string* error) {
    const std::size_t blocksX = (width + 3) / 4, blocksY = (height + 3) / 4;
    const std::size_t blockBytes = DxtBlockBytes(kind);
    if ((size - kHeaderBytes) / blockBytes < blocksX * blocksY) return RejectImage(error, "DDS block data truncated");
    Image image{width, height, ImageFormat::Rgba8, std::vector<u8>(std::size_t(width) * height * 4)};
    u8 texels[64];
    for (std::size_t by = 0; by < blocksY; ++by) {
        for (std::size_t bx = 0; bx < blocksX; ++bx) {
            DecodeDxtBlock(kind, data + kHeaderBytes + (by * blocksX + bx) * blockBytes, texels);
            // Blocks on the right and bottom edges may hang over the image.
            for (std::size_t y = 0; y < 4 && by * 4 + y < height; ++y)
                for (std::size_t x = 0; x < 4 && bx * 4 + x < width; ++x)
                    std::memcpy(&image.pixels[((by * 4 + y) * width + bx * 4 + x) * 4], texels + (y * 4 + x) * 4, 4);
        }
    }
    return image;
}

}  // namespace

bool LooksLikeDds(const u8* data, std::size_t size) { return size >= 4 && std::memcmp(data, "DDS ", 4) == 0; }

std::size_t DxtBlockBytes(DxtKind kind) { return kind == DxtKind::Dxt1 ? 8 : 16; }

void DecodeDxtBlock(DxtKind kind, const u8* block, u8 out[64]) {
    switch (kind) {
    case DxtKind::Dxt1:
        DecodeColourBlock(block, true, out);
        break;
    case DxtKind::Dxt3:
        DecodeColourBlock(block + 8, false, out);
        DecodeExplicitAlpha(block, out);
        break;
    case DxtKind::Dxt5:
        DecodeColourBlock(block + 8, false, out);
        DecodeInterpolatedAlpha(block, out);
        break;
    }
}

std::optional<Image> ReadDds(const u8* data, std::size_t size, std::string* error) {
    if (!LooksLikeDds(data, size)) return RejectImage(error, "not a DDS file");
    if (size < kHeaderBytes) return RejectImage(error, "DDS header truncated");
    if (ReadU32(data + kOffDescSize) != 124 || ReadU32(data + kOffFormatSize) != 32)
        return RejectImage(error, "bad DDS header sizes");
    const u32 width = ReadU32(data + kOffWidth), height = ReadU32(data + kOffHeight);
    if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide)
        return RejectImage(error, "DDS size out of range");
    if (ReadU32(data + kOffCaps2) & (kCaps2CubeMap | kCaps2Volume))
        return RejectImage(error, "unsupported DDS texture (cube map or volume)");
    const u32 flags = ReadU32(data + kOffFormatFlags);
    if (flags & kFlagFourCC) {
        const u32 code = ReadU32(data + kOffFourCC);
        if (code == FourCCCode("DXT1")) return ReadCompressed(data, size, width, height, DxtKind::Dxt1, error);
        if (code == FourCCCode("DXT3")) return ReadCompressed(data, size, width, height, DxtKind::Dxt3, error);
        if (code == FourCCCode("DXT5")) return ReadCompressed(data, size, width, height, DxtKind::Dxt5, error);
        return RejectImage(error, "unsupported DDS pixel format (compression '" + PrintableCode(code) + "')");
    }
    if (flags & kFlagRgb) return ReadUncompressed(data, size, width, height, error);
    return RejectImage(error, "unsupported DDS pixel format");
}

}  // namespace Ostrel
