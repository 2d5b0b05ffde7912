// The particle emitter: release bookkeeping (bursts, steady rates, effect
// time), fading, even spread, the order of the random draws, the pool bound,
// storing and copying all its keys, the editor's fields, and a live object
// that steps on "GraphicsUpdate".

#include "engine/core/Random.h"
#include "engine/graphics/ParticleEmitterComponent.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/TextureManager.h"
#include "engine/io/SerializerLevelSave.h"

#include "tests/engine/components/ComponentWorld.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>

namespace Ostrel {
namespace {

using ComponentTest::ComponentWorld;
using ComponentTest::Panel;
using ComponentTest::TextSerializer;
using Params = ParticleEmitterComponent::Parameters;

int Alive(const ParticleEmitterComponent& e) {
    int alive = 0;
    for (const Particle& p : e.GetParticles()) alive += p.alive ? 1 : 0;
    return alive;
}

// A running emitter without an owner (nothing subscribes), pool made.
std::unique_ptr<ParticleEmitterComponent> Running(const Params& params) {
    auto e = std::make_unique<ParticleEmitterComponent>();
    e->EditParameters() = params;
    e->Initialize();
    e->SetRunning(true);
    return e;
}

Params Pool(int maximum, float rate, float lifeTime) {
    Params p;
    p.maximumParticles = maximum;
    p.releaseRate = rate;
    p.particleLifeTime = lifeTime;
    return p;
}

struct SeededRand {
    SeededRand() { SRand(7); }
    ~SeededRand() { SetRandSourceForTests({}); }
};

TEST(ParticleEmitter, ReleaseBookkeepingForBurstsSteadyRatesAndEffectTime) {
    SeededRand seeded;
    // Rate 0: the whole pool at once; when they expire the pool empties and
    // refills at the next update.
    auto burst = Running(Pool(20, 0.0f, 0.5f));
    burst->OnGraphicsUpdate(0.25f);
    EXPECT_EQ(Alive(*burst), 20);
    EXPECT_EQ(burst->GetLiveCount(), 20);
    burst->OnGraphicsUpdate(0.25f);
    EXPECT_EQ(Alive(*burst), 20);
    burst->OnGraphicsUpdate(0.25f);  // all reach their lifetime
    EXPECT_EQ(Alive(*burst), 0);
    EXPECT_EQ(burst->GetLiveCount(), 0);
    EXPECT_EQ(burst->GetAccumulator(), 0.0f);
    burst->OnGraphicsUpdate(0.25f);
    EXPECT_EQ(Alive(*burst), 20);

    // Rate 10 at 0.05 s: one particle every second update, lowest slots first.
    auto steady = Running(Pool(100, 10.0f, 100.0f));
    std::vector<int> live;
    for (int i = 0; i < 8; ++i) {
        steady->OnGraphicsUpdate(0.05f);
        live.push_back(steady->GetLiveCount());
    }
    EXPECT_EQ(live, (std::vector<int>{0, 1, 1, 2, 2, 3, 3, 4}));
    EXPECT_EQ(Alive(*steady), 4);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(steady->GetParticles()[i].alive) << i;

    // Effect time 1 s: releases stop, the last particles live out their time
    // and the emitter keeps running.
    Params timed = Pool(100, 10.0f, 0.35f);
    timed.effectLifeTime = 1.0f;
    auto effect = Running(timed);
    int released = 0;
    for (int i = 0; i < 30; ++i) {
        effect->OnGraphicsUpdate(0.1f);
        for (const Particle& particle : effect->GetParticles()) released += particle.alive && particle.age == 0.0f;
        if (i == 9) {
            EXPECT_GT(Alive(*effect), 0);
        }
    }
    EXPECT_GE(released, 9);
    EXPECT_LE(released, 10);
    EXPECT_EQ(Alive(*effect), 0);
    EXPECT_TRUE(effect->IsRunning());

    // A stopped emitter frees every slot, whatever was alive.
    steady->SetRunning(false);
    steady->OnGraphicsUpdate(0.05f);
    EXPECT_EQ(Alive(*steady), 0);
}

TEST(ParticleEmitter, OpacityIsTheRemainingLifeClampedBetweenItsBounds) {
    Params p = Pool(1, 0.0f, 1.0f);
    p.opaqueStart = 0.5f;
    p.opaqueEnd = 0.0f;
    auto e = Running(p);
    std::vector<float> opacity;
    for (int i = 0; i < 4; ++i) {
        e->OnGraphicsUpdate(0.25f);
        opacity.push_back(e->GetParticles()[0].opacity);
    }
    EXPECT_EQ(opacity, (std::vector<float>{0.5f, 0.5f, 0.5f, 0.25f}));
}

TEST(ParticleEmitter, EvenSpreadSpacesEightParticlesBy45DegreesTurnedByTheAdjustment) {
    Params p = Pool(8, 0.0f, 10.0f);
    p.radial = true;
    p.evenSpread = true;
    p.evenSpreadAngAdjMin = p.evenSpreadAngAdjMax = 10.0f;
    p.radialVelMin = p.radialVelMax = 2.0f;
    auto e = Running(p);
    e->OnGraphicsUpdate(0.1f);
    ASSERT_EQ(Alive(*e), 8);
    EXPECT_EQ(e->GetSpreadAdjustment(), 10.0f);
    EXPECT_EQ(e->GetSpreadCounter(), 8);
    for (int i = 0; i < 8; ++i) {
        const Vec3& v = e->GetParticles()[i].velocity;
        float degrees = std::atan2(v.y, v.x) * 180.0f / 3.1415927f;
        if (degrees < 0) degrees += 360.0f;
        EXPECT_NEAR(degrees, 10.0f + 45.0f * float(i), 1e-3f) << i;
        EXPECT_NEAR(std::hypot(v.x, v.y), 2.0f, 1e-5f);
        EXPECT_EQ(v.z, 0.0f);
    }
    // The counter runs on across bursts until a restart.
    e->Restart();
    EXPECT_EQ(e->GetSpreadCounter(), 0);
    EXPECT_EQ(e->GetSpreadAdjustment(), -1.0f);
}

TEST(ParticleEmitter, SpawnDrawsFromThe15BitGeneratorInOrderAndCountsBadCellCountsAsOne) {
    // Ranges of 0..32767 give back the drawn values themselves.
    int next = 0;
    const std::vector<int> draws = {5, 100, 200, 300, 400, 500, 600, 700, 800, 900, 1000};
    SetRandSourceForTests([&] { return draws[std::size_t(next++) % draws.size()]; });
    Params p = Pool(1, 0.0f, 10.0f);
    p.numberOfTextures = 4;
    for (auto* range : {&p.rotationMin, &p.rotationVelocityMin, &p.minScale, &p.minScaleVelocity}) *range = 0;
    p.rotationMax = p.rotationVelocityMax = p.maxScale = p.maxScaleVelocity = 32767.0f;
    p.maxVelocity = p.maxAcceleration = Vec3(32767.0f, 32767.0f, 32767.0f);
    p.initialAdjust = Vec3(1, 2, 3);
    auto e = Running(p);
    e->OnGraphicsUpdate(0.1f);
    const Particle& s = e->GetParticles()[0];
    EXPECT_EQ(s.textureIndex, 1);  // 5 mod 4
    EXPECT_EQ(std::vector<float>({s.rotation, s.rotationVelocity, s.scale.x, s.scale.y, s.scaleVelocity}),
              std::vector<float>({100, 200, 300, 300, 400}));
    EXPECT_EQ(s.velocity, Vec3(700, 600, 500));  // z first, then y, then x
    EXPECT_EQ(s.acceleration, Vec3(1000, 900, 800));
    EXPECT_EQ(s.position, Vec3(1, 2, 3));
    EXPECT_EQ(s.opacity, 1.0f);

    // 0 and negative cell counts become 1: every index is 0.
    for (int count : {0, -3}) {
        Params q = Pool(5, 0.0f, 10.0f);
        q.numberOfTextures = count;
        auto cells = Running(q);
        cells->OnGraphicsUpdate(0.1f);
        EXPECT_EQ(cells->GetParameters().numberOfTextures, 1);
        for (const Particle& particle : cells->GetParticles()) EXPECT_EQ(particle.textureIndex, 0);
    }
    SetRandSourceForTests({});
    // The real generator stays inside its ranges.
    SRand(99);
    Params r = Pool(200, 0.0f, 10.0f);
    r.minScale = 2.0f;
    r.maxScale = 3.0f;
    auto ranged = Running(r);
    ranged->OnGraphicsUpdate(0.1f);
    for (const Particle& particle : ranged->GetParticles()) {
        EXPECT_GE(particle.scale.x, 2.0f);
        EXPECT_LE(particle.scale.x, 3.0f);
    }
}

TEST(ParticleEmitter, LoopsStayInsideThePoolWhateverTheMaximumSays) {
    // Raised after Initialize (a later read): the pool is not grown and no
    // walk passes it.
    auto raised = Running(Pool(4, 0.0f, 0.2f));
    raised->EditParameters().maximumParticles = 50;
    EXPECT_EQ(raised->GetSlotBound(), 4u);
    for (int i = 0; i < 5; ++i) raised->OnGraphicsUpdate(0.1f);
    EXPECT_EQ(raised->GetParticles().size(), 4u);
    EXPECT_LE(raised->GetLiveCount(), 4);

    // Negative: treated as 0, nothing is released and the update ends.
    auto negative = Running(Pool(-5, 0.0f, 1.0f));
    negative->OnGraphicsUpdate(0.1f);
    EXPECT_EQ(negative->GetParticles().size(), 0u);
    EXPECT_EQ(negative->GetLiveCount(), 0);

    // Lowered in the editor below the live count: the slots beyond the bound
    // are no longer visited and releases go on inside it.
    auto lowered = Running(Pool(10, 0.0f, 0.25f));
    lowered->OnGraphicsUpdate(0.1f);
    ASSERT_EQ(lowered->GetLiveCount(), 10);
    lowered->SetMaximumParticles(3);
    EXPECT_EQ(lowered->GetLiveCount(), 3);
    for (int i = 0; i < 6; ++i) lowered->OnGraphicsUpdate(0.1f);
    int inside = 0;
    for (int i = 0; i < 3; ++i) inside += lowered->GetParticles()[std::size_t(i)].alive ? 1 : 0;
    EXPECT_EQ(inside, 3);
    EXPECT_GE(lowered->GetLiveCount(), 0);
    lowered->SetMaximumParticles(-1);
    lowered->OnGraphicsUpdate(0.1f);
    EXPECT_EQ(lowered->GetLiveCount(), 0);
}

// Every key with a value different from its default, as files spell them.
std::map<std::string, std::string> AllKeys() {
    std::map<std::string, std::string> keys = {
        {"MaximumParticles", "12"}, {"TextureSheet", "sparks"}, {"NumberOfTextures", "4"},
        {"StartRunning", "1"},      {"Radial", "1"},            {"EvenSpread", "1"},
        {"BlendMode", "Glowy"}};
    const char* floats[] = {"InitialAdjust_X", "InitialAdjust_Y", "InitialAdjust_Z", "ParticleLifeTime",
                            "ReleaseRate", "EffectLifeTime", "TextureWidth", "TextureHeight", "FullTextureWidth",
                            "FullTextureHeight", "RadialAngleMax", "RadialAngleMin", "RadialVelMin", "RadialVelMax",
                            "RadialAccelMin", "RadialAccelMax", "MinAcceleration_X", "MinAcceleration_Y",
                            "MinAcceleration_Z", "MaxAcceleration_X", "MaxAcceleration_Y", "MaxAcceleration_Z",
                            "MinVelocity_X", "MinVelocity_Y", "MinVelocity_Z", "MaxVelocity_X", "MaxVelocity_Y",
                            "MaxVelocity_Z", "MinScale", "MaxScale", "MinScaleVelocity", "MaxScaleVelocity",
                            "RotationMin", "RotationMax", "RotationVelocityMin", "RotationVelocityMax", "OpaqueEnd",
                            "OpaqueStart", "EvenSpreadAngAdjMin", "EvenSpreadAngAdjMax"};
    float value = 0.5f;
    for (const char* key : floats) keys[key] = std::to_string(value += 1.25f);
    return keys;
}

std::vector<std::string> Written(ParticleEmitterComponent& e) {
    TextSerializer writer(false);
    e.Serialize(&writer);
    return writer.written;
}

TEST(ParticleEmitter, AllFortySevenKeysRoundTripThroughSerializeAndClone) {
    ComponentWorld world("<none-obj/>");
    const auto keys = AllKeys();
    ASSERT_EQ(keys.size(), 47u);
    TextSerializer reader(true);
    reader.values = keys;
    ParticleEmitterComponent e;
    e.Serialize(&reader);
    EXPECT_EQ(e.GetBlendCode(), ParticleEmitterComponent::kBlendGlowy);
    EXPECT_TRUE(e.IsRunning());

    const std::vector<std::string> written = Written(e);
    ASSERT_EQ(written.size(), 47u);
    for (const std::string& line : written) {
        const std::string key = line.substr(0, line.find('='));
        const std::string text = line.substr(line.find('=') + 1);
        ASSERT_TRUE(keys.count(key)) << key;
        if (key == "TextureSheet" || key == "BlendMode" || key == "MaximumParticles" || key == "NumberOfTextures") {
            EXPECT_EQ(text, keys.at(key));
        } else {
            EXPECT_FLOAT_EQ(std::stof(text), std::stof(keys.at(key))) << key;
        }
    }
    EXPECT_EQ(written.front().substr(0, 16), "InitialAdjust_X=");
    EXPECT_EQ(written.back(), "BlendMode=Glowy");
    EXPECT_EQ(written[13], "StartRunning=1");

    Component* copy = e.Clone();
    ASSERT_NE(copy, nullptr);
    auto& clone = static_cast<ParticleEmitterComponent&>(*copy);
    EXPECT_EQ(Written(clone), written);
    EXPECT_EQ(clone.GetBlendCode(), ParticleEmitterComponent::kBlendGlowy);
    EXPECT_TRUE(clone.GetParticles().empty());
    EXPECT_EQ(clone.GetSpreadAdjustment(), -1.0f);
    world.factory.DestroyComponent(copy);

    // Anything but "Glowy" is the normal blend.
    for (const char* mode : {"glowy", "Normal", "Additive"}) {
        TextSerializer blend(true);
        blend.values = {{"BlendMode", mode}};
        e.Serialize(&blend);
        EXPECT_EQ(e.GetBlendCode(), ParticleEmitterComponent::kBlendNormal) << mode;
    }
}

TEST(ParticleEmitter, EditorFieldsRestartGrowThePoolAndAcceptOnlyKnownSheets) {
    TextureManager textures;
    Texture* sparks = textures.Create("sparks");
    Params p = Pool(4, 0.0f, 10.0f);
    p.textureSheet = "smoke";
    auto e = Running(p);
    EXPECT_EQ(e->GetTexture(), nullptr);
    Panel panel;
    e->ExposeProperties(&panel);
    ASSERT_EQ(panel.entries.size(), 47u);
    EXPECT_EQ(std::vector<std::string>(panel.entries.begin(), panel.entries.begin() + 3),
              (std::vector<std::string>{"callback2 Start", "callback0 MaximumParticles", "float ParticleLifeTime"}));
    EXPECT_EQ(panel.entries[10], "callback0 NumberOfTextures");
    EXPECT_EQ(panel.entries[11], "float InitialAdjust_X");
    EXPECT_EQ(panel.entries.back(), "callback4 BlendMode");

    e->OnGraphicsUpdate(0.1f);
    e->SetRunning(false);
    EXPECT_FALSE(panel.Get<bool>("Start"));
    panel.Set("Start", false);  // any write restarts
    EXPECT_TRUE(e->IsRunning());
    EXPECT_EQ(e->GetLiveCount(), 0);
    EXPECT_EQ(Alive(*e), 0);

    panel.Set("MaximumParticles", 9);
    EXPECT_EQ(e->GetParticles().size(), 9u);
    EXPECT_EQ(panel.Get<int>("MaximumParticles"), 9);
    e->OnGraphicsUpdate(0.1f);
    EXPECT_EQ(Alive(*e), 9);

    panel.Set("TextureSheet", std::string("fog"));
    EXPECT_EQ(panel.Get<std::string>("TextureSheet"), "smoke");
    EXPECT_EQ(e->GetTexture(), nullptr);
    panel.Set("TextureSheet", std::string("sparks"));
    EXPECT_EQ(e->GetTexture(), sparks);
    EXPECT_EQ(e->GetParameters().textureSheet, "sparks");

    panel.Set("BlendMode", std::string("Glowy"));
    EXPECT_EQ(e->GetBlendCode(), ParticleEmitterComponent::kBlendGlowy);
    panel.Set("NumberOfTextures", 3);
    EXPECT_EQ(e->GetParameters().numberOfTextures, 3);
}

const char kEmitterObjects[] = R"(
<sparks-fx-obj>
    <TransformComponent><PosX>1</PosX><PosY>2</PosY><PosZ>3</PosZ></TransformComponent>
    <ParticleEmitterComponent><MaximumParticles>5</MaximumParticles><ParticleLifeTime>2</ParticleLifeTime>
        <StartRunning>1</StartRunning><InitialAdjust_Y>0.5</InitialAdjust_Y><BlendMode>Glowy</BlendMode>
    </ParticleEmitterComponent>
</sparks-fx-obj>
)";

TEST(ParticleEmitter, ALiveObjectStepsOnGraphicsUpdateFromItsPositionAndSavesInFull) {
    ComponentWorld world(kEmitterObjects);
    Composition* object = world.Create("sparks-fx-obj");
    ASSERT_NE(object, nullptr);
    auto* e = world.Get<ParticleEmitterComponent>(object);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->GetBlendCode(), ParticleEmitterComponent::kBlendGlowy);
    world.core.SendMessageValues("GraphicsUpdate", 0.1f);
    ASSERT_EQ(Alive(*e), 5);
    EXPECT_EQ(e->GetParticles()[0].position, Vec3(1, 2.5f, 3));

