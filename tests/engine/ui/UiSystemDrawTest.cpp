// The UI system's drawing on the recording device: the render states, the
// quad geometry, and every draw with its program given its own matrix and
// colour (GL uniforms belong to one program).

#include "engine/graphics/device/RecordingDevice.h"
#include "engine/ui/UiImage.h"
#include "engine/ui/UiScene.h"
#include "engine/ui/UiSceneManager.h"
#include "engine/ui/UiSolid.h"
#include "engine/ui/UiSystem.h"

#include "tests/engine/graphics/GraphicsTestSupport.h"
#include "tests/engine/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace Ostrel {
namespace {

std::string ShaderText(const std::string& name) {
    std::ifstream in(std::string(LV_SOURCE_DIR) + "/rsc/shaders/" + name + ".psh");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(UiSystemDraw, EveryQuadGetsItsMatrixAndColourOnTheProgramThatDrawsIt) {
    Testing::ScratchResources files("ui-draw", {{"ui-effect-vs.psh", ShaderText("ui-effect-vs")},
                                                {"ui-effect-ps.psh", ShaderText("ui-effect-ps")},
                                                {"ui-effect-solid-ps.psh", ShaderText("ui-effect-solid-ps")}});
    Testing::RecordingRenderDevice render;
    Testing::UiWorld world;
    UiSceneManager scenes;
    UiScene* menu = scenes.CreateTemplate("menu");
    menu->SetColor(Vec4(0, 0, 1, 0.5f));
    auto solid = std::make_unique<UiSolid>();
    solid->SetColor(Vec4(1, 0, 0, 1));
    menu->AddElement(std::move(solid));
    auto image = std::make_unique<UiImage>();
    image->SetTexture("img-64x32");
    image->SetColor(Vec4(0.25f, 0.5f, 0.75f, 1));
    image->SetX(360);
    menu->AddElement(std::move(image));

    UiSystem ui;
    world.engine.AddSystem(&ui);
    ui.Initialize();
    ASSERT_TRUE(ui.HasDeviceObjects());
    EXPECT_FLOAT_EQ(ui.GetScreenWidth(), 64.0f) << "the back buffer's size";
    rd::RecordingDevice& device = *render.recording;
    device.GetTrace().Clear();
    world.core.Send("SceneDrawing");
    EXPECT_EQ(device.GetTrace().Count("DrawIndexed"), 0u) << "an empty stack draws nothing";

    std::string name = "menu";
    world.core.SendMessageValues("UiChangeScene", &name, UiSceneChangeMethod::Push);
    ui.Update(0.016f);
    device.GetTrace().Clear();
    world.core.Send("SceneDrawing");
    EXPECT_EQ(device.GetRenderState(rd::RS::ZEnable), 0u);
    EXPECT_EQ(device.GetRenderState(rd::RS::AlphaBlendEnable), 1u);
    EXPECT_EQ(device.GetRenderState(rd::RS::SrcBlend), rd::Blend::SrcAlpha);
    EXPECT_EQ(device.GetRenderState(rd::RS::DestBlend), rd::Blend::InvSrcAlpha);

    std::vector<const rd::TraceEntry*> draws;
    for (const rd::TraceEntry& e : device.GetTrace().Entries())
        if (e.op == "DrawIndexed") draws.push_back(&e);
    ASSERT_EQ(draws.size(), 3u) << "background, solid, image";
    for (const rd::TraceEntry* d : draws) {
        EXPECT_EQ(d->args, "4 4 2");
        const auto& set = d->uniformsSinceDraw;
        EXPECT_NE(std::find(set.begin(), set.end(), "u_mvp"), set.end()) << d->program;
        EXPECT_NE(std::find(set.begin(), set.end(), "u_color"), set.end()) << d->program;
    }
    EXPECT_EQ(draws[0]->program, draws[1]->program) << "background and solid share the solid program";
    EXPECT_NE(draws[1]->program, draws[2]->program) << "the image draws with the textured program";

    // The last draw's program holds the image's colour and world x projection.
    const rd::Program* textured = device.GetProgram();
    EXPECT_EQ(device.UniformValues(textured, "u_color"), (std::vector<float>{0.25f, 0.5f, 0.75f, 1}));
    const std::vector<float> mvp = device.UniformValues(textured, "u_mvp");
    ASSERT_EQ(mvp.size(), 16u);
    // A square screen is narrower than 4:3: 960 units across, 960 high.
    EXPECT_FLOAT_EQ(mvp[0], 64.0f / 960.0f * 2.0f) << "64 units wide, aspect 1";
    EXPECT_FLOAT_EQ(mvp[5], 32.0f / 960.0f * 2.0f);
    EXPECT_FLOAT_EQ(mvp[12], 360.0f / 960.0f * 2.0f) << "x 360 is 3/8 of the width right of the centre";
    EXPECT_NE(device.GetTexture(0), nullptr);

    const std::size_t live = device.LiveObjects();
    ui.OnLostDevice();
    EXPECT_FALSE(ui.HasDeviceObjects());
    EXPECT_LT(device.LiveObjects(), live) << "the quad, its layout and both programs are given back";
    device.GetTrace().Clear();
    world.core.Send("SceneDrawing");
    EXPECT_EQ(device.GetTrace().Count("DrawIndexed"), 0u) << "a lost device draws nothing and nothing breaks";
    ui.OnResetDevice();
    EXPECT_TRUE(ui.HasDeviceObjects());
    EXPECT_EQ(device.LiveObjects(), live);
    ui.Shutdown();
}

TEST(UiSystemDraw, TheProjectionIsOneHighAndAspectWide) {
    const Matrix4 p = UiSystem::Projection(1280, 800);
    EXPECT_FLOAT_EQ(p(0, 0), 2.0f / 1.6f);
    EXPECT_FLOAT_EQ(p(1, 1), 2.0f);
    EXPECT_FLOAT_EQ(p(2, 2), 1.0f);
    EXPECT_FLOAT_EQ(p(3, 2), 0.0f);
    EXPECT_FLOAT_EQ(p(3, 3), 1.0f);
}

TEST(UiSystemDraw, ANarrowScreenShowsNineHundredSixtyUnitsAcross) {
    // 700 x 620: 960 units across (x 480 reaches the edge), 850.3 high.
    const Matrix4 p = UiSystem::Projection(700, 620);
    EXPECT_FLOAT_EQ(480.0f / 720.0f * p(0, 0), 1.0f);
    EXPECT_NEAR(360.0f / 720.0f * p(1, 1), 720.0f / (960.0f * 620.0f / 700.0f), 1e-5f);
    // At 4:3 and wider, 720 units high as before.
    EXPECT_FLOAT_EQ(UiSystem::Projection(1024, 768)(1, 1), 2.0f);
}

}  // namespace
}  // namespace Ostrel
