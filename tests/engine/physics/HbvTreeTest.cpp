#include "engine/physics/HbvTree.h"

#include "engine/core/Matrix4.h"
#include "engine/core/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace Ostrel {
namespace {

float Uniform(float low, float high) { return low + (high - low) * static_cast<float>(Rand()) / 32767.0f; }

Vec3 RandomPoint(float extent) {
    return Vec3(Uniform(-extent, extent), Uniform(-extent, extent), Uniform(-extent, extent));
}

// View x projection of a left-handed camera with depth 0..1.
Matrix4 Camera(const Vec3& eye, const Vec3& at, float farPlane = 5000.0f) {
    Matrix4 view, projection;
    LookAtMatrix(view, eye, at, Vec3(0, 1, 0));
    PerspectiveMatrix(projection, 3.1415927f * 0.33f, 1.0f, farPlane, 640, 480);
    return view * projection;
}

bool Inside(const std::array<Vec4, 6>& planes, const Vec3& p) { return !BoxOutsideAnyPlane(planes, p, p); }

TEST(HbvFrustum, PlanesFollowRowVectorsAndDepthFromZeroToW) {
    const auto planes = FrustumPlanes(Camera(Vec3(0, 0, 0), Vec3(0, 0, 1), 100.0f));
    EXPECT_TRUE(Inside(planes, Vec3(0, 0, 10)));
    EXPECT_TRUE(Inside(planes, Vec3(0, 0, 1.01f)));
    EXPECT_FALSE(Inside(planes, Vec3(0, 0, 0.99f))) << "the near plane lies at depth 0, 1 unit ahead";
    EXPECT_FALSE(Inside(planes, Vec3(0, 0, -10))) << "behind the camera";
    EXPECT_FALSE(Inside(planes, Vec3(0, 0, 101)));
    EXPECT_FALSE(Inside(planes, Vec3(100, 0, 10)));
    EXPECT_FALSE(Inside(planes, Vec3(-100, 0, 10)));
    EXPECT_FALSE(Inside(planes, Vec3(0, 100, 10)));
    EXPECT_FALSE(Inside(planes, Vec3(0, -100, 10)));
    // Unnormalised: the left plane of clip space, row by row of the matrix.
    const Matrix4 m = Camera(Vec3(3, 4, 5), Vec3(0, 0, 0));
    const auto moved = FrustumPlanes(m);
    EXPECT_FLOAT_EQ(moved[0].x, m(0, 0) + m(0, 3));
    EXPECT_FLOAT_EQ(moved[0].w, m(3, 0) + m(3, 3));
    EXPECT_FLOAT_EQ(moved[4].z, m(2, 2));
}

TEST(HbvTree, QueriesHoldEveryBoxThatMeetsTheFrustumOverRandomScenes) {
    SRand(1234);
    for (int scene = 0; scene < 20; ++scene) {
        HbvTree tree;
        tree.Reset();
        const int count = 1 + Rand() % 300;
        std::vector<std::pair<Vec3, Vec3>> boxes;
        for (int i = 0; i < count; ++i) {
            const Vec3 centre = RandomPoint(100.0f);
            const Vec3 half(Uniform(0, 4), Uniform(0, 4), Uniform(0, 4));
            boxes.push_back({centre - half, centre + half});
            tree.AddObject(1000 + i, centre - half, centre + half, centre);
        }
        tree.Build();
        for (int camera = 0; camera < 25; ++camera) {
            const Matrix4 viewProjection = Camera(RandomPoint(150.0f), RandomPoint(50.0f), Uniform(20, 400));
            std::vector<u32> found;
            tree.Query(viewProjection, found);
            const std::set<u32> unique(found.begin(), found.end());
            ASSERT_EQ(unique.size(), found.size()) << "no mesh twice";
            const auto planes = FrustumPlanes(viewProjection);
            for (int i = 0; i < count; ++i) {
                if (BoxOutsideAnyPlane(planes, boxes[i].first, boxes[i].second)) continue;
                ASSERT_EQ(unique.count(1000 + i), 1u) << "scene " << scene << " camera " << camera << " box " << i;
            }
        }
    }
}

TEST(HbvTree, SplitsCheapestFirstAndCullsWhatLiesBehind) {
    // Two clusters far apart on x: the first cut separates them, on x.
    HbvTree tree;
    tree.Reset();
    for (int i = 0; i < 4; ++i) {
        const float x = (i < 2 ? -100.0f : 100.0f) + static_cast<float>(i % 2);
        tree.AddObject(i, Vec3(x - 0.5f, -0.5f, -0.5f), Vec3(x + 0.5f, 0.5f, 0.5f), Vec3(x, 0, 0));
    }
    tree.Build();
    const HbvNode* root = tree.GetRoot();
    ASSERT_FALSE(root->leaf);
    EXPECT_EQ(root->left->objects, (std::vector<u32>{0, 1}));
    EXPECT_EQ(root->right->objects, (std::vector<u32>{2, 3}));
    EXPECT_TRUE(root->left->leaf) << "a node of two stays a leaf";
    EXPECT_FLOAT_EQ(root->left->centre.x, -99.5f);
    EXPECT_FLOAT_EQ(root->left->halfSize.x, 1.0f);

    // Looking at the right cluster from between the two: the left one lies
    // wholly behind the camera and is never returned.
    std::vector<u32> found;
    tree.Query(Camera(Vec3(0, 0, 0), Vec3(1, 0, 0)), found);
    EXPECT_EQ(found, (std::vector<u32>{2, 3}));
    tree.Query(Camera(Vec3(0, 0, 0), Vec3(0, 1, 0)), found);
    EXPECT_TRUE(found.empty());

    // The plane that rejected a node is tried first next time: here the far
    // plane (index 5) rejects the right cluster; once seen again, it is 0.
    tree.Query(Camera(Vec3(0, 0, 0), Vec3(1, 0, 0), 50.0f), found);
    EXPECT_TRUE(found.empty());
    EXPECT_EQ(tree.GetCachedPlane(*root->right), 5u);
    tree.Query(Camera(Vec3(0, 0, 0), Vec3(1, 0, 0)), found);
    EXPECT_EQ(tree.GetCachedPlane(*root->right), 0u);
}

TEST(HbvTree, EmptyAndDegenerateTreesStayWhole) {
    HbvTree tree;
    std::vector<u32> found{7};
    tree.Build();
    tree.Query(Camera(Vec3(0, 0, -10), Vec3(0, 0, 0)), found);
    EXPECT_TRUE(found.empty()) << "no root before the first level";

    tree.Reset();
    tree.Build();
    EXPECT_TRUE(tree.GetRoot()->leaf);
    tree.Query(Camera(Vec3(0, 0, -10), Vec3(0, 0, 0)), found);
    EXPECT_TRUE(found.empty());

    // A built tree takes no more objects (the level's list is closed).
    tree.AddObject(5, Vec3(-1, -1, -1), Vec3(1, 1, 1), Vec3());
    EXPECT_EQ(tree.GetObjectCount(), 0u);

    // One mesh: the root stays a leaf and returns it whenever it is seen.
    tree.Reset();
    tree.AddObject(5, Vec3(-1, -1, -1), Vec3(1, 1, 1), Vec3());
    tree.Build();
    EXPECT_TRUE(tree.GetRoot()->leaf);
    tree.Query(Camera(Vec3(0, 0, -10), Vec3(0, 0, 0)), found);
    EXPECT_EQ(found, std::vector<u32>{5});

    // Many meshes in one spot cut one at a time: a deep tree that builds,
    // queries and frees without recursion.
    tree.Reset();
    for (u32 i = 0; i < 3000; ++i) tree.AddObject(i, Vec3(-1, -1, -1), Vec3(1, 1, 1), Vec3());
    tree.Build();
    tree.Query(Camera(Vec3(0, 0, -10), Vec3(0, 0, 0)), found);
    EXPECT_EQ(found.size(), 3000u);
    // Not-a-number boxes give no finite cost: the node stays a leaf.
    tree.Reset();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (u32 i = 0; i < 3; ++i) tree.AddObject(i, Vec3(nan, 0, 0), Vec3(nan, 1, 1), Vec3(nan, 0, 0));
    tree.Build();
    EXPECT_TRUE(tree.GetRoot()->leaf);
}

}  // namespace
}  // namespace Ostrel
