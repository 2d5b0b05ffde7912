#include "tests/engine/components/ComponentWorld.h"

#include "engine/components/CollisionComponent.h"
#include "engine/components/MeshComponent.h"
#include "engine/core/MessageComponent.h"
#include "engine/components/MovementComponent.h"
#include "engine/components/PortalComponent.h"
#include "engine/components/RegionComponent.h"
#include "engine/components/DestructibleComponent.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/base/Serializer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace Ostrel::ComponentTest {
namespace {

const char kCollisionArchetypes[] = R"(
<stock-obj>
    <TransformComponent><PosY>2.0</PosY></TransformComponent>
    <MovementComponent><VelX>1.5</VelX><AccelY>-2</AccelY><Gravity>1</Gravity></MovementComponent>
    <CollisionComponent>
        <Shape>0</Shape><Static>0</Static><CollideWithStatics>1</CollideWithStatics>
        <ResolveWithStatics>1</ResolveWithStatics>
    </CollisionComponent>
    <MessageComponent/>
    <PortalComponent><type-name>Exit</type-name></PortalComponent>
    <RegionComponent/>
    <DestructibleComponent/>
    <MeshComponent><MeshID>Cube</MeshID><Color_g>0.5</Color_g></MeshComponent>
</stock-obj>
<ball-obj>
    <TransformComponent/>
    <CollisionComponent><Shape>0</Shape><ShapeName>SPHERE</ShapeName></CollisionComponent>
    <MessageComponent/>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
</ball-obj>
<lower-box-obj>
    <TransformComponent/>
    <CollisionComponent><Shape>1</Shape><ShapeName>box</ShapeName></CollisionComponent>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
</lower-box-obj>
<wide-obj>
    <TransformComponent><RotY>90</RotY><ScaY>3</ScaY></TransformComponent>
    <CollisionComponent><OffsetZ>5</OffsetZ></CollisionComponent>
    <MessageComponent/>
    <MeshComponent><MeshID>Wide</MeshID></MeshComponent>
</wide-obj>
<quiet-obj>
    <TransformComponent/>
    <CollisionComponent/>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
</quiet-obj>
<hollow-obj>
    <TransformComponent/>
    <CollisionComponent/>
    <MeshComponent><MeshID>Empty</MeshID></MeshComponent>
</hollow-obj>
<floating-obj>
    <CollisionComponent/>
    <MessageComponent/>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
</floating-obj>
)";

struct Counter {
    void OnLocal() { ++local; }
    void OnGlobal(unsigned) { ++global; }
    int local = 0;
    int global = 0;
};

void ExpectVolume(const BoundingVolume& v, u32 kind, const Vec3& size, const Vec3& centre) {
    EXPECT_EQ(v.kind, kind);
    EXPECT_NEAR(v.size.x, size.x, 5e-4f);
    EXPECT_NEAR(v.size.y, size.y, 5e-4f);
    EXPECT_NEAR(v.size.z, size.z, 5e-4f);
    EXPECT_NEAR(v.centre.x, centre.x, 1e-5f);
    EXPECT_NEAR(v.centre.y, centre.y, 1e-5f);
    EXPECT_NEAR(v.centre.z, centre.z, 1e-5f);
}

class CollisionComponentTest : public ::testing::Test {
protected:
    ComponentWorld world{kCollisionArchetypes};
};

TEST_F(CollisionComponentTest, ArchetypeWithEveryStockComponentMakesAFittedObject) {
    Composition* object = world.Create("stock-obj");
    ASSERT_NE(object, nullptr);
    auto* movement = world.Get<MovementComponent>(object);
    ASSERT_NE(movement, nullptr);
    EXPECT_EQ(movement->GetVelocity(), Vec3(1.5f, 0, 0));
    EXPECT_EQ(movement->GetAcceleration(), Vec3(0, -2, 0));
    EXPECT_TRUE(movement->HasGravity());
    EXPECT_FALSE(movement->HasDrag());
    EXPECT_EQ(world.Get<PortalComponent>(object)->GetType(), kPortalExit);
    EXPECT_NE(world.Get<RegionComponent>(object), nullptr);
    EXPECT_NE(world.Get<DestructibleComponent>(object), nullptr);
    auto* mesh = world.Get<MeshComponent>(object);
    EXPECT_EQ(mesh->GetMesh(), world.meshes.FindMesh("Cube"));
    EXPECT_EQ(mesh->GetTint().y, 0.5f);

    auto* collider = world.Get<CollisionComponent>(object);
    ExpectVolume(collider->GetVolume(), kShapeBox, Vec3(1, 1, 1), Vec3(0, 0, 0));
    EXPECT_FALSE(collider->GetFlags().isStatic);
    EXPECT_TRUE(collider->GetFlags().collideWithStatics);
    EXPECT_TRUE(collider->GetFlags().resolveWithStatics);
    EXPECT_FALSE(collider->GetFlags().collideWithDynamics);
    EXPECT_EQ(collider->GetCachedTransform(), object->GetTransform());
    EXPECT_EQ(collider->GetMin(), Vec3(-0.5f, 1.5f, -0.5f));
    EXPECT_EQ(collider->GetMax(), Vec3(0.5f, 2.5f, 0.5f));

    // "ShapeName" is read after "Shape" and wins; any text but "SPHERE" is a box.
    auto* ball = world.Get<CollisionComponent>(world.Create("ball-obj"));
    EXPECT_EQ(ball->GetShape(), kShapeSphere);
    ExpectVolume(ball->GetVolume(), kShapeSphere, Vec3(0.866f, 0.866f, 0.866f), Vec3(0, 0, 0));
    EXPECT_EQ(world.Get<CollisionComponent>(world.Create("lower-box-obj"))->GetShape(), kShapeBox);
}

