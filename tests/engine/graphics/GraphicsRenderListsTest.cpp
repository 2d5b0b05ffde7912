// Filing of announced objects into the graphics system's render lists, the
// volume hierarchy taking static meshes only while a level loads, the first
// camera, removal on destruction, and the two drawing orders.

#include "engine/components/MeshComponent.h"
#include "engine/core/ComponentFactory.h"
#include "engine/core/PlaceholderComponent.h"
#include "engine/core/TransformComponent.h"
#include "engine/graphics/Graphics.h"
#include "engine/physics/HbvManager.h"

#include "tests/engine/components/ComponentWorld.h"

#include <gtest/gtest.h>

namespace Ostrel {
namespace {

using ComponentTest::ComponentWorld;
using Ids = std::vector<u32>;

constexpr u32 kEmitterId = FourCC("Emit");

const char kArchetypes[] = R"(
<static-obj><TransformComponent/><MeshComponent><MeshID>Cube</MeshID></MeshComponent></static-obj>
<wide-obj><TransformComponent/><MeshComponent><MeshID>Wide</MeshID></MeshComponent></wide-obj>
<important-obj><TransformComponent/><MeshComponent><MeshID>Wide</MeshID><IsImportant>1</IsImportant></MeshComponent></important-obj>
<mover-obj><TransformComponent/><MovementComponent/><MeshComponent><MeshID>Cube</MeshID></MeshComponent></mover-obj>
<barrel-obj><TransformComponent/><DestructibleComponent/><MeshComponent><MeshID>Cube</MeshID></MeshComponent></barrel-obj>
<animated-obj><TransformComponent/><MeshComponent><MeshID>Wide</MeshID></MeshComponent><FidgetComponent/></animated-obj>
<camera-obj><TransformComponent/><CameraComponent/></camera-obj>
<blended-obj><TransformComponent/><ShadowComponent/><TransparentPlaneComponent/><AimerComponent/></blended-obj>
<billboard-obj><TransformComponent/><StaticBillboardComponent/></billboard-obj>
)";

struct Scene {
    Scene() {
        hbv.Initialize();
        graphics.Create();
        if (!world.factory.IsRegistered(kEmitterId)) {
            world.factory.AddComponentType(new ComponentFactory<PlaceholderComponent<kEmitterId>>(kEmitterId),
                                           kEmitterId, "TestEmitter");
        }
    }
    ~Scene() {
        graphics.Shutdown();
        hbv.Shutdown();
    }
    // A new object, announced at once (the object manager's next update).
    u32 Place(const std::string& archetype, const Vec3& position = Vec3(0, 0, 0), bool emitter = false) {
        Composition* object = world.Create(archetype);
        object->GetTransform()->SetPosition(position);
        if (emitter) object->AddComponent(world.factory.CreateComponent(kEmitterId));
        world.objects.Update(0.0f);
        return object->GetId();
    }
    void Destroy(u32 id) {
        world.objects.DestroyObject(id);
        world.objects.Update(0.0f);
    }
    ComponentWorld world{kArchetypes};
    HbvManager hbv;
    Graphics graphics;
};

TEST(GraphicsRenderLists, TheHierarchyTakesStaticMeshesOnlyWhileALevelLoads) {
    {
    Scene s;
    s.world.core.Send("LevelLoadStarted");
    const u32 staticId = s.Place("static-obj");
    // Left to the hierarchy, but the draw list is still marked for sorting.
    EXPECT_TRUE(s.graphics.GetDrawList().empty());
    EXPECT_FALSE(s.graphics.IsDrawListSorted());
    const u32 important = s.Place("important-obj");
    const u32 mover = s.Place("mover-obj");
    const u32 barrel = s.Place("barrel-obj");
    EXPECT_EQ(s.graphics.GetDrawList(), (Ids{important, mover, barrel}));
    s.world.core.Send("LevelLoaded");
    const u32 spawned = s.Place("static-obj");
    EXPECT_EQ(s.graphics.GetDrawList(), (Ids{important, mover, barrel, spawned}));
    s.graphics.Update(0.0f);
    EXPECT_TRUE(s.graphics.IsDrawListSorted());
    EXPECT_EQ(s.graphics.GetDrawList().front(), important);

    // Destroying removes the first equal id and keeps the rest in order;
    // the hierarchy's object was never in the list.
    s.Destroy(staticId);
    s.Destroy(mover);
    Ids rest = s.graphics.GetDrawList();
    EXPECT_EQ(rest.size(), 3u);
    EXPECT_EQ(std::count(rest.begin(), rest.end(), mover), 0);

    }
    // With the hierarchy off, every mesh object is drawn from the list.
    Scene off;
    ComponentTest::TextSerializer config(true);
    config.values = {{"UseHBV", "0"}};
    off.graphics.LoadConfig(&config);
    off.world.core.Send("LevelLoadStarted");
    const u32 drawn = off.Place("static-obj");
    EXPECT_EQ(off.graphics.GetDrawList(), (Ids{drawn}));
}

TEST(GraphicsRenderLists, EachDrawableKindHasItsListAndTheFirstCameraWins) {
    Scene s;
    EXPECT_EQ(s.graphics.GetCameraId(), 0u);
    const u32 camera = s.Place("camera-obj");
    const u32 second = s.Place("camera-obj");
    EXPECT_EQ(s.graphics.GetCameraId(), camera);
    const u32 a = s.Place("blended-obj");
    const u32 b = s.Place("blended-obj", Vec3(0, 0, 0), true);
    const u32 sprite = s.Place("billboard-obj");
    EXPECT_FALSE(s.graphics.IsBillboardListSorted());
    EXPECT_EQ(s.graphics.GetShadowList(), (Ids{a, b}));
    EXPECT_EQ(s.graphics.GetTransparentPlaneList(), (Ids{a, b}));
    EXPECT_EQ(s.graphics.GetAimerList(), (Ids{a, b}));
    EXPECT_EQ(s.graphics.GetEmitterList(), (Ids{b}));
    EXPECT_EQ(s.graphics.GetBillboardList(), (Ids{sprite}));
    EXPECT_TRUE(s.graphics.GetDrawList().empty());
    EXPECT_TRUE(s.graphics.IsDrawListSorted());

    s.Destroy(a);
    s.Destroy(b);
    s.Destroy(sprite);
    for (const Ids* list : {&s.graphics.GetShadowList(), &s.graphics.GetTransparentPlaneList(),
                            &s.graphics.GetAimerList(), &s.graphics.GetEmitterList(), &s.graphics.GetBillboardList()}) {
        EXPECT_TRUE(list->empty());
    }
    // Losing the current camera leaves none until "CameraChange" names one.
    s.Destroy(camera);
    EXPECT_EQ(s.graphics.GetCameraId(), 0u);
    s.world.core.SendMessageValues("CameraChange", second);
    EXPECT_EQ(s.graphics.GetCameraId(), second);
}

TEST(GraphicsRenderLists, DrawOrdersPutImportantAnimatedAndSharedMeshesTogether) {
    Scene s;
    const u32 cube1 = s.Place("static-obj");
    const u32 wide1 = s.Place("wide-obj");
    const u32 animated = s.Place("animated-obj");
    const u32 cube2 = s.Place("mover-obj");
    const u32 important = s.Place("important-obj");
    const u32 wide2 = s.Place("wide-obj");
    s.graphics.Update(0.0f);
    const Ids& list = s.graphics.GetDrawList();
    ASSERT_EQ(list.size(), 6u);
    EXPECT_EQ(list[0], important);
    EXPECT_EQ(list[1], animated);
    // The static objects come in two runs, one per mesh.
    const Ids rest(list.begin() + 2, list.end());
    const auto pos = [&](u32 id) { return std::find(rest.begin(), rest.end(), id) - rest.begin(); };
    EXPECT_EQ(std::abs(pos(cube1) - pos(cube2)), 1);
    EXPECT_EQ(std::abs(pos(wide1) - pos(wide2)), 1);
    EXPECT_FALSE(Graphics::CompareRenderOrderByMesh(animated, important));
    EXPECT_FALSE(Graphics::CompareRenderOrderByMesh(cube1, cube1));

    // Billboards: the largest z first, equal z by the smaller y.
    const u32 near = s.Place("billboard-obj", Vec3(0, 0, 1));
    const u32 far = s.Place("billboard-obj", Vec3(0, 0, 9));
    const u32 low = s.Place("billboard-obj", Vec3(0, -2, 5));
    const u32 high = s.Place("billboard-obj", Vec3(0, 3, 5));
    s.graphics.Update(0.0f);
    EXPECT_EQ(s.graphics.GetBillboardList(), (Ids{far, low, high, near}));
    EXPECT_TRUE(s.graphics.IsBillboardListSorted());
}

}  // namespace
}  // namespace Ostrel
