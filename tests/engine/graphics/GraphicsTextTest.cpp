// The graphics system and the font manager on the recording device: a window
// size change rebuilds the cached fonts at the new scale through
// "LostDevice" and "ResetDevice", and a frame draws the queued debug text
// between the scene's begin and end with the text states restored, then
// empties the queue.

#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/graphics/DebugDrawQueue.h"
#include "engine/graphics/text/FontManager.h"
#include "engine/graphics/text/FontRegistry.h"
#include "engine/graphics/Graphics.h"
#include "engine/graphics/RenderDevice.h"
#include "engine/graphics/device/RecordingDevice.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"

#include "tests/engine/graphics/text/FontTestSupport.h"

#include <gtest/gtest.h>

using namespace Ostrel;

namespace {

struct Frame {
    Frame() {
        FontRegistry::Instance().Clear();
        FontRegistry::Instance().Register(FontTest::ShippedFontBytes(), "DejaVuSans.ttf");
        RegisterResourceKinds(resources, std::string(LV_SOURCE_DIR) + "/rsc");
        engine.AddSystem(&core);
        engine.AddSystem(&graphics);
        graphics.Create();
        device.SetFactory(rd::RecordingDevice::MakeFactory(0, [this](rd::RecordingDevice& made) { recording = &made; }));
        device.SetWindowParameters({1280, 720, nullptr, true});
        device.Create();
        DebugDrawQueue::Instance().Clear();
    }
    ~Frame() {
        graphics.Shutdown();
        DebugDrawQueue::Instance().Clear();
        FontRegistry::Instance().Clear();
    }
    ResourceManager resources;
    Engine engine;
    CoreSystem core;
    Graphics graphics;
    RenderDevice device;
    rd::RecordingDevice* recording = nullptr;
};

}  // namespace

TEST(GraphicsText, ResizingRebuildsCachedFontsAtTheNewScale) {
    Frame f;
    FontManager fonts;  // no UI system: the reference height stays 720
    fonts.Initialize();
    EXPECT_EQ(fonts.GetReferenceHeight(), 720.0f);
    EXPECT_EQ(fonts.GetScreenHeight(), 720.0f);
    FontDescription description;
    description.height = 12;
    description.name = "DejaVu Sans";
    FontManager::FontHolder* holder = fonts.GetFont(description);
    fonts.SetFont(holder);
    EXPECT_EQ(holder->GetFont()->GetDesc().height, -16);
    const Vec2 before = fonts.MeasureText("Lantern Vaults", 0);

    f.graphics.OnWindowScreenStateChange(true, 1920, 1080);
    ASSERT_NE(holder->GetFont(), nullptr);
    EXPECT_EQ(holder->GetFont()->GetDesc().height, -24);
    EXPECT_EQ(fonts.GetScreenWidth(), 1920.0f);
    // In virtual units the text keeps about its size.
    EXPECT_NEAR(fonts.MeasureText("Lantern Vaults", 0).x, before.x, before.x * 0.1f);
    fonts.Shutdown();
}

TEST(GraphicsText, AFrameDrawsTheQueuedDebugTextInsideTheSceneAndEmptiesTheQueue) {
    Frame f;
    Graphics::DrawDebugText("16.7 ms", 10.7f, 20.2f, 255, 69, 79, 255);
    f.recording->SetRenderState(rd::RS::SrcBlend, rd::Blend::DestColor);
    f.graphics.Update(0.016f);
    const auto lines = f.recording->GetTrace().Lines({"BeginScene", "DrawIndexed", "EndScene", "Present"});
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines.front(), "BeginScene");
    EXPECT_NE(lines[1].find("DrawIndexed"), std::string::npos);
    EXPECT_EQ(lines[lines.size() - 2], "EndScene");
    EXPECT_TRUE(DebugDrawQueue::Instance().Texts().empty());
    // The states text changed are back as they were.
    EXPECT_EQ(f.recording->GetRenderState(rd::RS::SrcBlend), rd::Blend::DestColor);
    EXPECT_EQ(f.recording->GetRenderState(rd::RS::AlphaBlendEnable), 0u);
    EXPECT_EQ(f.recording->GetRenderState(rd::RS::ZEnable), 1u);

    // Nothing queued, nothing drawn.
    f.recording->GetTrace().Clear();
    f.graphics.Update(0.016f);
    EXPECT_EQ(f.recording->GetTrace().Count("DrawIndexed"), 0u);
}
