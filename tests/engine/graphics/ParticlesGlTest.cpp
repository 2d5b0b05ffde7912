// Particles on the real GL device (offscreen): the two blend modes over the
// same background on the back buffer, which has no alpha channel, so the
// glow's destination-alpha blend reads 1 and adds.

#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/graphics/Graphics.h"
#include "engine/graphics/LightManager.h"
#include "engine/graphics/MatrixManager.h"
#include "engine/graphics/MeshBuilders.h"
#include "engine/graphics/MeshManager.h"
#include "engine/graphics/ParticleEmitterComponent.h"
#include "engine/graphics/ShaderProgram.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/TextureManager.h"

#include "GraphicsTestSupport.h"
#include "ImageFiles.h"

#include <gtest/gtest.h>

namespace Ostrel {
namespace {

using namespace Ostrel::Testing;

constexpr u32 kSize = 64;

struct GlParticles {
    GlParticles() {
        RegisterResourceKinds(resources, std::string(LV_SOURCE_DIR) + "/rsc");
        engine.AddSystem(&core);
        device.SetWindowParameters({kSize, kSize, nullptr, true});
        gl = device.Create();
        matrices.SetScreenSize({kSize, kSize, nullptr, true});
        matrices.OnCameraPosUpdate(0.0f, 0.0f, -5.0f);
        matrices.OnCameraLookAtUpdate(0, 0, 0);
        matrices.OnCameraUpUpdate(0, 1, 0);
        matrices.OnGraphicsUpdate(0.0f);
        if (!gl) return;
        graphics.Create();
        graphics.Initialize();
        BuildSpriteMesh(meshes.Create("Sprite"));
        const std::string white = MakeTga32(1, 1, {255, 255, 255, 255});
        textures.Create("white")->CreateFromBytes("white.tga", Bytes(white), white.size());
    }
    ~GlParticles() { graphics.Shutdown(); }

    // The centre pixel's red after one half-transparent white particle in
    // the given blend mode is drawn over a dark grey background.
    int CentreAfterParticle(const std::string& blend) {
        ParticleEmitterComponent emitter;
        ParticleEmitterComponent::Parameters& p = emitter.EditParameters();
        p.maximumParticles = 1;
        p.particleLifeTime = 10.0f;
        p.textureSheet = "white";
        p.textureWidth = p.textureHeight = 64.0f;
        p.minScale = p.maxScale = 3.0f;
        p.opaqueStart = 0.5f;
        emitter.SetBlendMode(blend);
        emitter.Initialize();
        emitter.SetRunning(true);
        emitter.OnGraphicsUpdate(0.1f);

        gl->SetRenderTarget(0, gl->BackBuffer());
        gl->Clear(rd::kClearTarget | rd::kClearZBuffer, 0xFF404040, 1.0f);
        // The blended pass's state, as the frame leaves it for the particles.
        gl->SetRenderState(rd::RS::CullMode, rd::Cull::CounterClockwise);
        gl->SetRenderState(rd::RS::ZEnable, 1);
        gl->SetRenderState(rd::RS::AlphaBlendEnable, 1);
        gl->SetRenderState(rd::RS::SrcBlend, rd::Blend::SrcAlpha);
        gl->SetRenderState(rd::RS::ZWriteEnable, 0);
        ShaderProgram* program = graphics.GetProgram(Graphics::kParticleProgram);
        program->Use(ShaderProgram::kUseVertex | ShaderProgram::kUsePixel);
        program->SetMatrix(InternName("CamMat"), matrices.GetView());
        graphics.DrawParticlePass(*gl, *matrices.GetInverseView(), {&emitter});
        EXPECT_EQ(gl->GetRenderState(rd::RS::DestBlend), rd::Blend::InvSrcAlpha);
        std::vector<u8> pixels;
        if (!gl->ReadPixels(gl->BackBuffer(), pixels)) return -1;
        return pixels[(std::size_t(kSize / 2) * kSize + kSize / 2) * 4];
    }

    ResourceManager resources;
    Engine engine;
    CoreSystem core;
    RenderDevice device;
    rd::Device* gl = nullptr;
    MeshManager meshes;
    TextureManager textures;
    MatrixManager matrices;
    LightManager lights;
    Graphics graphics;
};

TEST(ParticlesGl, GlowyIsBrighterThanNormalOnTheSameBackground) {
    GlParticles scene;
    ASSERT_NE(scene.gl, nullptr);
    ASSERT_TRUE(scene.graphics.GetProgram(Graphics::kParticleProgram)->IsValid());
    // Background 64: normal gives 0.5 * 255 + 0.5 * 64, glow 0.5 * 255 + 64.
    const int normal = scene.CentreAfterParticle("Normal");
    const int glowy = scene.CentreAfterParticle("Glowy");
    EXPECT_NEAR(normal, 160, 3);
    EXPECT_NEAR(glowy, 192, 3);
}

}  // namespace
}  // namespace Ostrel