TEST_F(CollisionComponentTest, VolumeMethodShapesTheHorizontalExtentsOnly) {
    // The mesh is 4 wide and 2 deep; the transform's y scale 3 applies, its
    // 90-degree turn does not, and the offset moves the centre.
    struct Case {
        const char* text;
        float x, z;
    } cases[] = {{"MINIMUM", 2, 2}, {"MAXIMUM", 4, 4}, {"AVERAGE", 3, 3}, {"DEFAULT", 4, 2}};
    Composition* object = world.Create("wide-obj");
    auto* collider = world.Get<CollisionComponent>(object);
    ExpectVolume(collider->GetVolume(), kShapeBox, Vec3(4, 3, 2), Vec3(0, 0, 5));
    for (const Case& c : cases) {
        TextSerializer reader(true);
        reader.values["VolumeMethod"] = c.text;
        collider->Serialize(&reader);
        collider->FitVolume();
        ExpectVolume(collider->GetVolume(), kShapeBox, Vec3(c.x, 3, c.z), Vec3(0, 0, 5));
    }
    // Other words, lower case included, keep the method (DEFAULT from the last case).
    TextSerializer reader(true);
    reader.values["VolumeMethod"] = "minimum";
    collider->Serialize(&reader);
    EXPECT_EQ(collider->GetVolumeMethod(), kVolumeDefault);

    // Scale multiplies the transform's scale.
    collider->SetScale(2.0f);
    collider->FitVolume();
    ExpectVolume(collider->GetVolume(), kShapeBox, Vec3(8, 6, 4), Vec3(0, 0, 5));
}

TEST_F(CollisionComponentTest, SerializeReadsAndWritesWithoutRefitting) {
    auto* collider = world.Get<CollisionComponent>(world.Create("ball-obj"));
    TextSerializer writer(false);
    collider->Serialize(&writer);
    EXPECT_EQ(writer.written,
              (std::vector<std::string>{"Shape=1", "ShapeName=", "Static=1", "CollideWithDynamics=0",
                                        "CollideWithStatics=0", "ResolveWithDynamics=0",
                                        "ResolveWithStatics=0", "Scale=1.000000", "OffsetX=0.000000",
                                        "OffsetY=0.000000", "OffsetZ=0.000000", "VolumeMethod="}))
        << "the text forms are handed over empty, so they are never written";

    TextSerializer reader(true);
    reader.values = {{"ShapeName", "BOX"}, {"Scale", "3"}, {"ResolveWithDynamics", "1"}};
    collider->Serialize(&reader);
    EXPECT_EQ(collider->GetShape(), kShapeBox);
    EXPECT_TRUE(collider->GetFlags().resolveWithDynamics);
    ExpectVolume(collider->GetVolume(), kShapeSphere, Vec3(0.866f, 0.866f, 0.866f), Vec3(0, 0, 0));
}

