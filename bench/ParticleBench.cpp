// Particles: 100 emitters of 200 live particles (a steady rate refilling the
// pool as particles expire), per frame of 1/60 s:
//   BM_ParticleStep           every emitter stepped ("GraphicsUpdate" work)
//   BM_ParticleStepAndDrawGl  stepped, then the particle pass drawn on the GL
//                             device (offscreen llvmpipe without a display)
//                             and presented
//   BM_EmptyFrameGl           the baseline of the GL row: clear and present
//                             without particles

#include "engine/base/Logger.h"
#include "engine/core/Matrix4.h"
#include "engine/core/Random.h"
#include "engine/graphics/Graphics.h"
#include "engine/graphics/LightManager.h"
#include "engine/graphics/MatrixManager.h"
#include "engine/graphics/models/MeshBuilders.h"
#include "engine/graphics/models/MeshManager.h"
#include "engine/graphics/particles/ParticleEmitterComponent.h"
#include "engine/graphics/RenderDevice.h"
#include "engine/graphics/ShaderProgram.h"
#include "engine/graphics/textures/TextureManager.h"
#include "engine/graphics/device/Device.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

using namespace Ostrel;

namespace {

constexpr int kEmitters = 100;
constexpr int kParticles = 200;
constexpr float kFrame = 1.0f / 60.0f;

// Emitters in a grid, each with a full pool of spinning, fading particles.
std::vector<std::unique_ptr<ParticleEmitterComponent>> MakeEmitters() {
    SRand(1);
    std::vector<std::unique_ptr<ParticleEmitterComponent>> emitters;
    for (int i = 0; i < kEmitters; ++i) {
        auto e = std::make_unique<ParticleEmitterComponent>();
        ParticleEmitterComponent::Parameters& p = e->EditParameters();
        p.maximumParticles = kParticles;
        p.particleLifeTime = 1.0f;
        p.releaseRate = float(kParticles);
        p.initialAdjust = Vec3(float(i % 10) - 4.5f, float(i / 10) - 4.5f, 0.0f);
        p.minVelocity = Vec3(-0.5f, -0.5f, -0.5f);
        p.maxVelocity = Vec3(0.5f, 0.5f, 0.5f);
        p.minScale = 0.1f;
        p.maxScale = 0.3f;
        p.rotationVelocityMax = 3.0f;
        p.numberOfTextures = 4;
        p.textureWidth = p.textureHeight = 32.0f;
        e->SetBlendMode(i % 2 ? "Glowy" : "Normal");
        e->Initialize();
        e->SetRunning(true);
        for (int frame = 0; frame < 120; ++frame) e->OnGraphicsUpdate(kFrame);
        emitters.push_back(std::move(e));
    }
    return emitters;
}

void StepAll(const std::vector<std::unique_ptr<ParticleEmitterComponent>>& emitters) {
    for (const auto& e : emitters) e->OnGraphicsUpdate(kFrame);
}

void BM_ParticleStep(benchmark::State& state) {
    const auto emitters = MakeEmitters();
    for (auto _ : state) StepAll(emitters);
    state.SetItemsProcessed(state.iterations() * kEmitters * kParticles);
}

struct GlWorld {
    GlWorld() {
        if (!std::getenv("DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 0);
        Logger::SetCurrent(&logger);  // no providers: start-up lines go nowhere
        RegisterResourceKinds(resources, std::string(LV_BENCH_SOURCE_DIR) + "/rsc");
        renderDevice.SetWindowParameters({640, 480, nullptr, true});
        device = renderDevice.Create();
        matrices.SetScreenSize({640, 480, nullptr, true});
        matrices.OnCameraPosUpdate(0.0f, 0.0f, -12.0f);
        matrices.OnCameraLookAtUpdate(0, 0, 0);
        matrices.OnCameraUpUpdate(0, 1, 0);
        matrices.OnGraphicsUpdate(0.0f);
        if (!device) return;
        graphics.Initialize();
        BuildSpriteMesh(meshes.Create("Sprite"));
    }
    ~GlWorld() {
        graphics.Shutdown();
        Logger::SetCurrent(nullptr);
    }
    // Clear, the particle pass's state and programs, the pass, present.
    void Frame(const std::vector<ParticleEmitterComponent*>& emitters) {
        device->SetRenderTarget(0, device->BackBuffer());
        device->Clear(rd::kClearTarget | rd::kClearZBuffer, 0xFF202020, 1.0f);
        device->BeginScene();
        if (!emitters.empty()) {
            device->SetRenderState(rd::RS::AlphaBlendEnable, 1);
            device->SetRenderState(rd::RS::SrcBlend, rd::Blend::SrcAlpha);
            device->SetRenderState(rd::RS::ZWriteEnable, 0);
            ShaderProgram* program = graphics.GetProgram(Graphics::kParticleProgram);
            program->Use(ShaderProgram::kUseVertex | ShaderProgram::kUsePixel);
            program->SetMatrix(InternName("CamMat"), matrices.GetView());
            graphics.DrawParticlePass(*device, *matrices.GetInverseView(), emitters);
            device->SetRenderState(rd::RS::AlphaBlendEnable, 0);
            device->SetRenderState(rd::RS::ZWriteEnable, 1);
        }
        device->EndScene();
        device->Present();
    }
    Logger logger;
    ResourceManager resources;
    RenderDevice renderDevice;
    rd::Device* device = nullptr;
    MeshManager meshes;
    TextureManager textures;
    MatrixManager matrices;
    LightManager lights;
    Graphics graphics;
};

void BM_ParticleStepAndDrawGl(benchmark::State& state) {
    GlWorld world;
    if (!world.device) {
        state.SkipWithError("no GL device");
        return;
    }
    const auto emitters = MakeEmitters();
    std::vector<ParticleEmitterComponent*> pass;
    for (const auto& e : emitters) pass.push_back(e.get());
    for (auto _ : state) {
        StepAll(emitters);
        world.Frame(pass);
    }
    state.SetItemsProcessed(state.iterations() * kEmitters * kParticles);
}

void BM_EmptyFrameGl(benchmark::State& state) {
    GlWorld world;
    if (!world.device) {
        state.SkipWithError("no GL device");
        return;
    }
    for (auto _ : state) world.Frame({});
}

}  // namespace

BENCHMARK(BM_ParticleStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParticleStepAndDrawGl)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EmptyFrameGl)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
