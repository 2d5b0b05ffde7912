#include "engine/physics/ShapeTests.h"

#include "tests/engine/components/ComponentWorld.h"

#include "engine/components/CollisionComponent.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/TransformComponent.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <vector>

namespace Ostrel {
namespace {

BoundingVolume Box(const Vec3& size, const Vec3& centre = Vec3()) { return {size, centre, kShapeBox}; }
BoundingVolume Sphere(float size) { return {Vec3(size, size, size), Vec3(), kShapeSphere}; }
Ray MakeRay(const Vec3& origin, const Vec3& direction) { return {Vec4(origin, 1.0f), Vec4(direction, 0.0f)}; }

TEST(ShapeOverlaps, TouchingBoxesAndSpheresOverlapButABoxTouchingASphereDoesNot) {
    const BoundingVolume unit = Box(Vec3(1, 1, 1));
    EXPECT_TRUE(BoxOverlapsBox(unit, Vec3(0, 0, 0), unit, Vec3(1, 0, 0)));
    EXPECT_FALSE(BoxOverlapsBox(unit, Vec3(0, 0, 0), unit, Vec3(0, 1.001f, 0)));
    EXPECT_TRUE(BoxOverlapsBox(Box(Vec3(1, 1, 1), Vec3(5, 0, 0)), Vec3(), unit, Vec3(5.5f, 0, 0)))
        << "the volume centre moves the box";

    const BoundingVolume ball = Sphere(1.0f);  // radius 0.5
    EXPECT_FALSE(BoxOverlapsSphere(unit, Vec3(), ball, Vec3(1, 0, 0)));
    EXPECT_TRUE(BoxOverlapsSphere(unit, Vec3(), ball, Vec3(0.99f, 0, 0)));
    EXPECT_TRUE(VolumesOverlap(ball, Vec3(0.99f, 0, 0), unit, Vec3())) << "either order";
    EXPECT_TRUE(SphereOverlapsSphere(ball, Vec3(), ball, Vec3(0, 0, 1)));
    EXPECT_FALSE(VolumesOverlap(ball, Vec3(), ball, Vec3(0, 0, 1.01f)));

    BoundingVolume never = unit;
    never.kind = kShapeNoOverlap;
    EXPECT_FALSE(VolumesOverlap(never, Vec3(), unit, Vec3()));
    EXPECT_FALSE(VolumesOverlap(ball, Vec3(), never, Vec3()));
}

TEST(RayTests, SlabAndSphereTestsFollowTheirEdgeRules) {
    const BoundingVolume box = Box(Vec3(2, 2, 2));
    float t = -1.0f;
    // A direction component below 0.001 skips that axis when the origin lies within it.
    EXPECT_TRUE(RayHitsVolume(MakeRay(Vec3(-5, 0.2f, 0), Vec3(1, 0.0005f, 0)), box, Vec3(), t));
    EXPECT_FLOAT_EQ(t, 4.0f);
    EXPECT_FALSE(RayHitsVolume(MakeRay(Vec3(-5, 3, 0), Vec3(1, 0.0005f, 0)), box, Vec3(), t));
    EXPECT_TRUE(RayHitsVolume(MakeRay(Vec3(-5, 0, 0), Vec3(2, 0, 0)), box, Vec3(), t));
    EXPECT_FLOAT_EQ(t, 2.0f) << "the slab t is the ray parameter";
    EXPECT_TRUE(RayHitsVolume(MakeRay(Vec3(0.5f, 0, 0), Vec3(0, 0, 1)), box, Vec3(), t));
    EXPECT_EQ(t, 0.0f);
    EXPECT_FALSE(RayHitsVolume(MakeRay(Vec3(-5, 0, 0), Vec3(-1, 0, 0)), box, Vec3(), t));

    const BoundingVolume ball = Sphere(2.0f);  // radius 1
    const Vec3 at(10, 0, 0);
    EXPECT_TRUE(RayHitsVolume(MakeRay(Vec3(5, 0, 0), Vec3(1, 0, 0)), ball, at, t));
    EXPECT_FLOAT_EQ(t, 4.0f);
    EXPECT_TRUE(RayHitsVolume(MakeRay(Vec3(5, 0, 0), Vec3(2, 0, 0)), ball, at, t));
    EXPECT_FLOAT_EQ(t, 8.0f) << "not divided by direction . direction";
    EXPECT_TRUE(RayHitsVolume(MakeRay(Vec3(10.2f, 0, 0), Vec3(1, 0, 0)), ball, at, t));
    EXPECT_EQ(t, 0.0f) << "from inside";
    EXPECT_FALSE(RayHitsVolume(MakeRay(Vec3(5, 0, 0), Vec3(-1, 0, 0)), ball, at, t)) << "pointing away";
    EXPECT_FALSE(RayHitsVolume(MakeRay(Vec3(5, 1, 0), Vec3(1, 0, 0)), ball, at, t)) << "grazing";

    BoundingVolume never = ball;
    never.kind = kShapeNoOverlap;
    EXPECT_FALSE(RayHitsVolume(MakeRay(Vec3(5, 0, 0), Vec3(1, 0, 0)), never, at, t));
}

TEST(RayTests, FacesPlanesAndTriangles) {
    // Faces: the nearest plane ahead, or FLT_MAX and still true.
    const BoundingVolume box = Box(Vec3(2, 4, 6), Vec3(0, 1, 0));
    float t = -1.0f;
    EXPECT_TRUE(RayHitsVolumeFaces(MakeRay(Vec3(10, 1, 0), Vec3(1, 0, 0)), box, Vec3(10, 0, 0), t));
    EXPECT_FLOAT_EQ(t, 1.0f);
    EXPECT_TRUE(RayHitsVolumeFaces(MakeRay(Vec3(10, 1, 0), Vec3(0, 0, 2)), box, Vec3(10, 0, 0), t));
    EXPECT_FLOAT_EQ(t, 1.5f);
    EXPECT_TRUE(RayHitsVolumeFaces(MakeRay(Vec3(30, 30, 30), Vec3(1, 1, 1)), box, Vec3(10, 0, 0), t));
    EXPECT_EQ(t, FLT_MAX);
    EXPECT_FALSE(RayHitsVolumeFaces(MakeRay(Vec3(), Vec3(1, 0, 0)), Sphere(1), Vec3(), t));

    // Plane y = 0.
    const Vec4 ground(0, 1, 0, 0);
    EXPECT_TRUE(RayHitsPlane(MakeRay(Vec3(0, 5, 0), Vec3(0, -2, 0)), ground, t));
    EXPECT_FLOAT_EQ(t, 2.5f);
    EXPECT_FALSE(RayHitsPlane(MakeRay(Vec3(0, 5, 0), Vec3(1, -0.0005f, 0)), ground, t)) << "parallel";
    EXPECT_FALSE(RayHitsPlane(MakeRay(Vec3(0, 5, 0), Vec3(0, 1, 0)), ground, t)) << "behind";
    EXPECT_TRUE(RayHitsPlane(MakeRay(Vec3(0, 0.0005f, 0), Vec3(0, 1, 0)), ground, t)) << "within tolerance";
    EXPECT_FALSE(RayHitsPlane(MakeRay(Vec3(0, 5, 0), Vec3()), ground, t)) << "no direction";

    // Triangle: inside hits; an edge or a corner misses; so does a degenerate one.
    const Vec3 a(0, 0, 0), b(2, 0, 0), c(0, 2, 0);
    const Vec3 ahead(0, 0, 1);
    EXPECT_TRUE(RayHitsTriangle(MakeRay(Vec3(0.5f, 0.5f, -1), ahead), a, b, c, t));
    EXPECT_FLOAT_EQ(t, 1.0f);
    EXPECT_TRUE(RayHitsTriangle(MakeRay(Vec3(0.5f, 0.5f, -1), ahead), c, b, a, t)) << "either winding";
    EXPECT_FALSE(RayHitsTriangle(MakeRay(Vec3(1, 0, -1), ahead), a, b, c, t));
    EXPECT_FALSE(RayHitsTriangle(MakeRay(Vec3(1, 1, -1), ahead), a, b, c, t));
    EXPECT_FALSE(RayHitsTriangle(MakeRay(Vec3(0, 0, -1), ahead), a, b, c, t));
    EXPECT_FALSE(RayHitsTriangle(MakeRay(Vec3(0.5f, 0.5f, -1), ahead), a, b, Vec3(4, 0, 0), t));
}

TEST(RayTests, TriangleListsAndStripsReadOnlyCompleteTrianglesWithinTheVertices) {
    // A unit quad at z = 0 (0: (0,0), 1: (1,0), 2: (0,1), 3: (1,1)) and one
    // vertex at z = 5 in front of it.
    const std::vector<Vec3> vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, 0, -5}};
    const Ray first = MakeRay(Vec3(0.25f, 0.25f, -1), Vec3(0, 0, 1));   // only triangle 0 1 2
    const Ray second = MakeRay(Vec3(0.75f, 0.75f, -1), Vec3(0, 0, 1));  // only triangle 1 2 3
    auto hits = [&](const Ray& ray, std::vector<u16> indices, u32 layout, float& nearest) {
        // Exactly sized, so any read past the end is caught by the sanitizer.
        return RayHitsTriangles(ray, vertices, std::span<const u16>(indices.data(), indices.size()), layout,
                                nearest);
    };
    float nearest = 0.0f;
    EXPECT_TRUE(hits(second, {0, 1, 2, 3}, kTriangleStrip, nearest)) << "a strip of 4 makes 2 triangles";
    EXPECT_FLOAT_EQ(nearest, 1.0f);
    EXPECT_TRUE(hits(first, {0, 1, 2, 3}, kTriangleStrip, nearest));
    EXPECT_FALSE(hits(second, {0, 1, 2, 3}, kTriangleList, nearest)) << "a list of 4 makes 1 triangle";
    EXPECT_EQ(nearest, FLT_MAX);
    EXPECT_TRUE(hits(first, {0, 1, 2, 3}, kTriangleList, nearest));

