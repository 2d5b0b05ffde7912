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
<post-obj>
    <TransformComponent/>
    <CollisionComponent><Static>0</Static><ResolveWithStatics>1</ResolveWithStatics></CollisionComponent>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
</post-obj>
<wall-obj>
    <TransformComponent/>
    <CollisionComponent><ResolveWithDynamics>1</ResolveWithDynamics></CollisionComponent>
    <MeshComponent><MeshID>Wall</MeshID></MeshComponent>
</wall-obj>
)";

class SweptLevelGeometry : public ::testing::Test {
protected:
    // A wall 0.25 thick across x: x from -0.125 to 0.125.
    static constexpr float kNearFace = -0.125f;

    SweptLevelGeometry() {
        world.meshes.meshes["Wall"] = ComponentTest::BoxCorners(Vec3(0.25f, 4, 4));
        mover = world.Create("mover-obj");
        wall = world.Create("wall-obj");
    }
    // Moves the object from previous to position at velocity and runs the test.
    bool Sweep(Composition* object, const Vec3& previous, const Vec3& position, bool overlap,
               const Vec3& velocity = Vec3(30, 0, 0)) {
        object->GetTransform()->SetPreviousPosition(previous);
        object->GetTransform()->SetPosition(position);
        object->GetComponentAs<MovementComponent>()->SetVelocity(velocity);
        return SweptLevelGeometryTest(*object->GetComponentAs<CollisionComponent>(),
                                      *wall->GetComponentAs<CollisionComponent>(), overlap);
    }
    static Vec3 At(Composition* object) { return object->GetTransform()->GetPosition(); }
    static Vec3 VelocityOf(Composition* object) { return object->GetComponentAs<MovementComponent>()->GetVelocity(); }

    ComponentTest::ComponentWorld world{kSweptArchetypes};
    Composition* mover = nullptr;
    Composition* wall = nullptr;
};

// A unit box driven at the wall from touching, overlapping and distant
// starts, at the game's speeds (walk, knockback, dash, the yak boss's
// knockback) over one frame of 1/144 s up to the loop's longest (two steps
// of 0.016 s): it never ends past where it started or the wall's near face.
// Run into the wall from apart further than half its thickness, it is put
// back where the frame began at a speed of 1; by less, it is stopped at the
// face. Touching or overlapping the wall at the start, it is held where it
// was on the wall's axis. Its speed into a wall is otherwise left alone (the
// contact's receivers decide about it: a bird turns back).
TEST_F(SweptLevelGeometry, BoxesDrivenIntoAThinWallStopAtItsNearFaceFromAnyStart) {
    const float touching = kNearFace - 0.5f;
    const float starts[] = {-6.0f, -2.0f, touching - 0.0005f, touching, touching + 0.05f, touching + 0.25f, -0.2f};
    const float speeds[] = {10.0f, 60.0f, 100.0f, 150.0f, 400.0f};
    const float frames[] = {1.0f / 144.0f, 0.016f, 1.0f / 30.0f, 0.032f};
    for (float start : starts) {
        for (float speed : speeds) {
            for (float frame : frames) {
                const Vec3 from(start, 0, 0.3f);
                const Vec3 to = from + Vec3(speed * frame, 0, 0);
                const bool overlapAtEnd = to.x + 0.5f >= kNearFace && to.x - 0.5f <= -kNearFace;
                const bool result = Sweep(mover, from, to, overlapAtEnd, Vec3(speed, 0, 2));
                SCOPED_TRACE(testing::Message() << "start " << start << ", speed " << speed << ", frame " << frame);
                EXPECT_LE(At(mover).x, std::max(start, touching) + 1e-5f) << "never past the near face";
                EXPECT_FLOAT_EQ(At(mover).z, 0.3f);
                const bool fast = speed * frame > 0.125f;
                if (to.x < touching - 1e-3f) {
                    EXPECT_FALSE(result) << "short of the wall";
                    EXPECT_EQ(At(mover), to);
                } else if (start < touching - 1e-3f && fast) {
                    EXPECT_TRUE(result);
                    EXPECT_EQ(At(mover), from) << "put back where the frame began";
                    EXPECT_NEAR(VelocityOf(mover).Length(), 1.0f, 1e-5f);
                } else {
                    EXPECT_TRUE(result) << "stopped or held at the wall";
                    EXPECT_NEAR(At(mover).x, start < touching - 1e-3f ? touching : start, 1e-5f);
                    EXPECT_EQ(VelocityOf(mover), Vec3(speed, 0, 2));
                }
            }
        }
    }
}

// Held only on the face's axis: a mover touching the wall that presses at
// it at a slant slides along it, and one that moves along or away from a
// wall it touches keeps its way.
TEST_F(SweptLevelGeometry, AMoverSlidesAlongTheWallAndLeavesItFreely) {
    const float touching = kNearFace - 0.5f;
    EXPECT_TRUE(Sweep(mover, Vec3(touching, 0, 0), Vec3(touching + 1, 0, 1.5f), false, Vec3(60, 0, 45)));
    EXPECT_EQ(At(mover), Vec3(touching, 0, 1.5f));
    EXPECT_EQ(VelocityOf(mover), Vec3(60, 0, 45));

    EXPECT_TRUE(Sweep(mover, Vec3(touching, 0, 0), Vec3(touching, 0, 1.5f), true, Vec3(0, 0, 45)));
    EXPECT_EQ(At(mover), Vec3(touching, 0, 1.5f)) << "along the face";
    EXPECT_FALSE(Sweep(mover, Vec3(touching, 0, 0), Vec3(touching - 1, 0, 0), false, Vec3(-60, 0, 0)));
    EXPECT_EQ(At(mover), Vec3(touching - 1, 0, 0)) << "away from it";
    EXPECT_TRUE(Sweep(mover, Vec3(-0.3f, 0, 0), Vec3(-1, 0, 0), true, Vec3(-60, 0, 0)));
    EXPECT_EQ(At(mover), Vec3(-1, 0, 0)) << "out of an overlap: the plain result stands";
    EXPECT_FLOAT_EQ(VelocityOf(mover).x, -60.0f);

    // Past the wall's end, or short of it, the path meets nothing.
    EXPECT_FALSE(Sweep(mover, Vec3(-3, 0, 9), Vec3(3, 0, 9), false));
    EXPECT_EQ(At(mover), Vec3(3, 0, 9));
    EXPECT_FALSE(Sweep(mover, Vec3(-9, 0, 0), Vec3(-5, 0, 0), false));
    EXPECT_EQ(At(mover), Vec3(-5, 0, 0));
}

