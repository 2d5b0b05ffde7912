// The graphics assets on the real GL device (offscreen): shader programs
// compiled from rsc, primitive meshes, textures and tile maps, checked by
// the pixels they draw.

#include "engine/core/Matrix4.h"
#include "engine/graphics/MatrixManager.h"
#include "engine/graphics/models/Mesh.h"
#include "engine/graphics/models/MeshBuilders.h"
#include "engine/graphics/ShaderProgram.h"
#include "engine/graphics/textures/Texture.h"
#include "engine/graphics/textures/TextureManager.h"

#include "tests/engine/graphics/GraphicsTestSupport.h"
#include "tests/engine/graphics/textures/ImageFiles.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>

namespace Ostrel {
namespace {

using namespace Ostrel::Testing;
using Rgba = std::array<int, 4>;

constexpr u32 kSize = 64;

const rd::VertexElement kStaticLayout[] = {
    {0, rd::DeclType::Float3, rd::DeclUsage::Position},
    {12, rd::DeclType::Float3, rd::DeclUsage::Normal},
    {24, rd::DeclType::Float2, rd::DeclUsage::TexCoord},
    {32, rd::DeclType::Color, rd::DeclUsage::Color},
};

// A GL render device of kSize x kSize on resources rooted at root.
class GlPixels {
public:
    explicit GlPixels(const std::string& root) {
        RegisterResourceKinds(m_resources, root);
        m_renderDevice.SetWindowParameters({kSize, kSize, nullptr, true});
        device = m_renderDevice.Create();
        if (device) layout = device->CreateVertexLayout(kStaticLayout);
    }

    void Clear() {
        device->SetRenderTarget(0, device->BackBuffer());
        device->Clear(rd::kClearTarget | rd::kClearZBuffer, 0xFF000000, 1.0f);
    }

    void Draw(const Mesh& mesh) {
        device->SetVertexLayout(layout);
        device->SetStreamSource(mesh.GetVertexBuffer(), mesh.GetStride());
        device->SetIndices(mesh.GetIndexBuffer());
        device->DrawIndexed(rd::Prim(mesh.GetPrimitiveType()), mesh.GetVertexCount(), mesh.GetPrimitiveCount());
    }

    Rgba Pixel(u32 x, u32 y) {
        std::vector<u8> pixels;
        if (!device->ReadPixels(device->BackBuffer(), pixels)) return {-1, -1, -1, -1};
        const u8* p = pixels.data() + (std::size_t(y) * kSize + x) * 4;
        return {p[0], p[1], p[2], p[3]};
    }

    rd::Device* device = nullptr;
    rd::VertexLayout* layout = nullptr;

private:
    ResourceManager m_resources;
    RenderDevice m_renderDevice;
};

void ExpectColour(const Rgba& actual, const Rgba& expected, const char* where) {
    for (int i = 0; i < 3; ++i) EXPECT_LE(std::abs(actual[i] - expected[i]), 2) << where << " channel " << i;
}

TEST(GraphicsPixels, CubeDrawnWithTheDebugProgramShowsItsColourAtTheCentre) {
    GlPixels gl(std::string(LV_SOURCE_DIR) + "/rsc");
    ASSERT_NE(gl.device, nullptr);
    MatrixManager matrices;
    matrices.SetScreenSize({kSize, kSize, nullptr, true});
    matrices.OnCameraPosUpdate(2.0f, 1.5f, -3.0f);
    matrices.OnCameraLookAtUpdate(0, 0, 0);
    matrices.OnCameraUpUpdate(0, 1, 0);
    matrices.OnGraphicsUpdate(0.0f);
    Mesh cube;
    BuildCubeMesh(&cube, 1, 1);
    ShaderProgram debug("debug");
    ASSERT_TRUE(debug.IsValid());

    gl.Clear();
    Matrix4 world;
    BuildTransformMatrix(world, Vec3(), Vec3(0, 30, 0), Vec3(1, 1, 1));
    const Vec4 colour(0.2f, 0.6f, 1.0f, 1.0f);
    debug.Use(3);
    debug.SetMatrix(InternName("ProjMat"), matrices.GetProjection());
    debug.SetMatrix(InternName("CamMat"), matrices.GetView());
    debug.SetMatrix(InternName("WorldMat"), &world);
    debug.SetVec4(InternName("debug_color"), &colour);
    gl.Draw(cube);
    ExpectColour(gl.Pixel(kSize / 2, kSize / 2), {51, 153, 255, 255}, "centre");
    ExpectColour(gl.Pixel(1, 1), {0, 0, 0, 255}, "corner");
}

TEST(GraphicsPixels, TileMapPicksTheAtlasCellOfEachMapCell) {
    GlPixels gl(std::string(LV_SOURCE_DIR) + "/rsc");
    ASSERT_NE(gl.device, nullptr);
    // A 64 x 64 atlas of four 32-pixel cells: red, green / blue, white.
    std::vector<u8> atlasPixels(64 * 64 * 4);
    for (u32 y = 0; y < 64; ++y) {
        for (u32 x = 0; x < 64; ++x) {
            static const u8 kCells[4][4] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}};
            std::memcpy(&atlasPixels[(y * 64 + x) * 4], kCells[(y / 32) * 2 + x / 32], 4);
        }
    }
    const std::string atlasFile = MakeTga32(64, 64, atlasPixels);
    Texture atlas;
    ASSERT_TRUE(atlas.CreateFromBytes("atlas.tga", Bytes(atlasFile), atlasFile.size()));
    TextureManager textures;
    Texture* map = nullptr;
    // Map rows: white, red / green, blue (values are column + 2 x row).
    textures.CreateFloatTexture(&map, "3 0\n1 2\n", 2.0f, 2.0f, 2, nullptr);
    ASSERT_NE(map, nullptr);