    // The nearest of several hits; indices past the vertex list are skipped.
    EXPECT_TRUE(hits(first, {0, 1, 2, 4, 1, 2, 9, 1, 2}, kTriangleList, nearest));
    EXPECT_FLOAT_EQ(nearest, 1.0f);
    EXPECT_FALSE(hits(first, {9, 1, 2, 1, 2, 900}, kTriangleStrip, nearest));

    for (u32 layout : {0u, 1u, 7u}) {
        EXPECT_FALSE(hits(first, {}, layout, nearest));
        EXPECT_FALSE(hits(first, {0, 1}, layout, nearest));
        EXPECT_EQ(nearest, FLT_MAX);
    }
    EXPECT_FALSE(hits(first, {0, 1, 2}, 7, nearest)) << "unknown layout";
}

const char kSweptArchetypes[] = R"(
<mover-obj>
    <TransformComponent/>
    <MovementComponent/>
    <CollisionComponent><Static>0</Static><ResolveWithStatics>1</ResolveWithStatics></CollisionComponent>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
</mover-obj>
<ghost-obj>
    <TransformComponent/>
    <MovementComponent/>
    <CollisionComponent><Static>0</Static><ResolveWithStatics>1</ResolveWithStatics></CollisionComponent>
</ghost-obj>
<wall-obj>
    <TransformComponent/>
    <CollisionComponent><ResolveWithDynamics>1</ResolveWithDynamics></CollisionComponent>
    <MeshComponent><MeshID>Wall</MeshID></MeshComponent>
