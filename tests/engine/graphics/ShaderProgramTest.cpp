#include "engine/graphics/ShaderProgram.h"
#include "engine/graphics/textures/Texture.h"
#include "engine/graphics/textures/TextureManager.h"

#include "tests/engine/graphics/GraphicsTestSupport.h"
#include "tests/engine/graphics/textures/ImageFiles.h"

#include <gtest/gtest.h>

namespace Ostrel {
namespace {

using namespace Ostrel::Testing;

const char* kProbeVs = R"(
layout(location = 0) in vec3 a_position;
uniform mat4 WorldMat;
uniform mat4 BoneMat[4];
uniform vec4 shared_tint;
void main() { gl_Position = BoneMat[1] * WorldMat * vec4(a_position, shared_tint.x); }
)";

const char* kProbePs = R"(
struct Light { vec4 color; vec3 attenuation; vec4 pos; };
uniform Light lights[16];
uniform vec4 shared_tint;
uniform float pixel_only;
uniform sampler2D diffuse_sampler;
out vec4 out_color0;
void main() { out_color0 = texture(diffuse_sampler, vec2(0.0)) * shared_tint * pixel_only + lights[3].color; }
)";

class ShaderPrograms : public testing::Test {
protected:
    ShaderPrograms()
        : m_files("shader-programs", {{"shaders/probe-vs.psh", kProbeVs},
                                      {"shaders/probe-ps.psh", kProbePs},
                                      {"shaders/broken-ps.psh", "#error this does not compile\n"}}) {}
    std::vector<float> Values(const ShaderProgram& program, const std::string& name) {
        return m_device.recording->UniformValues(program.GetDeviceProgram(), name);
    }
    ScratchResources m_files;
    RecordingRenderDevice m_device;
};

TEST_F(ShaderPrograms, LooksParametersUpInTheVertexStageFirstAndCachesTheAnswer) {
    ShaderProgram program("probe");
    ASSERT_TRUE(program.IsValid());
    EXPECT_EQ(program.GetVertexSourceName(), "probe-vs");
    EXPECT_EQ(program.GetPixelSourceName(), "probe-ps");

    const ParamHandle shared = InternName("shared_tint"), pixelOnly = InternName("pixel_only");
    const ParamHandle absent = InternName("x_size");
    EXPECT_EQ(program.FindParameter(shared).table, ShaderProgram::Table::Vertex) << "declared by both stages";
    EXPECT_EQ(program.FindParameter(pixelOnly).table, ShaderProgram::Table::Pixel);
    EXPECT_TRUE(program.FindParameter(pixelOnly).constant.Valid());
    EXPECT_FALSE(program.FindParameter(absent).constant.Valid());
    EXPECT_EQ(program.FindParameter(absent).table, ShaderProgram::Table::Pixel);
    EXPECT_EQ(program.CachedParameterCount(), 3u);

    program.SetFloat(pixelOnly, 0.25f);
    program.SetFloat(absent, 7.0f);  // declared nowhere: nothing happens
    EXPECT_EQ(Values(program, "pixel_only"), std::vector<float>{0.25f});
    EXPECT_TRUE(Values(program, "x_size").empty());

    program.ClearParameterCache();
    EXPECT_EQ(program.CachedParameterCount(), 0u);
    const Vec4 tint(1, 2, 3, 4);
    program.SetVec4(shared, &tint);
    EXPECT_EQ(program.CachedParameterCount(), 1u) << "the cache refills on the next set";
    EXPECT_EQ(Values(program, "shared_tint"), (std::vector<float>{1, 2, 3, 4}));
}

TEST_F(ShaderPrograms, SetsArraysAndStructArrayMembersAndClearsTexturesWithNull) {
    ShaderProgram program("probe");
    Matrix4 bones[2] = {Matrix4::Identity(), Matrix4::Identity()};
    bones[1](3, 0) = 5.0f;
    program.SetMatrixArray(InternName("BoneMat"), bones, 2);
    const std::vector<float> boneValues = Values(program, "BoneMat");
    ASSERT_EQ(boneValues.size(), 32u);
    EXPECT_EQ(boneValues[16 + 12], 5.0f);
    const Vec4 colour(0.5f, 0.25f, 0.125f, 1.0f);
    program.SetVec4(InternName("lights[3].color"), &colour);
    EXPECT_EQ(Values(program, "lights[3].color"), (std::vector<float>{0.5f, 0.25f, 0.125f, 1.0f}));

    TextureManager textures;
    Texture* slot = nullptr;
    textures.CreateFloatTextureFromRows(&slot, {1}, 1.0f, 1.0f, 1, nullptr);
    ASSERT_NE(slot, nullptr);
    const ParamHandle diffuse = InternName("diffuse_sampler");
    program.SetTexture(diffuse, slot);
    ASSERT_NE(m_device.recording->GetTexture(0), nullptr);
    EXPECT_EQ(m_device.recording->GetTexture(0), slot->GetDeviceTexture());
    program.SetTexture(diffuse, nullptr);
    EXPECT_EQ(m_device.recording->GetTexture(0), nullptr) << "a null texture clears the sampler's unit";
}

TEST_F(ShaderPrograms, UseBindsTheWholeProgramForEachStageFlag) {
    ShaderProgram program("probe");
    ShaderProgram other("probe-vs", "probe-ps");
    for (u32 flags : {1u, 2u, 3u}) {
        other.Use(3);
        program.Use(flags);
        EXPECT_EQ(m_device.recording->GetProgram(), program.GetDeviceProgram()) << flags;
    }
}

TEST_F(ShaderPrograms, BrokenOrMissingSourcesLeaveAnInvalidProgramThatDrawsNothing) {
    GraphicsLogCapture log;
    ShaderProgram broken("probe-vs", "broken-ps");
    ShaderProgram missing("nowhere");
    EXPECT_FALSE(broken.IsValid());
    EXPECT_FALSE(missing.IsValid());
    EXPECT_NE(log.Text().find("broken-ps.psh"), std::string::npos) << log.Text();
    EXPECT_NE(log.Text().find("'nowhere-vs'"), std::string::npos) << log.Text();

    ShaderProgram good("probe");
    good.Use(3);
    const Vec4 colour(1, 1, 1, 1);
    broken.SetVec4(InternName("shared_tint"), &colour);  // a no-op, not a crash
    broken.Use(3);
    broken.Use(3);
    EXPECT_EQ(m_device.recording->GetProgram(), nullptr) << "no program bound: draws are skipped";
    const std::string text = log.Text();
    EXPECT_EQ(text.find("not usable"), text.rfind("not usable")) << "logged once";

    // A recompile that fails keeps what worked.
    rd::Program* before = good.GetDeviceProgram();
    WriteGraphicsFile(m_files.root / "shaders/probe-ps.psh", "#error edited badly\n");
    EXPECT_FALSE(good.CompileShader("probe-ps", 2));
    EXPECT_TRUE(good.IsValid());
    EXPECT_EQ(good.GetDeviceProgram(), before);
    WriteGraphicsFile(m_files.root / "shaders/probe-ps.psh", kProbePs);
    EXPECT_TRUE(good.CompileShader("probe-ps", 2));
    EXPECT_NE(good.GetDeviceProgram(), nullptr);
    EXPECT_EQ(good.ReleaseShaders(), 3);
    EXPECT_FALSE(good.IsValid());
}

}  // namespace
}  // namespace Ostrel
