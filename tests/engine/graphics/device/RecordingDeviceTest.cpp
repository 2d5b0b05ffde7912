#include "engine/graphics/device/GlslText.h"
#include "engine/graphics/device/RecordingDevice.h"

#include <gtest/gtest.h>

#include <thread>

namespace Ostrel::rd {
namespace {

const char* kLitVertex = R"(
uniform mat4 ProjMat;
uniform mat4 CamMat;   // view
uniform mat4 WorldMat;
uniform mat4 BoneMat[64];
layout(location = 0) in vec3 a_position;
void main() { gl_Position = ProjMat * CamMat * WorldMat * vec4(a_position, 1.0); }
)";

const char* kLitPixel = R"(
struct Light { vec4 color; vec3 attenuation; vec4 pos; };
uniform Light lights[16];
uniform sampler2D diffuse_sampler, mapping_sampler;
uniform sampler2D extra_sampler;
uniform vec4 AdditiveColor;
/* uniform float commented_out; */
out vec4 out_color0;
out vec4 out_color1;
void main() { out_color0 = AdditiveColor; out_color1 = vec4(1.0); }
)";

TEST(GlslText, ReflectsUniformsStructArraysSamplerUnitsAndOutputs) {
    const auto uniforms = ScanGlslUniforms(kLitPixel);
    ASSERT_TRUE(uniforms.count("lights[3].color"));
    EXPECT_EQ(uniforms.at("lights[15].attenuation").type, UniformType::Vec3);
    EXPECT_FALSE(uniforms.count("commented_out"));
    EXPECT_EQ(uniforms.at("diffuse_sampler").unit, 0);
    EXPECT_EQ(uniforms.at("mapping_sampler").unit, 1);
    EXPECT_EQ(uniforms.at("extra_sampler").unit, 2);  // the next free unit
    EXPECT_EQ(ScanGlslOutputs(kLitPixel), 3u);
    EXPECT_EQ(ScanGlslUniforms(kLitVertex).at("BoneMat").arraySize, 64);

    // Preparation: a version line first, and the vertex main wrapped for the
    // clip-depth conversion; an existing version line is kept.
    const std::string vs = PrepareGlslSource(false, kLitVertex);
    EXPECT_EQ(vs.rfind("#version 330 core\n", 0), 0u);
    EXPECT_NE(vs.find("gl_Position.z = 2.0 * gl_Position.z - gl_Position.w"), std::string::npos);
    const std::string ps = PrepareGlslSource(true, "#version 330 core\nout vec4 out_color0;\nvoid main(){}\n");
    EXPECT_EQ(ps.find("#version"), ps.rfind("#version"));
    EXPECT_EQ(ps.find("lv_main_"), std::string::npos);
}