</wall-obj>
)";

class SweptLevelGeometry : public ::testing::Test {
protected:
    SweptLevelGeometry() {
        world.meshes.meshes["Wall"] = ComponentTest::BoxCorners(Vec3(0.2f, 4, 4));
        mover = world.Create("mover-obj");
        wall = world.Create("wall-obj");
    }
    // Moves the mover from previous to position at velocity and runs the test.
    bool Sweep(Composition* object, const Vec3& previous, const Vec3& position, bool overlap) {
        object->GetTransform()->SetPreviousPosition(previous);
        object->GetTransform()->SetPosition(position);
        object->GetComponentAs<MovementComponent>()->SetVelocity(Vec3(30, 0, 0));
        return SweptLevelGeometryTest(*object->GetComponentAs<CollisionComponent>(),
                                      *wall->GetComponentAs<CollisionComponent>(), overlap);
    }

    ComponentTest::ComponentWorld world{kSweptArchetypes};
    Composition* mover = nullptr;
    Composition* wall = nullptr;
};

TEST_F(SweptLevelGeometry, FastMoverThroughAThinWallIsPutBackWithAUnitVelocity) {
    EXPECT_TRUE(Sweep(mover, Vec3(-3, 0, 0), Vec3(3, 0, 0), false));
    EXPECT_EQ(mover->GetTransform()->GetPosition(), Vec3(-3, 0, 0));
    EXPECT_NEAR(mover->GetComponentAs<MovementComponent>()->GetVelocity().Length(), 1.0f, 1e-6f);

    // Slow movers (no more than half the wall's thickness) keep the plain result.
    EXPECT_TRUE(Sweep(mover, Vec3(-0.65f, 0, 0), Vec3(-0.6f, 0, 0), true));
    EXPECT_FALSE(Sweep(mover, Vec3(-0.65f, 0, 0), Vec3(-0.6f, 0, 0), false));
    EXPECT_EQ(mover->GetTransform()->GetPosition(), Vec3(-0.6f, 0, 0));

    // A fast path that passes beside the wall, or a wall beyond this frame's
    // reach, adds no contact: the plain overlap result stands, and the mover
    // stays where it went.
    EXPECT_FALSE(Sweep(mover, Vec3(-3, 0, 9), Vec3(3, 0, 9), false));
    EXPECT_FALSE(Sweep(mover, Vec3(-9, 0, 0), Vec3(-5, 0, 0), false));
    EXPECT_TRUE(Sweep(mover, Vec3(-9, 0, 0), Vec3(-5, 0, 0), true));
    EXPECT_EQ(mover->GetTransform()->GetPosition(), Vec3(-5, 0, 0));
}

