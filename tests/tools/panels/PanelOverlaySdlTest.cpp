// The panels on a real window and GL device (offscreen drivers): a bar drawn
// over a lit scene into the back buffer, and driven by the SDL events an
// input script pushes, through the window system, Input and the overlay's
// hooks, the way the editor runs them.

#include "tools/panels/PanelApi.h"
#include "tools/panels/PanelOverlay.h"

#include "engine/components/MeshComponent.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/graphics/text/FontRegistry.h"
#include "engine/graphics/Graphics.h"
#include "engine/graphics/LightManager.h"
#include "engine/graphics/MatrixManager.h"
#include "engine/graphics/models/MeshBuilders.h"
#include "engine/graphics/models/MeshManager.h"
#include "engine/graphics/models/MeshManagerLookup.h"
#include "engine/graphics/RenderDevice.h"
#include "engine/graphics/textures/Texture.h"
#include "engine/graphics/textures/TextureManager.h"
#include "engine/platform/Input.h"
#include "engine/platform/WindowSystem.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"
#include "tests/engine/components/ComponentWorld.h"
#include "tests/engine/graphics/text/FontTestSupport.h"
#include "tests/engine/graphics/textures/ImageFiles.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <future>

namespace Ostrel {
namespace {

constexpr u32 kWidth = 320;
constexpr u32 kHeight = 240;

const char kArchetypes[] = R"(
<camera-obj><TransformComponent/><MessageComponent/><CameraComponent/></camera-obj>
<mesh-obj><TransformComponent/><MessageComponent/><MeshComponent/></mesh-obj>
<light-obj>
    <TransformComponent/>
    <LightComponent>
        <Color_R>1</Color_R><Color_G>1</Color_G><Color_B>1</Color_B>
        <Attenuation_X>1</Attenuation_X><Attenuation_Y>0</Attenuation_Y><Attenuation_Z>0</Attenuation_Z>
    </LightComponent>
</light-obj>
)";

std::unique_ptr<Texture> Plain(u8 r, u8 g, u8 b) {
    std::vector<u8> rgba;
    for (int i = 0; i < 16; ++i) rgba.insert(rgba.end(), {r, g, b, 255});
    const std::string file = Testing::MakeTga32(4, 4, rgba);
    auto texture = std::make_unique<Texture>();
    texture->CreateFromBytes("plain.tga", Testing::Bytes(file), file.size());
    return texture;
}

struct Clicked {
    int presses = 0;
    int pressesUnderLock = 0;
    RenderDevice* device = nullptr;
};

// Whether another thread could take the render device's lock now, i.e.
// whether this thread holds it.
void PressButton(void* c) {
    auto* clicked = static_cast<Clicked*>(c);
    ++clicked->presses;
    const bool free = std::async(std::launch::async, [device = clicked->device] {
                          if (!device->try_lock()) return false;
                          device->unlock();
                          return true;
                      }).get();
    if (!free) ++clicked->pressesUnderLock;
}

struct Named {
    std::string value = "start";
    std::vector<std::string> sets;
};
void SetName(const void* v, void* n) {
    auto* named = static_cast<Named*>(n);
    named->value = *static_cast<const std::string*>(v);
    named->sets.push_back(named->value);
}
void GetName(void* v, void* n) {
    TwCopyStdStringToLibrary(*static_cast<std::string*>(v), static_cast<Named*>(n)->value);
}

struct Wheel {
    std::vector<int> notches;
    void OnMouseWheel(int delta) { notches.push_back(delta); }
};

struct Keys {
    std::vector<int> pressed;
    void OnKeyTriggered(int code, bool down) {
        if (down) pressed.push_back(code);
    }
};

class PanelOverlayOnScreen : public ::testing::Test, protected ComponentTest::ComponentWorld {
protected:
    PanelOverlayOnScreen() : ComponentWorld(kArchetypes) {}

    void SetUp() override {
        if (!std::getenv("SDL_VIDEODRIVER")) setenv("SDL_VIDEODRIVER", "offscreen", 1);
        FontRegistry::Instance().Clear();
        FontRegistry::Instance().Register(FontTest::ShippedFontBytes(), "DejaVuSans.ttf");
        RegisterResourceKinds(resources, std::string(LV_SOURCE_DIR) + "/rsc");
        window.SetToolMode(true);
        window.LoadUserSettings(nullptr);
        window.Create();
        window.Initialize();
        input.Initialize();
        engine.AddSystem(&graphics);
        device.SetWindowParameters({kWidth, kHeight, nullptr, true});
        if (!device.Create()) GTEST_SKIP() << "no GL device";
        matrices.SetScreenSize({kWidth, kHeight, nullptr, true});
        lights.Initialize();
        graphics.Create();
        graphics.Initialize();
        core.Listen("KeyTriggered", MakeDelegate(&keys, &Keys::OnKeyTriggered));
        core.Listen("MouseWheel", MakeDelegate(&wheel, &Wheel::OnMouseWheel));
        BuildScene();
        overlay = std::make_unique<PanelOverlay>(model, window, graphics, device);
    }
    void TearDown() override {
        overlay.reset();
        graphics.Shutdown();
        lights.Shutdown();
        input.Shutdown();
        window.Shutdown();
        FontRegistry::Instance().Clear();
    }

