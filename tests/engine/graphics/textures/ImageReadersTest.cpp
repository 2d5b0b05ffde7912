#include "engine/graphics/textures/DdsReader.h"
#include "engine/graphics/textures/Image.h"
#include "engine/graphics/textures/PfmReader.h"

#include "tests/engine/graphics/textures/ImageFiles.h"

#include <stb_image_write.h>

#include <gtest/gtest.h>

#include <array>

namespace Ostrel {
namespace {

using namespace Ostrel::Testing;
using Rgba = std::array<int, 4>;

Rgba PixelOf(const Image& image, u32 x, u32 y) {
    const u8* p = image.PixelAt(x, y);
    return {p[0], p[1], p[2], p[3]};
}

Rgba BlockPixel(const u8 texels[64], int i) { return {texels[i * 4], texels[i * 4 + 1], texels[i * 4 + 2], texels[i * 4 + 3]}; }

std::array<float, 4> FloatsOf(const Image& image, u32 x, u32 y) {
    std::array<float, 4> f;
    image.FloatsAt(x, y, f.data());
    return f;
}

std::string Reason(const std::string& bytes) {
    std::string error;
    EXPECT_FALSE(DecodeImageQuiet(Bytes(bytes), bytes.size(), &error)) << "accepted";
    return error;
}

TEST(PfmReader, TurnsTheBottomUpRowsAroundInBothByteOrders) {
    // File rows: bottom (1, 2), then top (3, 4).
    const std::vector<float> rows = {1, 0, 0, 2, 0, 0, 3, 0, 0, 4, 0, 0};
    for (const auto& [header, big] : {std::pair{"PF\n2 2\n-1.000000\n", false}, std::pair{"PF\n2 2\n1.0\n", true}}) {
        std::optional<Image> image = ReadPfm(Bytes(MakePfm(header, rows, big)), MakePfm(header, rows, big).size(), nullptr);
        ASSERT_TRUE(image) << header;
        EXPECT_EQ(image->format, ImageFormat::Rgba32F);
        EXPECT_EQ(FloatsOf(*image, 0, 0), (std::array<float, 4>{3, 0, 0, 1})) << "top row is the file's last";
        EXPECT_EQ(FloatsOf(*image, 1, 0), (std::array<float, 4>{4, 0, 0, 1}));
        EXPECT_EQ(FloatsOf(*image, 0, 1), (std::array<float, 4>{1, 0, 0, 1}));
        EXPECT_EQ(FloatsOf(*image, 1, 1), (std::array<float, 4>{2, 0, 0, 1}));
    }
    const std::string grey = MakePfm("Pf\n1 1\n-1\n", {0.5f});
    std::optional<Image> image = DecodeImageQuiet(Bytes(grey), grey.size(), nullptr);
    ASSERT_TRUE(image);
    EXPECT_EQ(FloatsOf(*image, 0, 0), (std::array<float, 4>{0.5f, 0.5f, 0.5f, 1}));
}

TEST(PfmReader, RefusesMalformedHeadersAndShortData) {
    EXPECT_NE(Reason(MakePfm("PF\n2 1\n-1\n", {1, 2, 3, 4, 5})).find("truncated"), std::string::npos);
    for (const char* header : {"PF\n0 1\n-1\n", "PF\n-1 1\n-1\n", "PF\n2\n", "PF\n1 1\n0\n", "PF\n1 1\nnan\n",
                               "PF\n9000 1\n-1\n", "PF\n1 1\n-1", "PF\n1x 1\n-1\n", "PF\n99999999999 1\n-1\n"}) {
        EXPECT_FALSE(Reason(MakePfm(header, std::vector<float>(30, 0.0f))).empty()) << header;
    }
}

TEST(DxtDecoding, HandMadeBlocksGiveTheirKnownColours) {
    u8 texels[64];
    // Red and blue end points, first above second: four opaque colours.
    // Row 0 uses indices 0 1 2 3, the other rows index 1.
    const u8 fourColour[8] = {0x00, 0xF8, 0x1F, 0x00, 0xE4, 0x55, 0x55, 0x55};
    DecodeDxtBlock(DxtKind::Dxt1, fourColour, texels);
    EXPECT_EQ(BlockPixel(texels, 0), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(BlockPixel(texels, 1), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(BlockPixel(texels, 2), (Rgba{170, 0, 85, 255}));
    EXPECT_EQ(BlockPixel(texels, 3), (Rgba{85, 0, 170, 255}));
    EXPECT_EQ(BlockPixel(texels, 15), (Rgba{0, 0, 255, 255}));

    // First not above second: three colours and transparent black.
    const u8 threeColour[8] = {0x1F, 0x00, 0x00, 0xF8, 0xE4, 0x00, 0x00, 0x00};
    DecodeDxtBlock(DxtKind::Dxt1, threeColour, texels);
    EXPECT_EQ(BlockPixel(texels, 2), (Rgba{127, 0, 127, 255}));
    EXPECT_EQ(BlockPixel(texels, 3), (Rgba{0, 0, 0, 0}));

    // DXT3: explicit nibbles (0, 15, then 8s); its colour half always has
    // four colours, even with the first end point below the second.
    const u8 dxt3[16] = {0xF0, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x00, 0x00, 0xFF, 0xFF, 0xC0, 0, 0, 0};
    DecodeDxtBlock(DxtKind::Dxt3, dxt3, texels);
    EXPECT_EQ(BlockPixel(texels, 0), (Rgba{0, 0, 0, 0}));
    EXPECT_EQ(BlockPixel(texels, 1), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(BlockPixel(texels, 3), (Rgba{170, 170, 170, 136}));

    // DXT5: 255 and 0 give eight steps; 0 and 255 give six plus 0 and 255.
    // Pixels 0..3 use alpha indices 0, 1, 2, 7.
    const u8 eightStep[16] = {255, 0, 0x88, 0x0E, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0};
    DecodeDxtBlock(DxtKind::Dxt5, eightStep, texels);
    EXPECT_EQ(BlockPixel(texels, 0), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(texels[1 * 4 + 3], 0);
    EXPECT_EQ(texels[2 * 4 + 3], 218);
    EXPECT_EQ(texels[3 * 4 + 3], 36);
    const u8 sixStep[16] = {0, 255, 0x88, 0x0E, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0};  // indices 0 1 2 7
    DecodeDxtBlock(DxtKind::Dxt5, sixStep, texels);
    EXPECT_EQ(texels[2 * 4 + 3], 51);
    EXPECT_EQ(texels[3 * 4 + 3], 255);
}

TEST(DdsReader, DecodesBlocksAcrossTheImageAndCropsTheEdges) {
    // 6 x 5 pixels: 2 x 2 solid blocks, red, green / blue, white.
    std::string file = MakeDdsHeader(6, 5, 0x4, "DXT1");
    for (u16 colour : {0xF800, 0x07E0, 0x001F, 0xFFFF}) {
        const char block[8] = {char(colour & 0xFF), char(colour >> 8), 0, 0, 0, 0, 0, 0};
        file.append(block, 8);
    }
    std::optional<Image> image = DecodeImageQuiet(Bytes(file), file.size(), nullptr);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 6u);
    EXPECT_EQ(image->height, 5u);
    EXPECT_EQ(PixelOf(*image, 3, 3), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(PixelOf(*image, 4, 0), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(PixelOf(*image, 0, 4), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(PixelOf(*image, 5, 4), (Rgba{255, 255, 255, 255}));
    file.pop_back();
    EXPECT_NE(Reason(file).find("truncated"), std::string::npos);
}

TEST(DdsReader, ReadsMaskedPixelsAndRefusesWhatItDoesNotSupport) {
    const u32 masks[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    std::string withAlpha = MakeDdsHeader(1, 1, 0x41, nullptr, 32, masks);
    std::string noAlpha = MakeDdsHeader(1, 1, 0x40, nullptr, 32, masks);
    for (std::string* file : {&withAlpha, &noAlpha}) {
        file->resize(132);
        PutU32(*file, 128, 0x80112233);
    }
    EXPECT_EQ(PixelOf(*DecodeImageQuiet(Bytes(withAlpha), withAlpha.size(), nullptr), 0, 0), (Rgba{0x11, 0x22, 0x33, 0x80}));
    EXPECT_EQ(PixelOf(*DecodeImageQuiet(Bytes(noAlpha), noAlpha.size(), nullptr), 0, 0), (Rgba{0x11, 0x22, 0x33, 255}));

    std::string dx10 = MakeDdsHeader(4, 4, 0x4, "DX10") + std::string(64, '\0');
    std::string rgb24 = MakeDdsHeader(4, 4, 0x40, nullptr, 24, masks) + std::string(64, '\0');
    std::string cube = MakeDdsHeader(4, 4, 0x4, "DXT1") + std::string(64, '\0');
    PutU32(cube, 112, 0x200);
    for (const std::string* file : {&dx10, &rgb24, &cube})
        EXPECT_NE(Reason(*file).find("unsupported"), std::string::npos);
    std::string huge = MakeDdsHeader(100000, 100000, 0x4, "DXT5");
    EXPECT_NE(Reason(huge).find("out of range"), std::string::npos);
    EXPECT_NE(Reason(MakeDdsHeader(4, 4, 0x4, "DXT5").substr(0, 100)).find("truncated"), std::string::npos);
}

TEST(StbImages, TgaAndPngComeOutTopRowFirst) {
    const std::vector<u8> rgba = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 255, 9, 9, 9, 0};
    const std::string topLeft = MakeTga32(2, 2, rgba);
    std::string bottomLeft = topLeft;
    bottomLeft[17] = 0x08;  // rows stored bottom row first
    std::swap_ranges(bottomLeft.begin() + 18, bottomLeft.begin() + 26, bottomLeft.begin() + 26);

    std::string pngFile;
    auto append = [](void* context, void* data, int size) { static_cast<std::string*>(context)->append(static_cast<char*>(data), std::size_t(size)); };
    ASSERT_TRUE(stbi_write_png_to_func(append, &pngFile, 2, 2, 4, rgba.data(), 8));

    for (const std::string* file : {&topLeft, static_cast<const std::string*>(&bottomLeft), static_cast<const std::string*>(&pngFile)}) {
        std::optional<Image> image = DecodeImage(Bytes(*file), file->size(), "test image");
        ASSERT_TRUE(image);
        EXPECT_EQ(image->format, ImageFormat::Rgba8);
        EXPECT_EQ(PixelOf(*image, 0, 0), (Rgba{255, 0, 0, 255}));
        EXPECT_EQ(PixelOf(*image, 1, 0), (Rgba{0, 255, 0, 128}));
        EXPECT_EQ(PixelOf(*image, 0, 1), (Rgba{0, 0, 255, 255}));
    }
}

TEST(StbImages, HeadersPromisingMoreThanTheFileHoldsAreRefusedBeforeDecoding) {
    std::string tga = MakeTga32(2, 2, std::vector<u8>(16, 7));
    tga[12] = char(0xA0), tga[13] = char(0x0F);  // 4000 wide
    EXPECT_NE(Reason(tga).find("truncated"), std::string::npos);
    tga[2] = 10;  // run-length encoded: still far too little data
    EXPECT_NE(Reason(tga).find("truncated"), std::string::npos);
    EXPECT_NE(Reason("not an image at all, just text").find("unknown image format"), std::string::npos);
    // Formats stb knows but textures do not use are refused before it sees
    // them (its PNM reader overflows on long numbers).
    EXPECT_NE(Reason("P6" + std::string(120, '7') + "I9").find("unknown image format"), std::string::npos);
    EXPECT_FALSE(Reason("").empty());
}

// The ID field and the colour map come before the pixels and count toward
// the file's size: an ID length of 255 in a small file, or pixels that fit
// only when the ID is left out, are refused; a sound file with an ID reads.
TEST(StbImages, TgaIdFieldAndColourMapAreCountedInTheSizeCheck) {
    const std::string plain = MakeTga32(2, 2, std::vector<u8>(16, 7));
    std::string longId = plain;
    longId[0] = char(255);
    EXPECT_NE(Reason(longId).find("TGA ID field or colour map runs past the end of the file"), std::string::npos);
    std::string shortByTheId = plain;
    shortByTheId[0] = 4;  // 16 pixel bytes are there, 20 would be needed
    shortByTheId += "xyz";
    EXPECT_NE(Reason(shortByTheId).find("truncated"), std::string::npos);
    std::string mapped = plain;
    mapped[1] = 1, mapped[5] = char(0xFF), mapped[6] = char(0xFF), mapped[7] = 24;  // 65535 map entries
    EXPECT_NE(Reason(mapped).find("runs past the end of the file"), std::string::npos);
    std::string withId = plain.substr(0, 18) + "four" + plain.substr(18);
    withId[0] = 4;
    std::string error;
    EXPECT_TRUE(DecodeImageQuiet(Bytes(withId), withId.size(), &error)) << error;
}

}  // namespace
}  // namespace Ostrel
