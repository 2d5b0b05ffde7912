// The light manager: which lights fill the sixteen slots (moving first, a
// window of static lights around the light target when there are too many),
// the lights that reach one object's bounds, the values written, zero
// slots, and light objects without a transform.

#include "engine/graphics/LightManager.h"
#include "engine/graphics/ShaderProgram.h"

#include "tests/engine/components/ComponentWorld.h"
#include "tests/engine/graphics/GraphicsTestSupport.h"
#include "tests/engine/graphics/LightTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

namespace Ostrel {
namespace {

using namespace Ostrel::Testing;
using ComponentTest::ComponentWorld;

std::vector<u32> Range(u32 first, u32 last) {
    std::vector<u32> values(last - first + 1);
    std::iota(values.begin(), values.end(), first);
    return values;
}

// n static lights at x = 0, 1, ... (entered in reverse x order, so the
// window needs the sort); the light ids are 1000 + x.
struct StaticRow {
    StaticRow(LightManager& lights, u32 n) {
        for (u32 i = n; i-- > 0;) lights.AddLight(1000 + i, transforms.At(float(i)), light.get(), false);
    }
    Transforms transforms;
    TestLight light;
};

std::vector<u32> ChosenIds(LightManager& lights, u32 moving) {
    std::vector<u32> ids;
    for (u32 index : lights.ChooseStaticLights(moving)) ids.push_back(lights.GetStaticLights()[index].id - 1000);
    return ids;
}

TEST(LightManager, SlotSelectionFollowsTheMovingFirstAndWindowRules) {
    TestLight light;
    {
        // 20 moving lights: the first 16 fill the slots, no static light.
        LightManager lights;
        Transforms t;
        for (u32 i = 0; i < 20; ++i) lights.AddLight(i + 1, t.At(float(i)), light.get(), true);
        StaticRow row(lights, 3);
        EXPECT_TRUE(lights.ChooseStaticLights(16).empty());
    }
    {
        // 10 static + 6 moving = 16: all of them, no sort even with a target.
        LightManager lights;
        Transforms t;
        StaticRow row(lights, 10);
        for (u32 i = 0; i < 6; ++i) lights.AddLight(i + 1, t.At(0), light.get(), true);
        lights.SetTarget(99, t.At(5));
        EXPECT_EQ(ChosenIds(lights, 6), (std::vector<u32>{9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
        EXPECT_FALSE(lights.IsSorted());
    }
    {
        // 17 lights and no target: list order, the last one left out.
        LightManager lights;
        StaticRow row(lights, 17);
        EXPECT_EQ(ChosenIds(lights, 0), (std::vector<u32>{16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
    }
    {
        // 40 static lights sorted by x; the target between 19 and 20 (k = 20).
        LightManager lights;
        StaticRow row(lights, 40);
        Transforms t;
        lights.SetTarget(99, t.At(19.5f));
        EXPECT_EQ(ChosenIds(lights, 0), Range(12, 27));
        EXPECT_TRUE(lights.IsSorted());
        EXPECT_EQ(ChosenIds(lights, 4), Range(16, 27));  // 4 moving lights
        lights.SetTarget(99, t.At(37.5f));                // k = 38
        EXPECT_EQ(ChosenIds(lights, 0), Range(24, 39));
        lights.SetTarget(99, t.At(3.0f));  // among the first 8: the first 16
        EXPECT_EQ(ChosenIds(lights, 0), Range(0, 15));
    }
    {
        // 30 static lights, the target beyond the largest x (k = 30).
        LightManager lights;
        StaticRow row(lights, 30);
        Transforms t;
        lights.SetTarget(99, t.At(100.0f));
        EXPECT_EQ(ChosenIds(lights, 0), Range(14, 29));
        // Destroying the target object stops the window selection.
        lights.OnObjectDestroyed(99);
        EXPECT_EQ(lights.GetTargetId(), 0u);
        EXPECT_EQ(ChosenIds(lights, 0), Range(0, 15));
        // A removal keeps the order of the rest.
        lights.OnObjectDestroyed(1000 + 3);
        EXPECT_EQ(lights.GetStaticLights()[3].id, 1000u + 4);
    }
}

const char* const kLitShader =
    "struct Light { vec4 color; vec3 attenuation; vec4 pos; };\n"
    "uniform Light lights[16];\n"
    "uniform int num_lights;\n"
    "out vec4 out_color0;\n"
    "void main() { out_color0 = lights[num_lights].color; }\n";

TEST(LightManager, UploadWritesLightValuesAndZeroSlots) {
    RecordingRenderDevice rdv;
    ScratchResources scratch("light-upload", {{"lit-vs.psh", "void main() { gl_Position = vec4(0.0); }\n"},
                                              {"lit-ps.psh", kLitShader}});
    std::lock_guard lock(rdv.device);
    ShaderProgram program("lit");
    ASSERT_TRUE(program.IsValid());
    LightManager lights;
    lights.Initialize();
    ASSERT_EQ(lights.GetSlotHandles().size(), 16u);
    EXPECT_EQ(*lights.GetSlotHandles()[7].attenuation, "lights[7].attenuation");

    // No lights: all sixteen slots are zeros.
    lights.UploadLights(&program);
    rd::Program* device = program.GetDeviceProgram();
    for (int i = 0; i < 16; ++i) {
        const std::string slot = "lights[" + std::to_string(i) + "]";
        EXPECT_EQ(rdv.recording->UniformValues(device, slot + ".color"), (std::vector<float>{0, 0, 0, 0}));
        EXPECT_EQ(rdv.recording->UniformValues(device, slot + ".attenuation"), (std::vector<float>{0, 0, 0}));
        EXPECT_EQ(rdv.recording->UniformValues(device, slot + ".pos"), (std::vector<float>{0, 0, 0, 0}));
    }
    EXPECT_EQ(rdv.recording->UniformValues(device, "num_lights"), (std::vector<float>{0}));

    // One static and one moving light: the moving one first, then the
    // static one, both with w = 1 and the component's values.
    Transforms t;
    TestLight lamp(Vec3(0.5f, 0.25f, 1.0f), Vec3(1.0f, 0.5f, 0.125f));
    TestLight torch(Vec3(1, 0, 0));
    lights.AddLight(5, t.At(1, 2, 3), lamp.get(), false);
    lights.AddLight(6, t.At(-4, 0, 8), torch.get(), true);
    lights.UploadLights(&program);
    EXPECT_EQ(rdv.recording->UniformValues(device, "lights[0].color"), (std::vector<float>{1, 0, 0, 1}));
    EXPECT_EQ(rdv.recording->UniformValues(device, "lights[0].pos"), (std::vector<float>{-4, 0, 8, 1}));
    EXPECT_EQ(rdv.recording->UniformValues(device, "lights[1].color"), (std::vector<float>{0.5f, 0.25f, 1, 1}));
    EXPECT_EQ(rdv.recording->UniformValues(device, "lights[1].attenuation"), (std::vector<float>{1, 0.5f, 0.125f}));
    EXPECT_EQ(rdv.recording->UniformValues(device, "lights[1].pos"), (std::vector<float>{1, 2, 3, 1}));
    EXPECT_EQ(rdv.recording->UniformValues(device, "lights[2].pos"), (std::vector<float>{0, 0, 0, 0}));
    EXPECT_EQ(rdv.recording->UniformValues(device, "num_lights"), (std::vector<float>{2}));  // the loop's end

    // Per mesh: the lights that reach it, and nothing written again while
    // the program holds them; a pass's full upload starts over.
    lights.UploadLightsFor(&program, Vec3(-4, 0, 8), 1);
    EXPECT_EQ(rdv.recording->UniformValues(device, "num_lights"), (std::vector<float>{2}));
    program.SetInt(InternName("num_lights"), 7);  // marks what is written from here on
    lights.UploadLightsFor(&program, Vec3(-4, 0, 9), 1);
    EXPECT_EQ(rdv.recording->UniformValues(device, "num_lights"), (std::vector<float>{7}))
        << "the same lights are not written again";
    lights.UploadLights(&program);
    program.SetInt(InternName("num_lights"), 7);
    lights.UploadLightsFor(&program, Vec3(-4, 0, 9), 1);
    EXPECT_EQ(rdv.recording->UniformValues(device, "num_lights"), (std::vector<float>{2}));
    lights.Shutdown();
}

TEST(LightManager, EachObjectGetsTheLightsThatReachItsBounds) {
    // Reach: where the strongest channel over the attenuation falls to 1/255.
    TestLight pool(Vec3(1, 0.5f, 0.25f), Vec3(0.5f, 0, 0.02f));  // 0.5 + 0.02 d^2 = 255
    TestLight linear(Vec3(0.5f, 0.5f, 0.5f), Vec3(1, 0.5f, 0));  // 1 + 0.5 d = 127.5
    TestLight flat(Vec3(0.35f, 0.35f, 0.4f), Vec3(1, 0, 0));
    TestLight faint(Vec3(0.001f, 0, 0), Vec3(1, 0, 0));
    TestLight broken(Vec3(1, 1, 1), Vec3(0, 0, 0));
    EXPECT_NEAR(LightManager::Reach(*pool.get()), std::sqrt(254.5f / 0.02f), 1e-3f);
    EXPECT_NEAR(LightManager::Reach(*linear.get()), 253.0f, 1e-3f);
    EXPECT_TRUE(std::isinf(LightManager::Reach(*flat.get())));
    EXPECT_LT(LightManager::Reach(*faint.get()), 0.0f);
    EXPECT_LT(LightManager::Reach(*broken.get()), 0.0f);

    // A row of pools 200 apart (reach about 112.8), a moving flat light and
    // a faint one: an object gets the flat light first, then the pools whose
    // reach touches its bounding sphere; never the faint one.
    LightManager lights;
    Transforms t;
    for (int i = 0; i < 10; ++i) lights.AddLight(100 + i, t.At(200.0f * float(i)), pool.get(), false);
    lights.AddLight(1, t.At(5000), flat.get(), true);
    lights.AddLight(2, t.At(400), faint.get(), true);
    const auto ids = [&](float x, float radius) {
        std::vector<u32> got;
        for (const LightManager::LightEntry* e : lights.ChooseLightsFor(Vec3(x, 0, 0), radius)) got.push_back(e->id);
        return got;
    };
    EXPECT_EQ(ids(400, 1), (std::vector<u32>{1, 102}));
    EXPECT_EQ(ids(350, 1), (std::vector<u32>{1, 102}));
    EXPECT_EQ(ids(350, 50), (std::vector<u32>{1, 101, 102}));
    // Far more pools in reach than slots: the nearest sixteen, in list order.
    LightManager crowded;
    for (int i = 0; i < 40; ++i) crowded.AddLight(100 + i, t.At(float(i)), pool.get(), false);
    std::vector<u32> nearest;
    for (const LightManager::LightEntry* e : crowded.ChooseLightsFor(Vec3(39, 0, 0), 1)) nearest.push_back(e->id);
    EXPECT_EQ(nearest, Range(124, 139));
}

TEST(LightManager, ObjectsFileTheirLightsAndALightWithoutTransformIsLoggedOnce) {
    ComponentWorld world(R"(
<lamp><TransformComponent><PosX>2</PosX></TransformComponent><LightComponent/></lamp>
<torch><TransformComponent/><MovementComponent/><LightComponent/></torch>
<loose><LightComponent/></loose>
<player><TransformComponent><PosX>7</PosX></TransformComponent><LightTargetComponent/></player>
)");
    GraphicsLogCapture log;
    LightManager lights;
    Composition* lamp = world.Create("lamp");
    Composition* torch = world.Create("torch");
    Composition* loose = world.Create("loose");
    Composition* player = world.Create("player");
    ASSERT_TRUE(lamp && torch && loose && player);
    for (Composition* object : {lamp, torch, loose, player}) lights.OnObjectCreated(object->GetId());
    lights.OnObjectCreated(loose->GetId());
    ASSERT_EQ(lights.GetStaticLights().size(), 1u);
    EXPECT_EQ(lights.GetStaticLights()[0].id, lamp->GetId());
    ASSERT_EQ(lights.GetMovingLights().size(), 1u);
    EXPECT_EQ(lights.GetMovingLights()[0].id, torch->GetId());
    EXPECT_EQ(lights.GetTargetId(), player->GetId());
    const std::string line = "light object " + std::to_string(loose->GetId()) + " has no TransformComponent";
    const std::size_t first = log.Text().find(line);
    ASSERT_NE(first, std::string::npos) << log.Text();
    EXPECT_EQ(log.Text().find(line, first + 1), std::string::npos);
}

}  // namespace
}  // namespace Ostrel