    void BuildScene() {
        orange = Plain(200, 100, 50);
        blue = Plain(50, 100, 200);
        Composition* light = Create("light-obj");
        light->GetTransform()->SetPosition(Vec3(0, 0, -3));
        objects.Update(0.0f);
        Composition* camera = Create("camera-obj");
        graphics.OnCameraChange(camera->GetId());
        matrices.OnCameraPosUpdate(0, 0, -3);
        matrices.OnCameraLookAtUpdate(0, 0, 0);
        matrices.OnCameraUpUpdate(0, 1, 0);
        matrices.OnGraphicsUpdate(0.0f);
        graphics.RenderListForTests(Graphics::RenderList::Draw).clear();
        BuildCubeMesh(meshes.Create("box"), 1, 1);
        struct Placed {
            Vec3 at, scale;
            Texture* texture;
        } boxes[] = {{Vec3(0, 0, 0), Vec3(1, 1, 1), orange.get()},
                     {Vec3(-1.2f, 0.6f, 0), Vec3(0.4f, 0.4f, 0.4f), orange.get()},
                     {Vec3(0, 0, 6), Vec3(60, 60, 1), blue.get()}};
        for (const Placed& p : boxes) {
            Composition* box = Create("mesh-obj");
            box->GetComponentAs<MeshComponent>()->SetMesh("box");
            box->GetComponentAs<MeshComponent>()->SetTexture(p.texture);
            box->GetTransform()->SetPosition(p.at);
            box->GetTransform()->SetScale(p.scale);
            graphics.RenderListForTests(Graphics::RenderList::Draw).push_back(box->GetId());
        }
    }

    // One engine frame of the systems that matter here, in the tools' order.
    void Frame() {
        window.Update(1.0f / 60.0f);
        input.Update(1.0f / 60.0f);
        graphics.Update(0.0f);
    }
    std::vector<u8> FramePixels(bool panels) {
        if (panels) {
            graphics.SetOverlayHook([this](rd::Device& live) { overlay->Renderer().Draw(live); });
        } else {
            graphics.SetOverlayHook(nullptr);
        }
        Frame();
        std::vector<u8> pixels;
        rd::Device* live = device.GetDevice();
        EXPECT_TRUE(live->ReadPixels(live->BackBuffer(), pixels));
        return pixels;
    }