// A mover whose box stands on its origin (a model with its feet at its
// position) dashing along the top of a floor slab is cast from its box's
// centre: the cast adds no contact with the floor under its feet, so the
// dash keeps its speed, but the floor it overlaps stays a contact (a dash or
// a knockback must not drop the player through the slab). Falling fast
// through the slab is still caught.
TEST_F(SweptLevelGeometry, AMoverStandingOnItsOriginSlidesAlongAFloor) {
    std::vector<Vec3> standing = ComponentTest::BoxCorners(Vec3(1, 1.8f, 1));
    for (Vec3& corner : standing) corner.y += 0.9f;
    world.meshes.meshes["Cube"] = standing;
    world.meshes.meshes["Wall"] = ComponentTest::BoxCorners(Vec3(8, 0.2f, 4));
    Composition* walker = world.Create("mover-obj");
    wall = world.Create("wall-obj");
    wall->GetTransform()->SetPosition(Vec3(0, -0.1f, 0));
    EXPECT_FALSE(Sweep(walker, Vec3(-1.5f, 0, 0), Vec3(1.5f, 0, 0), false));
    EXPECT_EQ(walker->GetTransform()->GetPosition(), Vec3(1.5f, 0, 0));
    EXPECT_FLOAT_EQ(walker->GetComponentAs<MovementComponent>()->GetVelocity().x, 30.0f);
    // Sunk a little into the slab while sliding: still standing on it.
    walker->GetTransform()->SetPosition(Vec3(1.5f, -0.05f, 0));
    EXPECT_TRUE(Sweep(walker, Vec3(-1.5f, -0.05f, 0), Vec3(1.5f, -0.05f, 0), true));
    EXPECT_EQ(walker->GetTransform()->GetPosition(), Vec3(1.5f, -0.05f, 0));
    EXPECT_FLOAT_EQ(walker->GetComponentAs<MovementComponent>()->GetVelocity().x, 30.0f);
    EXPECT_TRUE(Sweep(walker, Vec3(0.3f, 0.5f, 0), Vec3(0.3f, -2.5f, 0), false));
    EXPECT_EQ(walker->GetTransform()->GetPosition(), Vec3(0.3f, 0.5f, 0));
}

TEST_F(SweptLevelGeometry, WithoutFlagsABoxOrAnExitPointTheOverlapResultStands) {
    mover->GetComponentAs<CollisionComponent>()->Flags().resolveWithStatics = false;
    EXPECT_TRUE(Sweep(mover, Vec3(-3, 0, 0), Vec3(3, 0, 0), true));
    EXPECT_EQ(mover->GetTransform()->GetPosition(), Vec3(3, 0, 0));
    mover->GetComponentAs<CollisionComponent>()->Flags().resolveWithStatics = true;

    mover->GetComponentAs<CollisionComponent>()->Volume().kind = kShapeSphere;
    EXPECT_FALSE(Sweep(mover, Vec3(-3, 0, 0), Vec3(3, 0, 0), false));

    // A mover without a mesh has a zero-size box: no exit point, so no cast
    // (and no NaN position).
    Composition* ghost = world.Create("ghost-obj");
    EXPECT_FALSE(Sweep(ghost, Vec3(-3, 0, 0), Vec3(3, 0, 0), false));
    EXPECT_TRUE(Sweep(ghost, Vec3(-3, 0, 0), Vec3(3, 0, 0), true));
    const Vec3 position = ghost->GetTransform()->GetPosition();
    EXPECT_TRUE(std::isfinite(position.x) && position == Vec3(3, 0, 0));
}

}  // namespace
}  // namespace Ostrel
