// The shipped shader sources on the real GL device (offscreen): every file
// in rsc/shaders compiles without a message, every program the engine makes
// from them links, the graphics system starts on them, and the lit program
// adds nothing for empty light slots.

#include "engine/core/Matrix4.h"
#include "engine/graphics/Graphics.h"
#include "engine/graphics/LightManager.h"
#include "engine/graphics/MatrixManager.h"
#include "engine/graphics/models/Mesh.h"
#include "engine/graphics/models/MeshBuilders.h"
#include "engine/graphics/models/MeshManager.h"
#include "engine/graphics/ShaderProgram.h"
#include "engine/graphics/textures/TextureManager.h"

#include "tests/engine/graphics/GraphicsTestSupport.h"
#include "tests/engine/graphics/LightTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace Ostrel {
namespace {

using namespace Ostrel::Testing;

const std::string kRsc = std::string(LV_SOURCE_DIR) + "/rsc";

struct GlWorld {
    GlWorld() {
        RegisterResourceKinds(resources, kRsc);
        renderDevice.SetWindowParameters({64, 64, nullptr, true});
        device = renderDevice.Create();
    }
    ResourceManager resources;
    RenderDevice renderDevice;
    rd::Device* device = nullptr;
};

TEST(ShaderFiles, EveryShippedSourceCompilesAndEveryProgramLinks) {
    GlWorld gl;
    ASSERT_NE(gl.device, nullptr);
    std::lock_guard lock(gl.renderDevice);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kRsc + "/shaders")) {
        if (entry.path().extension() != ".psh") continue;
        const std::string name = entry.path().stem().string();
        const bool pixel = name.size() > 3 && name.compare(name.size() - 3, 3, "-ps") == 0;
        ASSERT_TRUE(pixel || name.compare(name.size() - 3, 3, "-vs") == 0) << name;
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        std::string log;
        rd::Shader* shader = gl.device->CompileShader(pixel, text.str(), name, &log);
        EXPECT_NE(shader, nullptr) << name << ": " << log;
        EXPECT_EQ(log, "") << name;
        gl.device->Release(shader);
        ++files;
    }
    EXPECT_EQ(files, 18);  // 16 for the scene and the UI, 2 for text

    GraphicsLogCapture capture;
    const std::pair<const char*, const char*> programs[] = {
        {"skybox-vs", "skybox-ps"},         {"particle-vs", "particle-ps"},     {"debug-vs", "debug-ps"},
        {"static-vert-vs", "lit-vert-ps"},  {"skinned-vert-vs", "lit-vert-ps"}, {"static-vert-vs", "static-vert-ps"},
        {"post-process-vs", "post-process-ps"}, {"static-vert-vs", "edge-ps"},  {"skinned-vert-vs", "edge-ps"},
        {"ui-effect-vs", "ui-effect-ps"},   {"ui-effect-vs", "ui-effect-solid-ps"}, {"text-vs", "text-ps"}};
    for (const auto& [vs, ps] : programs) {
        ShaderProgram program(vs, ps);
        EXPECT_TRUE(program.IsValid()) << vs << " + " << ps;
    }
    EXPECT_EQ(capture.Text(), "");
}

TEST(ShaderFiles, TheGraphicsSystemStartsOnTheShippedSources) {
    GlWorld gl;
    ASSERT_NE(gl.device, nullptr);
    MeshManager meshes;
    TextureManager textures;
    MatrixManager matrices;
    matrices.SetScreenSize({64, 64, nullptr, true});
    Graphics graphics;
    GraphicsLogCapture capture;
    graphics.Initialize();
    for (int i = 0; i < Graphics::kProgramCount; ++i) {
        EXPECT_TRUE(graphics.GetProgram(Graphics::ProgramIndex(i))->IsValid()) << i;
    }
    // The lit programs declare sixteen light slots and the bone array.
    rd::Program* skinned = graphics.GetProgram(Graphics::kSkinnedLitProgram)->GetDeviceProgram();
    EXPECT_TRUE(skinned->Find("lights[15].pos").Valid());
    EXPECT_EQ(skinned->OutputMask(), 3u);
    graphics.Update(0.016f);
    graphics.Shutdown();
    // The debug font "Arial" is an installed face; nothing else is logged.
    EXPECT_EQ(capture.Text(), "Graphics ready: 9 of 9 shader programs, 5 render targets of 64 x 64\n");
}

