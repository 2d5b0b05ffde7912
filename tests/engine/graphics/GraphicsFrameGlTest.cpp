// The frame on the real GL device (offscreen): a camera, a light and lit
// static boxes in front of a lit wall, drawn with and without the
// post-process composite. The composite must equal the direct picture when
// the fade is (1, 1, 1, 1), up to its last row and column.

#include "engine/core/Matrix4.h"
#include "engine/graphics/textures/Texture.h"
#include "engine/physics/Physics.h"
#include "engine/graphics/textures/Texture.h"

#include "tests/engine/graphics/FrameTestSupport.h"
#include "tests/engine/graphics/textures/ImageFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <utility>

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

// Where a world point lands in the back buffer (top row first).
std::pair<int, int> PixelOf(MatrixManager& matrices, const Vec3& p) {
    const Vec4 clip = Vec4(p.x, p.y, p.z, 1.0f) * *matrices.GetView() * *matrices.GetProjection();
    const float x = (clip.x / clip.w + 1.0f) * 0.5f * kWidth;
    const float y = (1.0f - clip.y / clip.w) * 0.5f * kHeight;
    return {int(x), int(y)};
}

// A lit mesh without a texture (or whose texture never loaded) is drawn in
// its colour: the lit shader samples white for it, not an unbound black.
TEST(GraphicsFrameGl, AnUntexturedLitMeshShowsItsColour) {
    FrameWorld w(false, true);
    if (!w.device.GetDevice()) GTEST_SKIP() << "no GL device";
    w.Make("light-obj", nullptr, Vec3(0, 0, -3));
    w.objects.Update(0.0f);
    w.UseCameraAt(0, 0, -3);
    w.graphics.RenderListForTests(List::Draw).clear();
    Texture empty;  // a missing resource leaves the texture empty
    struct Placed {
        Vec3 at;
        Vec4 tint;
        Texture* texture;
    } boxes[] = {{Vec3(-1.2f, 0, 0), Vec4(0.2f, 0.9f, 0.95f, 1), nullptr},
                 {Vec3(1.2f, 0, 0), Vec4(0.9f, 0.5f, 0.1f, 1), &empty}};
    for (const Placed& p : boxes) {
        Composition* box = w.Make("mesh-obj", "box", p.at);
        w.MeshOf(box)->SetTint(p.tint);
        w.MeshOf(box)->SetTexture(p.texture);
        w.File(List::Draw, box);
    }
    for (int frame = 0; frame < 2; ++frame) {  // the white texture is kept
        w.graphics.Update(0.0f);
        std::vector<u8> pixels;
        rd::Device* device = w.device.GetDevice();
        ASSERT_TRUE(device->ReadPixels(device->BackBuffer(), pixels));
        ASSERT_EQ(pixels.size(), std::size_t(kWidth) * kHeight * 4);
        for (const Placed& p : boxes) {
            const auto [x, y] = PixelOf(w.matrices, p.at + Vec3(0, 0, -0.5f));
            const u8* seen = At(pixels, u32(x), u32(y));
            const float want[3] = {p.tint.x, p.tint.y, p.tint.z};
            for (int c = 0; c < 3; ++c) EXPECT_NEAR(seen[c], want[c] * 255.0f, 3) << "box at x " << p.at.x;
        }
    }
}

bool YellowNear(const std::vector<u8>& pixels, std::pair<int, int> at) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const int x = at.first + dx, y = at.second + dy;
            if (x < 0 || y < 0 || x >= int(kWidth) || y >= int(kHeight)) continue;
            const u8* p = At(pixels, u32(x), u32(y));
            if (p[0] > 200 && p[1] > 200 && p[2] < 60) return true;
        }
    }
    return false;
}

// A box collider's outline with "DRAW_COLLISION": the physics system queues
// it through the installed drawer and the frame draws it. The four edges of
// its near face show in yellow, and the inside stays the cleared black.
TEST(GraphicsFrameGl, ABoxColliderOutlineShowsItsFourEdges) {
    FrameWorld w(false, true);
    if (!w.device.GetDevice()) GTEST_SKIP() << "no GL device";
    Physics physics;
    w.engine.AddSystem(&physics);
    PhysicsSettings settings;
    settings.drawCollision = true;
    physics.SetSettings(settings);
    physics.Initialize();
    // 2 wide, 1 high, 0.5 deep, its centre 0.25 above its position.
    Composition* box = w.Create("box-collider-obj");
    ASSERT_NE(box, nullptr);
    box->GetTransform()->SetPosition(Vec3(0, -0.25f, 0));
    w.objects.Update(0.0f);
    w.UseCameraAt(0, 0, -3);
    w.graphics.RenderListForTests(List::Draw).clear();
    physics.Update(0.0f);
    w.graphics.Update(0.0f);
    std::vector<u8> pixels;
    rd::Device* device = w.device.GetDevice();
    ASSERT_TRUE(device->ReadPixels(device->BackBuffer(), pixels));
    ASSERT_EQ(pixels.size(), std::size_t(kWidth) * kHeight * 4);

    const Vec3 edges[4] = {{-1, 0, -0.25f}, {1, 0, -0.25f}, {0, 0.5f, -0.25f}, {0, -0.5f, -0.25f}};
    const char* names[4] = {"left", "right", "top", "bottom"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(YellowNear(pixels, PixelOf(w.matrices, edges[i]))) << names[i] << " edge";
        EXPECT_FALSE(YellowNear(pixels, PixelOf(w.matrices, edges[i] * 0.5f))) << "inside, toward the " << names[i];
    }
    physics.Shutdown();
}

}  // namespace
}  // namespace Ostrel