    SerializerLevelSave save;
    save.WriteObject(*object);
    const TiXmlElement* emitter =
        save.Document().FirstChildElement("Level")->FirstChildElement("Objects")->FirstChildElement()->FirstChildElement(
            "ParticleEmitterComponent");
    ASSERT_NE(emitter, nullptr);
    int fields = 0;
    for (const TiXmlElement* f = emitter->FirstChildElement(); f; f = f->NextSiblingElement()) ++fields;
    EXPECT_EQ(fields, 46);  // every key but the empty "TextureSheet"

    // Once the object is gone, its emitter no longer listens.
    world.objects.DestroyObject(object->GetId());
    world.objects.Update(0.0f);
    world.core.SendMessageValues("GraphicsUpdate", 0.1f);
}

TEST(ParticleEmitter, TheShippedSparksBurstAndTheSmokeRises) {
    std::ifstream file(std::string(LV_SOURCE_DIR) + "/rsc/objects/particle-objects.xobj");
    const std::string archetypes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    ComponentWorld world(archetypes);
    auto* sparks = world.Get<ParticleEmitterComponent>(world.Create("sparks-fx-obj"));
    auto* smoke = world.Get<ParticleEmitterComponent>(world.Create("smoke-fx-obj"));
    ASSERT_TRUE(sparks && smoke) << world.log;
    world.core.SendMessageValues("GraphicsUpdate", 0.05f);
    EXPECT_EQ(Alive(*sparks), 24);
    EXPECT_EQ(sparks->GetBlendCode(), ParticleEmitterComponent::kBlendGlowy);
    for (int i = 0; i < 20; ++i) world.core.SendMessageValues("GraphicsUpdate", 0.05f);
    EXPECT_EQ(Alive(*smoke), 10);
    for (const Particle& p : smoke->GetParticles()) {
        if (p.alive) {
            EXPECT_GT(p.position.y, 0.0f);
        }
    }
}

}  // namespace
}  // namespace Ostrel