    ResourceManager resources;
    RenderDevice device;
    MeshManager meshes;
    MeshManagerLookup meshLookup{meshes};
    TextureManager textures;
    MatrixManager matrices;
    LightManager lights;
    Graphics graphics;
    WindowSystem window{"Tavrin"};
    Input input;
    std::unique_ptr<Texture> orange;
    std::unique_ptr<Texture> blue;
    Keys keys;
    Wheel wheel;
    PanelModel model;
    std::unique_ptr<PanelOverlay> overlay;
};

const u8* At(const std::vector<u8>& pixels, u32 x, u32 y) {
    return &pixels[(std::size_t(y) * kWidth + x) * 4];
}

TEST_F(PanelOverlayOnScreen, BarDrawsInItsRectangleAndLeavesTheSceneAlone) {
    TwBar* bar = TwNewBar("Probe");
    const s32 size[2] = {160, 140}, position[2] = {20, 20};
    TwSetParam(bar, nullptr, "size", PanelParamType::Int32, 2, size);
    TwSetParam(bar, nullptr, "position", PanelParamType::Int32, 2, position);
    ASSERT_TRUE(TwDefine("'Probe' color='250 50 50' text=light "));
    bool flag = false;
    float speed = 1;
    Named name;
    Clicked clicked{0, 0, &device};
    TwAddVarRW(bar, "Flag", PanelType::BoolCpp, &flag);
    TwAddVarRW(bar, "Speed", PanelType::Float, &speed);
    TwAddVarCB(bar, "Name", PanelType::StdString, SetName, GetName, &name);
    TwAddButton(bar, "Go", PressButton, &clicked, "label='Go' group=''");

    const std::vector<u8> scene = FramePixels(false);
    const std::vector<u8> withPanels = FramePixels(true);
    const std::vector<u8> after = FramePixels(false);
    ASSERT_EQ(scene.size(), std::size_t(kWidth) * kHeight * 4);
    ASSERT_EQ(withPanels.size(), scene.size());
    // The scene is not one colour, so "unchanged" means something.
    EXPECT_NE(std::memcmp(At(scene, 2, 2), At(scene, kWidth / 2, kHeight / 2), 3), 0);

    // The bar's colour in its body (left padding, below the last widget).
    for (u32 y : {60u, 150u, 156u}) {
        const u8* p = At(withPanels, 23, y);
        EXPECT_NEAR(p[0], 250, 3) << "y " << y;
        EXPECT_NEAR(p[1], 50, 3) << "y " << y;
        EXPECT_NEAR(p[2], 50, 3) << "y " << y;
    }
    // Outside the rectangle: the scene's pixels exactly; and the next frame
    // without panels is the scene again.
    int differentOutside = 0;
    for (u32 y = 0; y < kHeight; ++y) {
        for (u32 x = 0; x < kWidth; ++x) {
            const bool inside = x >= 20 && x < 180 && y >= 20 && y < 160;
            if (!inside && std::memcmp(At(scene, x, y), At(withPanels, x, y), 4) != 0) ++differentOutside;
        }
    }
    EXPECT_EQ(differentOutside, 0);
    EXPECT_EQ(after, scene);
}

TEST_F(PanelOverlayOnScreen, ScriptedClicksAndTypingReachTheBarAndNoGameKey) {
    TwBar* bar = TwNewBar("Probe");
    const s32 size[2] = {220, 160}, position[2] = {20, 20};
    TwSetParam(bar, nullptr, "size", PanelParamType::Int32, 2, size);
    TwSetParam(bar, nullptr, "position", PanelParamType::Int32, 2, position);
    bool flag = false;
    float speed = 1;
    Named name;
    Clicked clicked{0, 0, &device};
    TwAddVarRW(bar, "Flag", PanelType::BoolCpp, &flag);
    TwAddVarRW(bar, "Speed", PanelType::Float, &speed);
    TwAddVarCB(bar, "Name", PanelType::StdString, SetName, GetName, &name);
    TwAddButton(bar, "Go", PressButton, &clicked, "label='Go' group=''");
    Frame();
    Frame();
    const PanelRenderer& panels = overlay->Renderer();
    const auto box = panels.ItemRect("Probe", "", "Flag");
    const auto text = panels.ItemRect("Probe", "", "Name");
    const auto go = panels.ItemRect("Probe", "", "Go");
    ASSERT_TRUE(box && text && go);

    auto at = [](const PanelRect& r, float dx) {
        return std::to_string(int(r.x + dx)) + " " + std::to_string(int(r.CentreY()));
    };
    const long f = window.GetFrame();
    auto line = [f](long frame, const std::string& rest) { return std::to_string(f + frame) + " " + rest + "\n"; };
    const std::string script =
        line(1, "mouse move " + at(*box, 6) + " 0 0") + line(2, "mouse left down") + line(3, "mouse left up") +
        line(5, "mouse move " + at(*text, 30) + " 0 0") + line(6, "mouse left down") + line(7, "mouse left up") +
        line(9, "key 35 down") + line(10, "key 35 up") + line(11, "text abc") + line(13, "key 13 down") +
        line(14, "key 13 up") + line(16, "mouse move " + at(*go, 8) + " 0 0") + line(17, "mouse left down") +
        line(18, "mouse left up") + line(19, "mouse wheel 1") + line(20, "mouse move 300 220 0 0") +
        line(22, "mouse left down") + line(23, "mouse left up") + line(24, "mouse wheel -1");
    window.UseInputScript(ComponentTest::WriteScratchFile("panel-script.txt", script));
    for (int i = 0; i < 12; ++i) Frame();
    EXPECT_TRUE(flag);
    EXPECT_EQ(name.value, "start");  // typed, not yet committed
    for (int i = 0; i < 14; ++i) Frame();
    EXPECT_EQ(name.sets, std::vector<std::string>{"startabc"});
    EXPECT_EQ(clicked.presses, 1);
    EXPECT_EQ(clicked.pressesUnderLock, 0);
    // Every click on the bar and Enter in the field stayed with the panels;
    // the one click beside the bar reached the game.
    EXPECT_EQ(std::count(keys.pressed.begin(), keys.pressed.end(), 1), 1);
    EXPECT_EQ(std::count(keys.pressed.begin(), keys.pressed.end(), 13), 0);
    // So did the wheel: the notch over the bar zooms no camera.
    EXPECT_EQ(wheel.notches, std::vector<int>{-120});
}

}  // namespace
}  // namespace Ostrel