TEST(RecordingDevice, TracesAFrameWithBoundStateAndUniforms) {
    RecordingDevice device({800, 600, true, nullptr});
    std::string log;
    Shader* vs = device.CompileShader(false, kLitVertex, "lit-vs", &log);
    Shader* ps = device.CompileShader(true, kLitPixel, "lit-ps", &log);
    Program* program = device.LinkProgram(vs, ps, &log);
    ASSERT_NE(program, nullptr);
    program->SetName("lit");
    EXPECT_EQ(program->OutputMask(), 3u);
    Texture* depth = device.CreateRenderTarget(800, 600, Format::R32F);
    depth->SetName("impDepth");
    Buffer* vb = device.CreateVertexBuffer(36 * 4, true);
    Buffer* ib = device.CreateIndexBuffer16(12, true);

    device.SetRenderState(RS::CullMode, Cull::CounterClockwise);
    device.SetRenderTarget(1, depth);
    device.Clear(kClearTarget | kClearZBuffer, 0xFF102030, 1.0f);
    device.BeginScene();
    device.SetProgram(program);
    float world[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 6, 7, 1};
    device.SetMatrices(program, device.FindUniform(program, "WorldMat"), world, 1);
    device.SetMatrices(program, device.FindUniform(program, "NoSuchName"), world, 1);  // ignored
    device.SetStreamSource(vb, 36);
    device.SetIndices(ib);
    device.DrawIndexed(Prim::TriangleList, 4, 2);
    device.EndScene();
    device.Present();

    const std::vector<std::string> expected = {
        "SetRenderState CullMode 3", "SetRenderTarget 1 impDepth", "Clear 3 0xFF102030 1", "BeginScene",
        "SetProgram lit",            "SetUniform lit WorldMat 1 0 0 0 ... (16)",
        "SetStreamSource vb" + std::to_string(vb->Id()) + " 36", "SetIndices ib" + std::to_string(ib->Id()),
        "DrawIndexed 4 4 2",          "EndScene",
        "Present"};
    EXPECT_EQ(device.GetTrace().Lines(), expected);
    const TraceEntry& draw = device.GetTrace().Entries()[8];
    EXPECT_EQ(draw.targets[0], "backbuffer");
    EXPECT_EQ(draw.targets[1], "impDepth");
    EXPECT_EQ(draw.program, "lit");
    EXPECT_EQ(draw.uniformsSinceDraw, std::vector<std::string>{"WorldMat"});
    EXPECT_EQ(device.UniformValues(program, "WorldMat")[12], 5.0f);
    EXPECT_EQ(device.BackBufferColour(), 0xFF102030u);
    EXPECT_EQ(IndexCount(Prim::TriangleStrip, 2), 4u);
    EXPECT_EQ(IndexCount(Prim::LineStrip, 3), 4u);
    EXPECT_EQ(IndexCount(Prim::LineList, 3), 6u);

    // Releasing a bound target unbinds it; every object goes back.
    device.Release(depth);
    EXPECT_EQ(device.GetRenderTarget(1), nullptr);
    for (Resource* r : std::initializer_list<Resource*>{vb, ib, program, vs, ps}) device.Release(r);
    EXPECT_EQ(device.LiveObjects(), 0u);
}

TEST(RecordingDevice, SimulatesFailuresLostDeviceAndBadShaders) {
    int made = 0;
    auto factory = RecordingDevice::MakeFactory(1, [&](RecordingDevice&) { ++made; });
    std::string error;
    EXPECT_EQ(factory({640, 480, true, nullptr}, &error), nullptr);
    EXPECT_EQ(error, "simulated failure 1");
    auto device = factory({640, 480, true, nullptr}, &error);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(made, 1);
    auto& recording = static_cast<RecordingDevice&>(*device);

    recording.ScriptCooperativeLevels({CoopLevel::DeviceLost, CoopLevel::DeviceNotReset});
    EXPECT_EQ(recording.TestCooperativeLevel(), CoopLevel::DeviceLost);
    EXPECT_EQ(recording.TestCooperativeLevel(), CoopLevel::DeviceNotReset);
    EXPECT_EQ(recording.TestCooperativeLevel(), CoopLevel::Ok);

    recording.FailRenderTargets(1);
    EXPECT_EQ(recording.CreateRenderTarget(640, 480, Format::X8R8G8B8), nullptr);
    EXPECT_NE(recording.CreateRenderTarget(640, 480, Format::X8R8G8B8), nullptr);
    EXPECT_FALSE(recording.Reset({0, 480, true, nullptr}));
    EXPECT_EQ(recording.BackBuffer()->Width(), 640u);
    EXPECT_TRUE(recording.Reset({1280, 720, true, nullptr}));
    EXPECT_EQ(recording.BackBuffer()->Width(), 1280u);

    std::string log;
    EXPECT_EQ(recording.CompileShader(true, "#error broken\nvoid main(){}", "bad-ps", &log), nullptr);
    EXPECT_NE(log.find("bad-ps"), std::string::npos);
}

TEST(RecordingDevice, CreatesObjectsFromAnotherThread) {
    RecordingDevice device({64, 64, true, nullptr});
    std::vector<Texture*> made(50);
    std::thread loader([&] {
        for (auto& texture : made) texture = device.CreateTexture(2, 2, Format::A8R8G8B8, nullptr, false);
    });
    for (int i = 0; i < 50; ++i) device.CreateVertexBuffer(16, false);
    loader.join();
    EXPECT_EQ(device.LiveObjects(), 100u);
}

}  // namespace
}  // namespace Ostrel::rd