TEST(ShaderFiles, EmptyLightSlotsAddNothingAndALightBrightens) {
    GlWorld gl;
    ASSERT_NE(gl.device, nullptr);
    std::lock_guard lock(gl.renderDevice);
    ShaderProgram lit("static-vert-vs", "lit-vert-ps");
    ASSERT_TRUE(lit.IsValid());
    LightManager lights;
    lights.Initialize();

    const rd::VertexElement elements[] = {{0, rd::DeclType::Float3, rd::DeclUsage::Position},
                                          {12, rd::DeclType::Float3, rd::DeclUsage::Normal},
                                          {24, rd::DeclType::Float2, rd::DeclUsage::TexCoord},
                                          {32, rd::DeclType::Color, rd::DeclUsage::Color}};
    rd::VertexLayout* layout = gl.device->CreateVertexLayout(elements);
    Mesh plane;  // the unit plane facing -z, stretched over the screen
    BuildGridPlaneMesh(&plane, 1, 1);
    const u8 white[4] = {255, 255, 255, 255};
    rd::Texture* texture = gl.device->CreateTexture(1, 1, rd::Format::A8R8G8B8, white, false);

    auto draw = [&]() -> int {
        gl.device->SetRenderTarget(0, gl.device->BackBuffer());
        gl.device->Clear(rd::kClearTarget | rd::kClearZBuffer, 0xFF000000, 1.0f);
        lit.Use(ShaderProgram::kUseVertex | ShaderProgram::kUsePixel);
        const Matrix4 identity = Matrix4::Identity();
        const Matrix4 world = ScalingMatrix(2, 2, 1);
        const Vec2 ones(1, 1);
        const Vec4 tint(1, 1, 1, 1);
        lit.SetMatrix(InternName("ProjMat"), &identity);
        lit.SetMatrix(InternName("CamMat"), &identity);
        lit.SetMatrix(InternName("WorldMat"), &world);
        lit.SetVec2(InternName("tex_tiles"), &ones);
        lit.SetVec2(InternName("tile_percentage"), &ones);
        lit.SetVec4(InternName("AdditiveColor"), &tint);
        lit.SetRawTexture(InternName("diffuse_sampler"), texture);
        lit.ClearTexture(InternName("mapping_sampler"));
        lights.UploadLights(&lit);
        gl.device->SetVertexLayout(layout);
        gl.device->SetStreamSource(plane.GetVertexBuffer(), plane.GetStride());
        gl.device->SetIndices(plane.GetIndexBuffer());
        gl.device->DrawIndexed(rd::Prim(plane.GetPrimitiveType()), plane.GetVertexCount(), plane.GetPrimitiveCount());
        std::vector<u8> pixels;
        if (!gl.device->ReadPixels(gl.device->BackBuffer(), pixels)) return -1;
        return pixels[(32 * 64 + 32) * 4];
    };
    // Sixteen empty slots: the ambient term alone (0.35 of white).
    EXPECT_NEAR(draw(), 89, 2);
    // A white light just in front of the plane, attenuation 1: full white.
    Transforms transforms;
    TestLight lamp(Vec3(1, 1, 1), Vec3(1, 0, 0));
    lights.AddLight(1, transforms.At(0, 0, -1), lamp.get(), false);
    EXPECT_NEAR(draw(), 255, 2);
    lights.Shutdown();
    gl.device->Release(texture);
    gl.device->Release(layout);
}

}  // namespace
}  // namespace Ostrel

namespace Ostrel {
namespace {

// Sources that crash or exhaust a driver's compiler never reach it: the
// device refuses them and names the file; a modest chain still compiles.
TEST(ShaderFiles, TheRealDeviceRefusesExplodingMacrosAndHugeUniformArrays) {
    GlWorld gl;
    ASSERT_NE(gl.device, nullptr);
    std::lock_guard lock(gl.renderDevice);
    std::string chain = "#define A0(v) v\n";
    for (int i = 1; i <= 39; ++i) {
        chain += "#define A" + std::to_string(i) + "(v) A" + std::to_string(i - 1) + "(v) A" +
                 std::to_string(i - 1) + "(v)\n";
    }
    const std::string body = "out vec4 out_color0;\nvoid main() { out_color0 = vec4(A6(0.1)); }\n";
    const struct {
        std::string source;
        const char* expected;
    } cases[] = {
        {chain + body, "bomb.psh: a macro expands to more than 1048576 bytes"},
        {"struct S { vec4 a[4]; };\nuniform S s[100000000];\n" + body, "bomb.psh: uniforms declare more than"},
    };
    for (const auto& c : cases) {
        std::string log;
        EXPECT_EQ(gl.device->CompileShader(true, c.source, "bomb.psh", &log), nullptr);
        EXPECT_EQ(log.rfind(c.expected, 0), 0u) << log;
    }
    std::string shortChain = "#define A0(v) v\n";
    for (int i = 1; i <= 6; ++i) {
        shortChain += "#define A" + std::to_string(i) + "(v) A" + std::to_string(i - 1) + "(v)+A" +
                      std::to_string(i - 1) + "(v)\n";
    }
    std::string log;
    rd::Shader* fine = gl.device->CompileShader(true, shortChain + body, "fine.psh", &log);
    EXPECT_NE(fine, nullptr) << log;
    gl.device->Release(fine);
}

}  // namespace
}  // namespace Ostrel