// A mover whose box stands on its origin (a model with its feet at its
// position) on a floor slab: a dash along the top keeps its speed, the fall
// of one frame is stopped on the top, a fast fall lands on it, and a body
// stepping from one slab onto the next at the same height (a seam between
// two rooms' floors) slides over the seam instead of snagging on the second
// slab's side.
TEST_F(SweptLevelGeometry, AMoverStandingOnItsOriginSlidesAlongAFloorAndOverASeam) {
    std::vector<Vec3> standing = ComponentTest::BoxCorners(Vec3(1, 1.8f, 1));
    for (Vec3& corner : standing) corner.y += 0.9f;
    world.meshes.meshes["Cube"] = standing;
    world.meshes.meshes["Wall"] = ComponentTest::BoxCorners(Vec3(8, 1, 4));
    Composition* walker = world.Create("mover-obj");
    wall = world.Create("wall-obj");
    wall->GetTransform()->SetPosition(Vec3(0, -0.5f, 0));  // top at 0, x from -4 to 4
    EXPECT_FALSE(Sweep(walker, Vec3(-1.5f, 0.3f, 0), Vec3(1.5f, 0.3f, 0), false));
    EXPECT_EQ(At(walker), Vec3(1.5f, 0.3f, 0));
    EXPECT_TRUE(Sweep(walker, Vec3(-1.5f, 0, 0), Vec3(1.5f, -0.02f, 0), true, Vec3(100, -0.9f, 0)));
    EXPECT_EQ(At(walker), Vec3(1.5f, 0, 0)) << "held on the top, the dash goes on";
    EXPECT_EQ(VelocityOf(walker), Vec3(100, 0, 0));
    EXPECT_TRUE(Sweep(walker, Vec3(0.3f, 0.5f, 0), Vec3(0.3f, -2.5f, 0), false, Vec3(0, -150, 0)));
    EXPECT_EQ(At(walker), Vec3(0.3f, 0.5f, 0)) << "a fast fall is put back, to land by the push";

    // From x -5.5 (on the slab to the west, whose top is level with this
    // one's) across the seam at x -4, dipping by a frame's fall.
    EXPECT_TRUE(Sweep(walker, Vec3(-5.5f, 0, 0), Vec3(-2.5f, -0.02f, 0), true, Vec3(100, -0.9f, 0)));
    EXPECT_EQ(At(walker), Vec3(-2.5f, 0, 0));
    EXPECT_FLOAT_EQ(VelocityOf(walker).x, 100.0f);
    // A body below the top runs into the side, though.
    EXPECT_TRUE(Sweep(walker, Vec3(-5.5f, -0.5f, 0), Vec3(-2.5f, -0.5f, 0), false, Vec3(100, 0, 0)));
    EXPECT_EQ(At(walker), Vec3(-5.5f, -0.5f, 0));
}

TEST_F(SweptLevelGeometry, OnlyMovingBodiesWithTheFlagsAreSweptAndSpheresByTheirBox) {
    mover->GetComponentAs<CollisionComponent>()->Flags().resolveWithStatics = false;
    EXPECT_TRUE(Sweep(mover, Vec3(-3, 0, 0), Vec3(3, 0, 0), true));
    EXPECT_EQ(At(mover), Vec3(3, 0, 0));
    mover->GetComponentAs<CollisionComponent>()->Flags().resolveWithStatics = true;

    mover->GetComponentAs<CollisionComponent>()->SetShape(kShapeNoOverlap);
    EXPECT_FALSE(Sweep(mover, Vec3(-3, 0, 0), Vec3(3, 0, 0), false)) << "shape 2 never meets anything";
    mover->GetComponentAs<CollisionComponent>()->SetShape(kShapeSphere);
    EXPECT_TRUE(Sweep(mover, Vec3(-3, 0, 0), Vec3(3, 0, 0), false));
    EXPECT_EQ(At(mover), Vec3(-3, 0, 0)) << "a sphere is swept by its box";

    // A mover without a mesh has a zero-size box: it is swept as a point.
    Composition* ghost = world.Create("ghost-obj");
    EXPECT_TRUE(Sweep(ghost, Vec3(-3, 0, 0), Vec3(3, 0, 0), false));
    EXPECT_EQ(At(ghost), Vec3(-3, 0, 0));
    EXPECT_FALSE(Sweep(ghost, Vec3(-3, 0, 9), Vec3(3, 0, 9), false));

    // A collider the integrator does not move has no previous position of
    // this frame: it is never swept.
    Composition* post = world.Create("post-obj");
    post->GetTransform()->SetPosition(Vec3(3, 0, 0));
    EXPECT_FALSE(SweptLevelGeometryTest(*post->GetComponentAs<CollisionComponent>(),
                                        *wall->GetComponentAs<CollisionComponent>(), false));
    EXPECT_EQ(At(post), Vec3(3, 0, 0));
}

}  // namespace
}  // namespace Ostrel
