// Object handles by id: neutral answers for missing objects, ray tests
// through the inverse transform, volume fitting and debug volumes.

#include "tools/editor/ObjectHandle.h"

#include "engine/components/MeshComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/Random.h"
#include "engine/core/TransformComponent.h"
#include "engine/graphics/DebugDrawQueue.h"
#include "tests/tools/editor/EditorTestWorld.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

namespace Ostrel {
namespace {

using EditorTest::EditorWorld;

void ExpectPoint(const Vec4& v, float x, float y, float z, float w) {
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
    EXPECT_FLOAT_EQ(v.w, w);
}

Ray Down(float x, float z) { return Ray{Vec4(x, 5.0f, z, 1.0f), Vec4(0.0f, -1.0f, 0.0f, 0.0f)}; }

TEST(ObjectHandleTest, MissingObjectsGiveNeutralAnswersAndChangeNothing) {
    EditorWorld w;
    const u32 floor = w.Create("floor");
    const u32 gone = w.Create("floor");
    const u32 marker = w.Create("marker");
    w.world.objects.DestroyObject(gone);
    w.Step();
    ASSERT_EQ(ObjectHandle(gone).GetObject(), nullptr);

    for (u32 id : {0u, gone}) {
        ObjectHandle handle(id);
        ExpectPoint(handle.GetPosition(), 0, 0, 0, 1);
        ExpectPoint(handle.ToLocalSpace(Vec4(3, 4, 5, 1)), 0, 0, 0, 1);
        EXPECT_EQ(handle.GetCollisionVolume(), nullptr);
        EXPECT_EQ(handle.GetAnimationTime(), 0.0f);
        EXPECT_EQ(handle.GetTilePaletteName(), "");
        float distance = 42.0f;
        EXPECT_FALSE(handle.IntersectRay(Down(10.2f, 0.1f), distance));
        EXPECT_EQ(distance, 42.0f);
        handle.SetVisible(false);
        handle.SetTilePalette("ground");
        handle.PaintTiles(Vec4(0, 0, 0, 1), 3, true, true);
        handle.SetAnimationTime(2.0f);
        handle.NextKey();
        handle.PreviousKey();
        handle.SetShowBindPose(true);
        handle.RebuildTileTexture();
    }
    // A live object without a mesh, or without an animation player.
    ExpectPoint(ObjectHandle(marker).ToLocalSpace(Vec4(3, 4, 5, 1)), 0, 0, 0, 1);
    EXPECT_EQ(ObjectHandle(floor).GetAnimationTime(), 0.0f);
    EXPECT_EQ(ObjectHandle(floor).GetCollisionVolume(), nullptr);
    ExpectPoint(ObjectHandle(floor).GetPosition(), 10, 0, 0, 1);
    ExpectPoint(ObjectHandle(floor).ToLocalSpace(Vec4(12, 4, 0, 1)), 2, 4, 0, 1);
    auto* mesh = w.world.Get<MeshComponent>(ObjectHandle(floor).GetObject());
    ASSERT_NE(mesh, nullptr);
    ObjectHandle(floor).SetVisible(false);
    EXPECT_FALSE(mesh->IsVisible());
}

TEST(ObjectHandleTest, RaysHitListsAndStripsThroughTheInverseTransformAndMissLines) {
    EditorWorld w;
    const u32 floor = w.Create("floor");  // at x = 10
    Composition* object = ObjectHandle(floor).GetObject();
    ASSERT_NE(object, nullptr);
    object->GetTransform()->SetScale(Vec3(2.0f, 2.0f, 2.0f));  // the square spans x 9..11, z -1..1

    float distance = 0.0f;
    EXPECT_TRUE(ObjectHandle(floor).IntersectRay(Down(10.8f, 0.3f), distance));
    // Local origin y = 2.5, local direction y = -0.5: the parameter stays 5.
    EXPECT_NEAR(distance, 5.0f, 1e-4f);
    EXPECT_FALSE(ObjectHandle(floor).IntersectRay(Down(11.5f, 0.3f), distance));  // beyond the scaled edge
    EXPECT_FALSE(ObjectHandle(floor).IntersectRay(Down(0.3f, 0.3f), distance));   // where the mesh is unmoved

    const u32 strip = w.Create("strip");
    EXPECT_TRUE(ObjectHandle(strip).IntersectRay(Down(-0.3f, 0.2f), distance));
    EXPECT_NEAR(distance, 5.0f, 1e-4f);
    EXPECT_TRUE(ObjectHandle(strip).IntersectRay(Down(0.3f, -0.2f), distance));

    const u32 outline = w.Create("outline");
    distance = 7.0f;
    EXPECT_FALSE(ObjectHandle(outline).IntersectRay(Down(0.1f, 0.2f), distance));
    EXPECT_EQ(distance, 7.0f);
}

// The screened mesh test against the engine's plain one: random rays at a
// bumpy grid (list and strip), many aimed exactly at its vertices and
// edges, from all sides and nearly along it, must give the same answers.
TEST(ObjectHandleTest, ScreenedTriangleTestAnswersAsThePlainOne) {
    SRand(11);
    auto uniform = [](float low, float high) { return low + (high - low) * float(Rand()) / 32767.0f; };
    std::vector<Vec3> points;
    for (int z = 0; z < 6; ++z) {
        for (int x = 0; x < 6; ++x) points.emplace_back(float(x), ((x * 7 + z * 3) % 4) * 0.25f, float(z));
    }
    std::vector<u16> list, strip;
    for (u16 z = 0; z < 5; ++z) {
        for (u16 x = 0; x < 5; ++x) {
            const u16 a = u16(z * 6 + x), b = u16(a + 1), c = u16(a + 6), d = u16(c + 1);
            list.insert(list.end(), {a, c, b, b, c, d});
        }
    }
    for (u16 x = 0; x < 6; ++x) strip.insert(strip.end(), {x, u16(x + 6)});
    list.push_back(200);  // an index past the vertices
    int hits = 0;
    for (int i = 0; i < 4000; ++i) {
        Vec3 target(uniform(-0.5f, 5.5f), uniform(0.0f, 0.75f), uniform(-0.5f, 5.5f));
        if (i % 3 == 0) target = points[size_t(Rand()) % points.size()];  // a vertex
        if (i % 3 == 1) target.x = std::round(target.x), target.y = 0.25f;  // along grid lines
        Vec3 from(uniform(-20, 20), uniform(-20, 20), uniform(-20, 20));
        if (i % 5 == 0) from.y = target.y + uniform(-0.01f, 0.01f);  // nearly along the grid
        const Ray ray{Vec4(from, 1.0f), Vec4(target - from, 0.0f)};
        for (const auto& [indices, layout] : {std::pair{&list, u32(kTriangleList)}, std::pair{&strip, u32(kTriangleStrip)}}) {
            float plain = 0.0f, screened = 0.0f;
            const bool plainHit = RayHitsTriangles(ray, PointView(points), *indices, layout, plain);
            ASSERT_EQ(RayHitsTrianglesScreened(ray, PointView(points), *indices, layout, screened), plainHit) << i;
            ASSERT_EQ(screened, plain) << i;
            hits += plainHit;
        }
    }
    EXPECT_GT(hits, 2000);
    float nearest = 0.0f;
    EXPECT_FALSE(RayHitsTrianglesScreened(Down(1, 1), PointView(points), list, 7, nearest));
}

TEST(ObjectHandleTest, TriangleLayoutOfEachPrimitive) {
    Mesh mesh;
    const std::pair<u32, u32> cases[] = {{4, 0}, {5, 1}, {2, 2}, {3, 2}, {1, 2}, {6, 2}};
    for (auto [primitive, layout] : cases) {
        mesh.SetPrimitiveType(primitive);
        EXPECT_EQ(GetTriangleLayout(mesh), layout) << primitive;
    }
}

TEST(ObjectHandleTest, FittingNeedsAMeshAndFollowsTheScale) {
    EditorWorld w;
    const u32 floor = w.Create("floor");
    const u32 marker = w.Create("marker");
    BoundingVolume volume;
    volume.size = Vec3(9, 9, 9);
    EXPECT_FALSE(FitVolumeToMesh(marker, volume));
    EXPECT_FALSE(FitVolumeToMesh(0, volume));
    EXPECT_FLOAT_EQ(volume.size.x, 9.0f);

    ObjectHandle(floor).GetObject()->GetTransform()->SetScale(Vec3(4.0f, 1.0f, 2.0f));
    ASSERT_TRUE(FitVolumeToMesh(floor, volume));
    EXPECT_EQ(volume.kind, u32(kShapeBox));
    EXPECT_FLOAT_EQ(volume.size.x, 4.0f);
    EXPECT_FLOAT_EQ(volume.size.y, 0.0f);
    EXPECT_FLOAT_EQ(volume.size.z, 2.0f);
    EXPECT_FLOAT_EQ(volume.centre.x, 0.0f);

    // A mesh name that names no mesh.
    w.meshes.meshes.erase("Square");
    EXPECT_FALSE(FitVolumeToMesh(floor, volume));
}

TEST(ObjectHandleTest, DebugVolumesQueueBoxesAndSpheresInBytes) {
    DebugDrawQueue& queue = DebugDrawQueue::Instance();
    queue.Clear();
    BoundingVolume box;
    box.size = Vec3(2, 3, 4);
    box.centre = Vec3(0, 1, 0);
    DrawDebugVolume(box, 10, 20, 30, 0.0f, 1.0f, 1.0f);
    BoundingVolume sphere = box;
    sphere.kind = kShapeSphere;
    DrawDebugVolume(sphere, 0, 0, 0, 0.5f, 0.0f, 1.0f);
    BoundingVolume other = box;
    other.kind = 7;
    DrawDebugVolume(other, 0, 0, 0, 1, 1, 1);

    const auto shapes = queue.TakeShapes();
    ASSERT_EQ(shapes.size(), 2u);
    EXPECT_EQ(shapes[0].kind, 3);
    EXPECT_EQ(shapes[0].x, 10.0f);
    EXPECT_EQ(shapes[0].y, 21.0f);
    EXPECT_EQ(shapes[0].z, 30.0f);
    EXPECT_EQ(shapes[0].sizeX, 2.0f);
    EXPECT_EQ(shapes[0].sizeY, 3.0f);
    EXPECT_EQ(shapes[0].sizeZ, 4.0f);
    EXPECT_EQ((std::array<u8, 4>{shapes[0].red, shapes[0].green, shapes[0].blue, shapes[0].alpha}),
              (std::array<u8, 4>{0, 255, 255, 255}));
    EXPECT_EQ(shapes[1].kind, 1);
    EXPECT_EQ(shapes[1].sizeX, 2.0f);
    EXPECT_EQ(shapes[1].sizeY, 2.0f);
    EXPECT_EQ(shapes[1].sizeZ, 2.0f);
    EXPECT_EQ(shapes[1].red, 127);
    EXPECT_EQ(shapes[1].blue, 255);
}

}  // namespace
}  // namespace Ostrel
