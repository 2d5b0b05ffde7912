#include "engine/graphics/models/MeshManagerLookup.h"

#include "tests/engine/components/ComponentWorld.h"

#include "engine/components/CollisionComponent.h"
#include "engine/graphics/models/Mesh.h"
#include "engine/graphics/models/MeshBuilders.h"
#include "engine/graphics/models/MeshManager.h"

#include <gtest/gtest.h>

namespace Ostrel {
namespace {

const char kArchetypes[] = R"(
<cube-box-obj>
    <TransformComponent><ScaY>2</ScaY></TransformComponent>
    <CollisionComponent/>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
</cube-box-obj>
<cube-ball-obj>
    <TransformComponent/>
    <CollisionComponent><ShapeName>SPHERE</ShapeName></CollisionComponent>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
</cube-ball-obj>
<ball-box-obj>
    <TransformComponent/>
    <CollisionComponent/>
    <MeshComponent><MeshID>Sphere</MeshID></MeshComponent>
</ball-box-obj>
)";

TEST(MeshManagerLookup, CollidersFitThePrimitiveMeshesRealVertices) {
    ComponentTest::ComponentWorld world(kArchetypes);
    MeshManager meshes;
    BuildCubeMesh(meshes.Create("Cube"), 1, 1);
    BuildSphereMesh(meshes.Create("Sphere"), 15, 15);
    MeshManagerLookup lookup(meshes);
    ASSERT_EQ(MeshLookup::Current(), &lookup);

    // The collider looks its mesh up by name at every fit, so it reads the
    // registry installed now ("Sphere" exists only there).
    Composition* cube = world.Create("cube-box-obj");
    const BoundingVolume& box = cube->GetComponentAs<CollisionComponent>()->GetVolume();
    EXPECT_EQ(box.kind, kShapeBox);
    EXPECT_FLOAT_EQ(box.size.x, 1.0f);
    EXPECT_FLOAT_EQ(box.size.y, 2.0f);
    EXPECT_FLOAT_EQ(box.size.z, 1.0f);
    EXPECT_EQ(box.centre, Vec3(0, 0, 0));

    const BoundingVolume& ball = world.Create("cube-ball-obj")->GetComponentAs<CollisionComponent>()->GetVolume();
    EXPECT_EQ(ball.kind, kShapeSphere);
    EXPECT_NEAR(ball.size.x, 0.866f, 5e-4f);

    // The sphere's rings touch y = +-0.5; its widest ring reaches close to 0.5 in x and z.
    const BoundingVolume& round = world.Create("ball-box-obj")->GetComponentAs<CollisionComponent>()->GetVolume();
    EXPECT_NEAR(round.size.y, 1.0f, 1e-5f);
    EXPECT_NEAR(round.size.x, 1.0f, 0.02f);
    EXPECT_LE(round.size.x, 1.0f + 1e-5f);
}

}  // namespace
}  // namespace Ostrel
