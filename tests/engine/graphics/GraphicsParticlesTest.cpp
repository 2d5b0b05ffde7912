// The particle pass on the recording device: the frame draws the running
// emitters of its emitter list with their blend codes, skips what is not an
// emitter or has no sprite, and always sets the destination blend back.

#include "engine/graphics/particles/ParticleEmitterComponent.h"

#include "tests/engine/graphics/FrameTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace Ostrel {
namespace {

using namespace Ostrel::Testing;

// A live object with an emitter of count particles of scale 2 at `at`,
// stepped once (added after creation, so it does not listen itself).
ParticleEmitterComponent* AddEmitter(FrameWorld& w, int count, const std::string& blend, const Vec3& at) {
    Composition* object = w.Make("mesh-obj", nullptr, at);
    auto* e = static_cast<ParticleEmitterComponent*>(w.factory.CreateComponent(ParticleEmitterComponent::kTypeId));
    ParticleEmitterComponent::Parameters& p = e->EditParameters();
    p.maximumParticles = count;
    p.particleLifeTime = 10.0f;
    p.textureWidth = 16.0f;
    p.textureHeight = 32.0f;
    p.minScale = p.maxScale = 2.0f;
    e->SetBlendMode(blend);
    object->AddComponent(e);
    e->Initialize();
    e->SetRunning(true);
    e->OnGraphicsUpdate(0.1f);
    w.File(List::Emitter, object);
    return e;
}

TEST(GraphicsParticles, TheFrameDrawsRunningEmittersWithTheirBlendAndAlwaysRestoresIt) {
    FrameWorld w;
    w.UseCamera();
    ParticleEmitterComponent* noSprite = AddEmitter(w, 1, "Normal", Vec3());  // made before "Sprite" exists
    BuildSpriteMesh(w.meshes.Create("Sprite"));
    ParticleEmitterComponent* normal = AddEmitter(w, 2, "Normal", Vec3());
    AddEmitter(w, 3, "Glowy", Vec3())->SetRunning(false);
    w.File(List::Emitter, w.Make("mesh-obj"));  // no emitter
    w.graphics.RenderListForTests(List::Emitter).push_back(0xDEAD0001);  // no object
    ParticleEmitterComponent* glowy = AddEmitter(w, 1, "Glowy", Vec3(1, 2, 3));

    w.Frame();
    const std::string draw = "DrawIndexed 5 4 2";
    std::vector<std::string> pass;
    for (const rd::TraceEntry& e : w.recording->GetTrace().Entries()) {
        const bool particle = e.program == w.Label(Graphics::kParticleProgram);
        if ((e.op == "DrawIndexed" && particle) || (e.op == "SetRenderState" && e.args.rfind("DestBlend", 0) == 0)) {
            pass.push_back(e.op + " " + e.args);
        }
    }
    // The blended pass's set-up and the end of the frame's blended states
    // frame the particle pass.
    EXPECT_EQ(pass, (std::vector<std::string>{"SetRenderState DestBlend 6", "SetRenderState DestBlend 6",
                                              "SetRenderState DestBlend 6", draw, draw, "SetRenderState DestBlend 7",
                                              draw, "SetRenderState DestBlend 6", "SetRenderState DestBlend 1"}));
    rd::Program* particle = w.graphics.GetProgram(Graphics::kParticleProgram)->GetDeviceProgram();
    const Matrix4* projection = w.matrices.GetProjection();
    EXPECT_EQ(w.recording->UniformValues(particle, "ProjMat"), std::vector<float>(projection->m, projection->m + 16));
    const std::vector<float> world = w.recording->UniformValues(particle, "WorldMat");
    ASSERT_EQ(world.size(), 16u);
    EXPECT_EQ(std::vector<float>(world.begin() + 12, world.begin() + 15), (std::vector<float>{1, 2, 3}));
    for (const auto& [name, value] : {std::pair{"tex_width_per", 0.25f}, {"tex_height_per", 0.5f}, {"opaqueness", 1.0f}}) {
        EXPECT_EQ(w.recording->UniformValues(particle, name), std::vector<float>{value}) << name;
    }

    // Every emitter stopped: nothing drawn, the blend still set back.
    for (ParticleEmitterComponent* e : {noSprite, normal, glowy}) e->SetRunning(false);
    w.Frame();
    EXPECT_TRUE(w.DrawsWith({Graphics::kParticleProgram}).empty());
    const std::vector<std::string> states = w.Lines({"SetRenderState"});
    EXPECT_EQ(std::count(states.begin(), states.end(), "SetRenderState DestBlend 6"), 2);  // blended pass, particles
}

}  // namespace
}  // namespace Ostrel
