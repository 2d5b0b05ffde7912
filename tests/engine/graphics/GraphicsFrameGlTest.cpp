// The frame on the real GL device (offscreen): a camera, a light and lit
// static boxes in front of a lit wall, drawn with and without the
// post-process composite. The composite must equal the direct picture when
// the fade is (1, 1, 1, 1), up to its last row and column.

#include "engine/graphics/textures/Texture.h"

#include "tests/engine/graphics/FrameTestSupport.h"
#include "tests/engine/graphics/textures/ImageFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace Ostrel {
namespace {

using namespace Ostrel::Testing;

constexpr u32 kWidth = 64;
constexpr u32 kHeight = 48;

// A 4 x 4 texture of one colour.
std::unique_ptr<Texture> Plain(u8 r, u8 g, u8 b) {
    std::vector<u8> rgba;
    for (int i = 0; i < 16; ++i) rgba.insert(rgba.end(), {r, g, b, 255});
    const std::string file = MakeTga32(4, 4, rgba);
    auto texture = std::make_unique<Texture>();
    texture->CreateFromBytes("plain.tga", Bytes(file), file.size());
    return texture;
}

// Draws one frame of the scene and returns the back buffer (RGBA, top row
// first), or nothing without GL.
std::vector<u8> DrawScene(bool postProcess) {
    FrameWorld w(postProcess, true);
    if (!w.device.GetDevice()) return {};
    auto orange = Plain(200, 100, 50);
    auto blue = Plain(50, 100, 200);
    w.Make("light-obj", nullptr, Vec3(0, 0, -3));
    w.objects.Update(0.0f);  // the light manager files the light
    w.UseCameraAt(0, 0, -3);
    w.graphics.RenderListForTests(List::Draw).clear();
    // A box at the centre, a smaller one up and to the left, a wall behind.
    struct Placed {
        Vec3 at, scale;
        Texture* texture;
    } boxes[] = {{Vec3(0, 0, 0), Vec3(1, 1, 1), orange.get()},
                 {Vec3(-1.2f, 0.6f, 0), Vec3(0.4f, 0.4f, 0.4f), orange.get()},
                 {Vec3(0, 0, 6), Vec3(60, 60, 1), blue.get()}};
    for (const Placed& p : boxes) {
        Composition* box = w.Make("mesh-obj", "box", p.at);
        box->GetTransform()->SetScale(p.scale);
        w.MeshOf(box)->SetTexture(p.texture);
        w.File(List::Draw, box);
    }
    w.graphics.Update(0.0f);
    std::vector<u8> pixels;
    rd::Device* device = w.device.GetDevice();
    if (!device->ReadPixels(device->BackBuffer(), pixels)) return {};
    return pixels;
}

const u8* At(const std::vector<u8>& pixels, u32 x, u32 y) { return &pixels[(std::size_t(y) * kWidth + x) * 4]; }

TEST(GraphicsFrameGl, TheCompositeShowsTheDirectPictureUpToTheLastRowAndColumn) {
    const std::vector<u8> direct = DrawScene(false);
    if (direct.empty()) GTEST_SKIP() << "no GL device";
    const std::vector<u8> composite = DrawScene(true);
    ASSERT_EQ(composite.size(), direct.size());
    ASSERT_EQ(direct.size(), std::size_t(kWidth) * kHeight * 4);

    // The lit box faces the light: its full texture colour at the centre.
    for (const auto* picture : {&direct, &composite}) {
        const u8* centre = At(*picture, kWidth / 2, kHeight / 2);
        EXPECT_NEAR(centre[0], 200, 2);
        EXPECT_NEAR(centre[1], 100, 2);
        EXPECT_NEAR(centre[2], 50, 2);
    }
    int differing = 0;
    for (std::size_t i = 0; i < direct.size(); ++i) {
        if (i % 4 == 3) continue;
        if (std::abs(int(direct[i]) - int(composite[i])) > 1) ++differing;
    }
    EXPECT_EQ(differing, 0);
    // The small box is up and to the left in both, the wall everywhere else.
    EXPECT_NEAR(At(composite, 14, 14)[0], 200, 2) << "small box";
    EXPECT_NEAR(At(composite, 14, 30)[0], 50, 2) << "wall below it";
    for (u32 x = 0; x < kWidth; ++x) {
        EXPECT_GT(At(composite, x, kHeight - 1)[2], 100) << "last row, x " << x;
    }
    for (u32 y = 0; y < kHeight; ++y) {
        EXPECT_GT(At(composite, kWidth - 1, y)[2], 100) << "last column, y " << y;
    }
}

}  // namespace
}  // namespace Ostrel
