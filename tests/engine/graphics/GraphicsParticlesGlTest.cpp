// Particles through the whole frame on the real GL device (offscreen): one
// half-transparent white particle in front of a lit blue wall, drawn with
// "Normal" and with "Glowy", directly into the back buffer and through the
// off-screen screen target. Neither target has alpha, so the glow's
// destination-alpha blend reads 1 and adds the particle to the wall.

#include "engine/graphics/particles/ParticleEmitterComponent.h"
#include "engine/graphics/textures/Texture.h"

#include "tests/engine/graphics/FrameTestSupport.h"
#include "tests/engine/graphics/textures/ImageFiles.h"

#include <gtest/gtest.h>

namespace Ostrel {
namespace {

using namespace Ostrel::Testing;

// The red of the centre pixel after one frame, or -1 without GL.
int CentreRed(bool postProcess, const std::string& blend) {
    FrameWorld w(postProcess, true);
    rd::Device* device = w.device.GetDevice();
    if (!device) return -1;
    BuildSpriteMesh(w.meshes.Create("Sprite"));
    const std::string white = MakeTga32(1, 1, {255, 255, 255, 255});
    w.textures.Create("white")->CreateFromBytes("white.tga", Bytes(white), white.size());
    std::vector<u8> blue;
    for (int i = 0; i < 16; ++i) blue.insert(blue.end(), {50, 100, 200, 255});
    const std::string blueFile = MakeTga32(4, 4, blue);
    Texture* wallTexture = w.textures.Create("blue");
    wallTexture->CreateFromBytes("blue.tga", Bytes(blueFile), blueFile.size());

    w.Make("light-obj", nullptr, Vec3(0, 0, -3));
    w.objects.Update(0.0f);  // the light manager files the light
    w.UseCameraAt(0, 0, -3);
    Composition* wall = w.Make("mesh-obj", "box", Vec3(0, 0, 6));
    wall->GetTransform()->SetScale(Vec3(60, 60, 1));
    w.MeshOf(wall)->SetTexture(wallTexture);
    w.File(List::Draw, wall);

    Composition* object = w.Make("mesh-obj");
    auto* e = static_cast<ParticleEmitterComponent*>(w.factory.CreateComponent(ParticleEmitterComponent::kTypeId));
    ParticleEmitterComponent::Parameters& p = e->EditParameters();
    p.maximumParticles = 1;
    p.particleLifeTime = 10.0f;
    p.textureSheet = "white";
    p.textureWidth = p.textureHeight = 64.0f;
    p.minScale = p.maxScale = 3.0f;
    p.opaqueStart = 0.5f;
    e->SetBlendMode(blend);
    object->AddComponent(e);
    e->Initialize();
    e->SetRunning(true);
    e->OnGraphicsUpdate(0.1f);
    w.File(List::Emitter, object);

    w.graphics.Update(0.0f);
    std::vector<u8> pixels;
    if (!device->ReadPixels(device->BackBuffer(), pixels)) return -1;
    return pixels[(std::size_t(48 / 2) * 64 + 64 / 2) * 4];
}

TEST(GraphicsParticlesGl, GlowyIsBrighterThanNormalOnTheSameBackground) {
    for (bool postProcess : {false, true}) {
        const int normal = CentreRed(postProcess, "Normal");
        if (normal < 0) GTEST_SKIP() << "no GL device";
        const int glowy = CentreRed(postProcess, "Glowy");
        // Wall red 50: normal 0.5 * 255 + 0.5 * 50, glow 0.5 * 255 + 50.
        EXPECT_NEAR(normal, 153, 3) << "post-process " << postProcess;
        EXPECT_NEAR(glowy, 178, 3) << "post-process " << postProcess;
    }
}

}  // namespace
}  // namespace Ostrel