TEST_F(CollisionComponentTest, TransformChangesRefitThroughTheObjectsOwnMessages) {
    Composition* object = world.Create("stock-obj");
    auto* collider = world.Get<CollisionComponent>(object);
    Counter counter;
    object->Listen("TransformUpdated", MakeDelegate(&counter, &Counter::OnLocal));
    world.core.Listen("TransformUpdated", MakeDelegate(&counter, &Counter::OnGlobal));

    Panel panel;
    object->GetTransform()->ExposeProperties(&panel);
    *panel.floats.at("PosX") = 7.0f;  // a plain field: announces nothing
    EXPECT_EQ(counter.local + counter.global, 0);
    panel.Set("RotY", 45.0f);
    EXPECT_EQ(counter.local, 1);
    EXPECT_EQ(counter.global, 1);
    ExpectVolume(collider->GetVolume(), kShapeBox, Vec3(1, 1, 1), Vec3(0, 0, 0));  // rotation ignored
    panel.Set("ScaX", 2.0f);
    ExpectVolume(collider->GetVolume(), kShapeBox, Vec3(2, 1, 1), Vec3(0, 0, 0));

    object->GetTransform()->SetScale(Vec3(1, 4, 1));
    object->Send("TransformUpdated");
    ExpectVolume(collider->GetVolume(), kShapeBox, Vec3(1, 4, 1), Vec3(0, 0, 0));

    // Without a MessageComponent the collider caches its transform but never refits.
    Composition* quiet = world.Create("quiet-obj");
    auto* quietCollider = world.Get<CollisionComponent>(quiet);
    EXPECT_TRUE(quietCollider->HasTransform());
    quiet->GetTransform()->SetScale(Vec3(5, 5, 5));
    quiet->GetTransform()->NotifyUpdated();
    ExpectVolume(quietCollider->GetVolume(), kShapeBox, Vec3(1, 1, 1), Vec3(0, 0, 0));
}

TEST_F(CollisionComponentTest, EditorShapeNameRefitsAndTheOtherFieldsDoNot) {
    Composition* object = world.Create("stock-obj");
    auto* collider = world.Get<CollisionComponent>(object);
    Panel panel;
    collider->ExposeProperties(&panel);
    EXPECT_EQ(panel.entries,
              (std::vector<std::string>{"callback4 ShapeName", "callback0 Shape", "bool Static",
                                        "bool CollideWithDynamics", "bool CollideWithStatics",
                                        "bool ResolveWithDynamics", "bool ResolveWithStatics", "float Scale",
                                        "float OffsetX", "float OffsetY", "float OffsetZ"}));
    EXPECT_EQ(panel.Get<std::string>("ShapeName"), "BOX");
    panel.Set("ShapeName", std::string("SPHERE"));
    EXPECT_EQ(panel.Get<std::string>("ShapeName"), "SPHERE");
    EXPECT_EQ(panel.Get<int>("Shape"), 1);
    ExpectVolume(collider->GetVolume(), kShapeSphere, Vec3(0.866f, 0.866f, 0.866f), Vec3(0, 0, 0));

    panel.Set("Shape", 0);
    *panel.floats.at("Scale") = 4.0f;
    EXPECT_EQ(collider->GetShape(), kShapeBox);
    EXPECT_EQ(collider->GetVolume().kind, kShapeSphere) << "only ShapeName refits";
}

TEST_F(CollisionComponentTest, ClonesEmptyMeshesAndMissingTransformsStaySafe) {
    // A clone caches its own transform, never the source's.
    Composition* source = world.Create("stock-obj");
    Composition* clone = world.objects.GetObject(world.objects.CloneObject(source->GetId()));
    ASSERT_NE(clone, nullptr);
    auto* cloneCollider = world.Get<CollisionComponent>(clone);
    EXPECT_EQ(cloneCollider->GetCachedTransform(), clone->GetTransform());
    EXPECT_NE(cloneCollider->GetCachedTransform(), source->GetTransform());
    Component* loose = world.Get<CollisionComponent>(source)->Clone();
    EXPECT_FALSE(static_cast<CollisionComponent*>(loose)->HasTransform());
    world.factory.DestroyComponent(loose);

    // A mesh without vertices keeps the previous volume (no infinite extents):
    // zero for a new object, the last fit for a fitted one.
    world.meshes.meshes["Empty"];
    ExpectVolume(world.Get<CollisionComponent>(world.Create("hollow-obj"))->GetVolume(), kShapeBox, Vec3(),
                 Vec3());
    auto* collider = world.Get<CollisionComponent>(source);
    world.Get<MeshComponent>(source)->SetMesh("Empty");
    collider->FitVolume();
    ExpectVolume(collider->GetVolume(), kShapeBox, Vec3(1, 1, 1), Vec3(0, 0, 0));
    world.Get<MeshComponent>(source)->SetMesh("NoSuchMesh");
    collider->FitVolume();
    ExpectVolume(collider->GetVolume(), kShapeBox, Vec3(1, 1, 1), Vec3(0, 0, 0));

    // Without a transform the collider is fitted at scale 1, logged, and has
    // no place in the world.
    Composition* floating = world.Create("floating-obj");
    auto* floatingCollider = world.Get<CollisionComponent>(floating);
    EXPECT_FALSE(floatingCollider->HasTransform());
    EXPECT_NE(world.log.find("('floating-obj') has no TransformComponent"), std::string::npos) << world.log;
    EXPECT_EQ(floatingCollider->GetMax(), Vec3(0.5f, 0.5f, 0.5f));
}

}  // namespace
}  // namespace Ostrel::ComponentTest
