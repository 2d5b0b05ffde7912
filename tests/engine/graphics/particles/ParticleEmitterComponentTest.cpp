// The particle emitter: release bookkeeping, fading, even spread, the order
// of the random draws, the pool bound, its 47 keys, the editor's fields and a
// live object stepping on "GraphicsUpdate".

#include "engine/core/MathFunctions.h"
#include "engine/core/Random.h"
#include "engine/graphics/particles/ParticleEmitterComponent.h"
#include "engine/graphics/textures/TextureManager.h"
#include "engine/io/SerializerLevelSave.h"

#include "tests/engine/components/ComponentWorld.h"
#include "tests/engine/graphics/models/ModelTestSupport.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cmath>
#include <memory>
#include <set>

namespace Ostrel {
namespace {

using ComponentTest::ComponentWorld;
using ComponentTest::Panel;
using ComponentTest::TextSerializer;

int Alive(const ParticleEmitterComponent& e) {
    int alive = 0;
    for (const Particle& p : e.GetParticles()) alive += p.alive ? 1 : 0;
    return alive;
}

// A running emitter without an owner (so nothing subscribes), pool made.
std::unique_ptr<ParticleEmitterComponent> Running(int maximum, float rate, float lifeTime,
                                                  void (*more)(ParticleEmitterComponent::Parameters&) = nullptr) {
    auto e = std::make_unique<ParticleEmitterComponent>();
    auto& p = e->EditParameters();
    p.maximumParticles = maximum;
    p.releaseRate = rate;
    p.particleLifeTime = lifeTime;
    if (more) more(p);
    e->Initialize();
    e->SetRunning(true);
    return e;
}

TEST(ParticleEmitter, ReleaseBookkeepingFadingAndEvenSpread) {
    SRand(7);
    // Rate 0 releases the whole pool; expired, it empties and refills next update.
    auto burst = Running(20, 0.0f, 0.5f);
    std::vector<int> alive;
    for (int i = 0; i < 4; ++i, alive.push_back(Alive(*burst))) burst->OnGraphicsUpdate(0.25f);
    EXPECT_EQ(alive, (std::vector<int>{20, 20, 0, 20}));

    // Rate 10 at 0.05 s: one particle every second update.
    auto steady = Running(100, 10.0f, 100.0f);
    std::vector<int> live;
    for (int i = 0; i < 6; ++i, live.push_back(steady->GetLiveCount())) steady->OnGraphicsUpdate(0.05f);
    EXPECT_EQ(live, (std::vector<int>{0, 1, 1, 2, 2, 3}));
    steady->SetRunning(false);  // stopped: every slot freed
    steady->OnGraphicsUpdate(0.05f);
    EXPECT_EQ(Alive(*steady), 0);

    // Effect time 1 s: releases stop after about ten updates, the last ones
    // live out their time and the emitter keeps running.
    auto effect = Running(100, 10.0f, 0.35f, [](auto& p) { p.effectLifeTime = 1.0f; });
    int released = 0;
    for (int i = 0; i < 30; ++i) {
        effect->OnGraphicsUpdate(0.1f);
        for (const Particle& p : effect->GetParticles()) released += p.alive && p.age == 0.0f;
    }
    EXPECT_TRUE(released == 9 || released == 10) << released;
    EXPECT_EQ(Alive(*effect), 0);
    EXPECT_TRUE(effect->IsRunning());

    // Opacity 0.5 until half the life has passed, then falling.
    auto fading = Running(1, 0.0f, 1.0f, [](auto& p) { p.opaqueStart = 0.5f; });
    std::vector<float> opacity;
    for (int i = 0; i < 4; ++i, opacity.push_back(fading->GetParticles()[0].opacity)) fading->OnGraphicsUpdate(0.25f);
    EXPECT_EQ(opacity, (std::vector<float>{0.5f, 0.5f, 0.5f, 0.25f}));

    // Eight evenly spread from 0 to 360 degrees: 45 degree steps turned by 10.
    auto spread = Running(8, 0.0f, 10.0f, [](auto& p) {
        p.radial = p.evenSpread = true;
        p.evenSpreadAngAdjMin = p.evenSpreadAngAdjMax = 10.0f;
    });
    spread->OnGraphicsUpdate(0.1f);
    for (int i = 0; i < 8; ++i) {
        const Vec3& v = spread->GetParticles()[std::size_t(i)].velocity;
        EXPECT_NEAR(std::remainder(std::atan2(v.y, v.x) * 180.0f / kPi - 10.0f - 45.0f * float(i), 360.0f), 0.0f, 1e-3f);
    }
    EXPECT_EQ(spread->GetSpreadCounter(), 8);
}

TEST(ParticleEmitter, SpawnDrawsInOrderAndBadCellCountsCountAsOne) {
    // Ranges of 0..32767 give back the drawn values themselves.
    std::vector<int> draws = {5, 100, 200, 300, 400, 500, 600, 700, 800, 900, 1000};
    std::size_t next = 0;
    SetRandSourceForTests([&] { return draws[next++ % draws.size()]; });
    auto e = Running(1, 0.0f, 10.0f, [](auto& p) {
        p.numberOfTextures = 4;
        p.rotationMax = p.rotationVelocityMax = p.maxScale = p.maxScaleVelocity = 32767.0f;
        p.minScale = 0.0f;
        p.maxVelocity = p.maxAcceleration = Vec3(32767.0f, 32767.0f, 32767.0f);
        p.initialAdjust = Vec3(1, 2, 3);
    });
    e->OnGraphicsUpdate(0.1f);
    const Particle& s = e->GetParticles()[0];
    EXPECT_EQ(s.textureIndex, 1);  // 5 mod 4
    EXPECT_EQ(std::vector<float>({s.rotation, s.rotationVelocity, s.scale.x, s.scale.y, s.scaleVelocity}),
              std::vector<float>({100, 200, 300, 300, 400}));
    EXPECT_EQ(s.velocity, Vec3(700, 600, 500));  // z first, then y, then x
    EXPECT_EQ(s.acceleration, Vec3(1000, 900, 800));
    EXPECT_EQ(s.position, Vec3(1, 2, 3));
    for (int count : {0, -3}) {
        auto cells = Running(5, 0.0f, 10.0f);
        cells->EditParameters().numberOfTextures = count;
        cells->OnGraphicsUpdate(0.1f);
        EXPECT_EQ(cells->GetParameters().numberOfTextures, 1);
        for (const Particle& p : cells->GetParticles()) EXPECT_EQ(p.textureIndex, 0);
    }
    SetRandSourceForTests({});
}

TEST(ParticleEmitter, NoWalkPassesThePoolWhateverTheMaximumSays) {
    auto raised = Running(4, 0.0f, 0.2f);  // a larger maximum read after Initialize
    raised->EditParameters().maximumParticles = 50;
    for (int i = 0; i < 5; ++i) raised->OnGraphicsUpdate(0.1f);
    EXPECT_EQ(raised->GetSlotBound(), 4u);
    EXPECT_LE(raised->GetLiveCount(), 4);

    auto negative = Running(-5, 0.0f, 1.0f);
    negative->OnGraphicsUpdate(0.1f);
    EXPECT_EQ(negative->GetLiveCount(), 0);
    auto huge = Running(2000000000, 0.0f, 1.0f);  // a typo in a file, not gigabytes
    EXPECT_EQ(huge->GetParticles().size(), 65536u);
    huge->SetMaximumParticles(2100000000);
    EXPECT_EQ(huge->GetSlotBound(), 65536u);

    // Lowered in the editor below the live count: releases go on inside it.
    auto lowered = Running(10, 0.0f, 0.25f);
    lowered->OnGraphicsUpdate(0.1f);
    lowered->SetMaximumParticles(3);
    EXPECT_EQ(lowered->GetLiveCount(), 3);
    for (int i = 0; i < 6; ++i) lowered->OnGraphicsUpdate(0.1f);
    EXPECT_EQ(Alive(*lowered), 3 + 7);  // three respawned inside, seven left beyond
    EXPECT_TRUE(lowered->GetParticles()[0].alive && lowered->GetParticles()[2].alive);
    lowered->SetMaximumParticles(-1);
    lowered->OnGraphicsUpdate(0.1f);
    EXPECT_EQ(lowered->GetLiveCount(), 0);
}

TEST(ParticleEmitter, AllFortySevenKeysRoundTripThroughSerializeAndClone) {
    ComponentWorld world("<none-obj/>");
    // Every key with a non-default value, written as the serializer writes it.
    std::vector<std::string> lines;
    ParticleEmitterComponent defaults;
    TextSerializer names(false);
    defaults.Serialize(&names);
    ASSERT_EQ(names.written.size(), 47u);
    TextSerializer reader(true);
    float value = 0.5f;
    for (const std::string& line : names.written) {
        const std::string key = line.substr(0, line.find('='));
        const bool isFloat = line.find('.') != std::string::npos;
        const std::string text = key == "TextureSheet" ? "sparks" : key == "BlendMode" ? "Glowy"
                                 : isFloat ? std::to_string(value += 1.25f) : key == "MaximumParticles" ? "12" : "1";
        reader.values[key] = text;
        lines.push_back(key + "=" + text);
    }
    ParticleEmitterComponent e;
    e.Serialize(&reader);
    EXPECT_EQ(e.GetBlendCode(), ParticleEmitterComponent::kBlendGlowy);
    EXPECT_TRUE(e.IsRunning());
    TextSerializer writer(false);
    e.Serialize(&writer);
    EXPECT_EQ(writer.written, lines);
    EXPECT_EQ(writer.written[13], "StartRunning=1");

    Component* copy = e.Clone();
    ASSERT_NE(copy, nullptr);
    TextSerializer copied(false);
    copy->Serialize(&copied);
    EXPECT_EQ(copied.written, lines);
    world.factory.DestroyComponent(copy);

    for (const char* mode : {"glowy", "Normal", "Additive"}) {
        TextSerializer blend(true);
        blend.values = {{"BlendMode", mode}};
        e.Serialize(&blend);
        EXPECT_EQ(e.GetBlendCode(), ParticleEmitterComponent::kBlendNormal) << mode;
    }
}

// Values a key cannot use are logged with the key and the text, and the key
// keeps its default; an unknown blend mode and a sheet that is no loaded
// texture are named too (the sheet once, however many copies start).
TEST(ParticleEmitter, BadValuesKeepTheirDefaultsAndUnknownNamesAreLogged) {
    ComponentWorld world("<none-obj/>");
    const struct {
        const char* key;
        const char* text;
        const char* problem;
    } cases[] = {
        {"MaximumParticles", "70000", "is above 65536"},  {"MaximumParticles", "-5", "is below 0"},
        {"ReleaseRate", "-3", "is below 0"},               {"ParticleLifeTime", "nan", "is not a number"},
        {"EffectLifeTime", "-0.5", "is below 0"},          {"FullTextureWidth", "0", "is not above 0"},
        {"TextureHeight", "-32", "is below 0"},            {"NumberOfTextures", "-2", "is below 0"},
        {"RadialVelMin", "1e999", "is out of range"},      {"MinScale", "", "is blank"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.text);
        ModelTest::LogCapture log;
        TextSerializer reader(true);
        reader.values = {{c.key, c.text}};
        ParticleEmitterComponent e;
        e.Serialize(&reader);
        TextSerializer expected(false), actual(false);
        ParticleEmitterComponent fresh;
        fresh.Serialize(&expected);
        e.Serialize(&actual);
        EXPECT_EQ(actual.written, expected.written);
        EXPECT_NE(log.Text().find(std::string("key '") + c.key + "': '" + c.text + "' " + c.problem),
                  std::string::npos)
            << log.Text();
    }

    ModelTest::LogCapture log;
    TextSerializer reader(true);
    reader.values = {{"BlendMode", "Additive"}, {"TextureSheet", "no-such-sheet"}};
    ParticleEmitterComponent e;
    e.Serialize(&reader);
    EXPECT_NE(log.Text().find("key 'BlendMode': 'Additive' is neither 'Normal' nor 'Glowy'; drawn as 'Normal'"),
              std::string::npos)
        << log.Text();
    TextureManager textures;
    for (int copy = 0; copy < 3; ++copy) {
        Component* started = e.Clone();
        ASSERT_NE(started, nullptr);
        started->Initialize();
        started->Uninitialize();
        world.factory.DestroyComponent(started);
    }
    const std::string sheetLine = "key 'TextureSheet': no texture 'no-such-sheet' is loaded";
    const std::size_t first = log.Text().find(sheetLine);
    EXPECT_NE(first, std::string::npos) << log.Text();
    EXPECT_EQ(log.Text().find(sheetLine, first + 1), std::string::npos) << "logged once";
}

TEST(ParticleEmitter, EditorFieldsRestartGrowThePoolAndAcceptOnlyKnownSheets) {
    TextureManager textures;
    Texture* sparks = textures.Create("sparks");
    auto e = Running(4, 0.0f, 10.0f, [](auto& p) { p.textureSheet = "smoke"; });
    Panel panel;
    e->ExposeProperties(&panel);
    ASSERT_EQ(panel.entries.size(), 47u);
    EXPECT_EQ(std::vector<std::string>(panel.entries.begin(), panel.entries.begin() + 3),
              (std::vector<std::string>{"callback2 Start", "callback0 MaximumParticles", "float ParticleLifeTime"}));
    EXPECT_EQ(panel.entries[11], "float InitialAdjust_X");
    EXPECT_EQ(panel.entries.back(), "callback4 BlendMode");

    e->OnGraphicsUpdate(0.1f);
    e->SetRunning(false);
    panel.Set("Start", false);  // any write restarts
    EXPECT_TRUE(e->IsRunning());
    EXPECT_EQ(Alive(*e) + e->GetLiveCount(), 0);
    panel.Set("MaximumParticles", 9);
    e->OnGraphicsUpdate(0.1f);
    EXPECT_EQ(Alive(*e), 9);

    panel.Set("TextureSheet", std::string("fog"));
    EXPECT_EQ(panel.Get<std::string>("TextureSheet"), "smoke");
    panel.Set("TextureSheet", std::string("sparks"));
    EXPECT_EQ(e->GetTexture(), sparks);
    panel.Set("BlendMode", std::string("Glowy"));
    EXPECT_EQ(e->GetBlendCode(), ParticleEmitterComponent::kBlendGlowy);
}

TEST(ParticleEmitter, ALiveObjectStepsFromItsPositionSavesInFullAndStopsListeningWhenGone) {
    ComponentWorld world(R"(<sparks-fx-obj>
        <TransformComponent><PosX>1</PosX><PosY>2</PosY><PosZ>3</PosZ></TransformComponent>
        <ParticleEmitterComponent><MaximumParticles>5</MaximumParticles><ParticleLifeTime>2</ParticleLifeTime>
            <StartRunning>1</StartRunning><InitialAdjust_Y>0.5</InitialAdjust_Y></ParticleEmitterComponent>
    </sparks-fx-obj>)");
    Composition* object = world.Create("sparks-fx-obj");
    auto* e = world.Get<ParticleEmitterComponent>(object);
    ASSERT_NE(e, nullptr);
    world.core.SendMessageValues("GraphicsUpdate", 0.1f);
    ASSERT_EQ(Alive(*e), 5);
    EXPECT_EQ(e->GetParticles()[0].position, Vec3(1, 2.5f, 3));

    SerializerLevelSave save;
    save.WriteObject(*object);
    const TiXmlElement* saved = save.Document().FirstChildElement("Level")->FirstChildElement("Objects")
                                    ->FirstChildElement()->FirstChildElement("ParticleEmitterComponent");
    ASSERT_NE(saved, nullptr);
    int fields = 0;
    for (const TiXmlElement* f = saved->FirstChildElement(); f; f = f->NextSiblingElement()) ++fields;
    EXPECT_EQ(fields, 46);  // every key but the empty "TextureSheet"

    world.objects.DestroyObject(object->GetId());
    world.objects.Update(0.0f);
    world.core.SendMessageValues("GraphicsUpdate", 0.1f);  // ASan: no call into the freed emitter
}

}  // namespace
}  // namespace Ostrel