    Mesh sprite;
    BuildSpriteMesh(&sprite);
    ShaderProgram program("static-vert");
    ASSERT_TRUE(program.IsValid());
    gl.Clear();
    Matrix4 world, identity = Matrix4::Identity();
    BuildTransformMatrix(world, Vec3(), Vec3(), Vec3(2, 2, 1));
    const Vec2 tiles(2, 2), percentage(0.5f, 0.5f);
    const Vec4 tint(1, 1, 1, 1);
    program.Use(3);
    program.SetMatrix(InternName("ProjMat"), &identity);
    program.SetMatrix(InternName("CamMat"), &identity);
    program.SetMatrix(InternName("WorldMat"), &world);
    program.SetTexture(InternName("diffuse_sampler"), &atlas);
    program.SetTexture(InternName("mapping_sampler"), map);
    program.SetVec2(InternName("tex_tiles"), &tiles);
    program.SetVec2(InternName("tile_percentage"), &percentage);
    program.SetVec4(InternName("AdditiveColor"), &tint);
    gl.Draw(sprite);

    // Points near the middle lines check that the map is point-sampled.
    ExpectColour(gl.Pixel(16, 16), {255, 255, 255, 255}, "top left");
    ExpectColour(gl.Pixel(30, 30), {255, 255, 255, 255}, "top left, near the middle");
    ExpectColour(gl.Pixel(48, 16), {255, 0, 0, 255}, "top right");
    ExpectColour(gl.Pixel(34, 30), {255, 0, 0, 255}, "top right, near the middle");
    ExpectColour(gl.Pixel(16, 48), {0, 255, 0, 255}, "bottom left");
    ExpectColour(gl.Pixel(48, 48), {0, 0, 255, 255}, "bottom right");
}

const char* kArrayVs = R"(
layout(location = 0) in vec3 a_position;
uniform mat4 BoneMat[4];
void main() { gl_Position = BoneMat[2] * vec4(a_position, 1.0); }
)";

const char* kArrayPs = R"(
struct Light { vec4 color; vec3 attenuation; vec4 pos; };
uniform Light lights[16];
out vec4 out_color0;
void main() { out_color0 = lights[5].color + lights[4].pos; }
)";

TEST(GraphicsPixels, MatrixArraysAndLightStructsReachALinkedProgramWithEveryUseFlag) {
    const std::filesystem::path root = FreshGraphicsFolder("array-shaders");
    WriteGraphicsFile(root / "array-vs.psh", kArrayVs);
    WriteGraphicsFile(root / "array-ps.psh", kArrayPs);
    GlPixels gl(root.string());
    ASSERT_NE(gl.device, nullptr);
    ShaderProgram program("array");
    ASSERT_TRUE(program.IsValid());
    Mesh sprite;
    BuildSpriteMesh(&sprite);

    Matrix4 bones[3];  // 0 and 1 zero: only the third places the quad
    BuildTransformMatrix(bones[2], Vec3(), Vec3(), Vec3(2, 2, 1));
    const Vec4 colours[3] = {{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}};
    const Vec4 zero(0, 0, 0, 0);
    const u32 flags[3] = {1, 2, 3};
    for (int i = 0; i < 3; ++i) {
        gl.Clear();
        program.Use(flags[i]);
        program.SetMatrixArray(InternName("BoneMat"), bones, 3);
        program.SetVec4(InternName("lights[5].color"), &colours[i]);
        program.SetVec4(InternName("lights[4].pos"), &zero);
        gl.Draw(sprite);
        const Rgba expected = {int(colours[i].x * 255), int(colours[i].y * 255), int(colours[i].z * 255), 255};
        ExpectColour(gl.Pixel(kSize / 2, kSize / 2), expected, "centre");
        ExpectColour(gl.Pixel(2, 2), expected, "corner: the quad fills the screen");
    }
}

}  // namespace
}  // namespace Ostrel
