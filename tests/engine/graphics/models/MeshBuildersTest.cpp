#include "engine/graphics/models/Mesh.h"
#include "engine/graphics/models/MeshBuilders.h"

#include <gtest/gtest.h>

#include <vector>

namespace Ostrel {
namespace {

std::vector<u16> Indices(const Mesh& mesh) { return mesh.GetIndices(); }

TEST(MeshBuilders, CubeHasTheFaceOrderAndWindingOfEachFace) {
    Mesh cube;
    BuildCubeMesh(&cube, 1, 1);
    const std::vector<u16> expected = {1,  2,  0,  1,  3,  2,  4,  6,  5,  6,  7,  5,
                                       8,  10, 9,  10, 11, 9,  13, 14, 12, 13, 15, 14,
                                       16, 18, 17, 18, 19, 17, 21, 22, 20, 21, 23, 22};
    EXPECT_EQ(Indices(cube), expected);
    EXPECT_EQ(cube.GetVertexCount(), 24u);
    EXPECT_EQ(cube.GetPrimitiveCount(), 12u);
    EXPECT_EQ(cube.GetPrimitiveType(), u32(kPrimitiveTriangleList));
    // +z face first: (a, b, 0.5) with u mirrored; default colour.
    const Vertex& first = cube.GetVertices()[0];
    EXPECT_EQ(first.position, Vec3(-0.5f, -0.5f, 0.5f));
    EXPECT_FLOAT_EQ(first.u, 1.0f);
    EXPECT_FLOAT_EQ(first.v, 1.0f);
    EXPECT_EQ(first.color, PackColor(255, 255, 0, 50));
    EXPECT_EQ(cube.GetCentre(), Vec3(0, 0, 0));
    EXPECT_EQ(cube.GetHalfExtents(), Vec3(0.5f, 0.5f, 0.5f));
}

TEST(MeshBuilders, SphereRingsRunFromTheLowerPole) {
    Mesh sphere;
    BuildSphereMesh(&sphere, 15, 15);
    EXPECT_EQ(sphere.GetVertexCount(), 256u);
    EXPECT_EQ(sphere.GetPrimitiveCount(), 420u);
    const auto& v = sphere.GetVertices();
    EXPECT_EQ(v.front().position, Vec3(0, -0.5f, 0));
    EXPECT_EQ(v.back().position, Vec3(0, 0.5f, 0));
    EXPECT_FLOAT_EQ(v.front().v, 1.0f);
    EXPECT_EQ(v[1].normal, v[1].position * 2.0f);
    // First triangle of the pole cap: (k + R + 1, k + R, k) with R = 16.
    EXPECT_EQ(Indices(sphere)[0], 17);
    EXPECT_EQ(Indices(sphere)[1], 16);
    EXPECT_EQ(Indices(sphere)[2], 0);
    for (u16 index : sphere.GetIndices()) EXPECT_LT(index, 256);
}

TEST(MeshBuilders, StripsAndLineShapesCountTheirPrimitives) {
    Mesh circle;
    BuildCircleMesh(&circle, 25);
    EXPECT_EQ(circle.GetVertexCount(), 25u);
    EXPECT_EQ(circle.GetIndexCount(), 27u);
    EXPECT_EQ(circle.GetPrimitiveCount(), 26u);
    EXPECT_EQ(circle.GetIndices()[25], 24);
    EXPECT_EQ(circle.GetIndices()[26], 0);
    EXPECT_EQ(circle.GetVertices().back().position, circle.GetVertices().front().position);

    Mesh sprite;
    BuildSpriteMesh(&sprite);
    EXPECT_EQ(sprite.GetPrimitiveCount(), 2u);
    EXPECT_EQ(sprite.GetVertices()[0].position.y, 0.5f);
    EXPECT_EQ(sprite.GetVertices()[0].v, 0.0f);  // v grows downwards
    EXPECT_EQ(sprite.GetVertices()[2].v, 1.0f);
    EXPECT_EQ(sprite.GetVertices()[0].color, 0xFFFFFFFFu);

    Mesh grid;
    BuildGridPlaneMesh(&grid, 1, 1);
    EXPECT_EQ(Indices(grid), (std::vector<u16>{0, 1, 2, 2, 1, 3}));
    EXPECT_EQ(grid.GetVertices()[0].position, Vec3(-0.5f, 0.5f, 0));
    EXPECT_EQ(grid.GetVertices()[3].position, Vec3(0.5f, -0.5f, 0));

    Mesh wire, square, line;
    BuildWireCubeMesh(&wire);
    BuildSquareMesh(&square);
    BuildDiagonalLineMesh(&line, 1);
    EXPECT_EQ(wire.GetPrimitiveCount(), 12u);
    EXPECT_EQ(square.GetPrimitiveCount(), 4u);
    EXPECT_EQ(line.GetVertices()[1].position, Vec3(1, 1, 0));
}

TEST(Mesh, IndicesTruncateAndShortStripsCountNothing) {
    Mesh mesh;
    mesh.AddTriangle(65536 + 7, 1, 2);
    EXPECT_EQ(mesh.GetIndices()[0], 7);

    Mesh empty;
    empty.SetPrimitiveType(kPrimitiveLineStrip);
    empty.Build();
    EXPECT_EQ(empty.GetPrimitiveCount(), 0u);
    empty.SetPrimitiveType(kPrimitiveTriangleStrip);
    empty.AddIndex(0);
    empty.Build();
    EXPECT_EQ(empty.GetPrimitiveCount(), 0u);
    // No vertices: zero bounds, not an inverted infinite box, and computed again later.
    EXPECT_EQ(empty.GetHalfExtents(), Vec3(0, 0, 0));
    EXPECT_FALSE(empty.BoundsComputed());
}

TEST(Mesh, BoundsComeFromTheFirstBuildAndSurviveClear) {
    Mesh mesh;
    BuildCubeMesh(&mesh, 1, 1);
    mesh.scale = Vec3(2, 2, 2);
    mesh.Clear();
    EXPECT_TRUE(mesh.GetVertices().empty());
    EXPECT_EQ(mesh.scale, Vec3(1, 1, 1));
    mesh.AddVertex(5, 5, 5, 0, 1, 0, 0, 0, 255, 255, 255, 255);
    mesh.AddSkinnedVertex(6, 6, 6, 0, 1, 0, 0, 0, 255, 255, 255, 255, 0.5f, 0.5f, 0, 0, 1, 2, 0, 0);
    mesh.Build();
    EXPECT_TRUE(mesh.IsSkinned());
    EXPECT_EQ(mesh.GetVertices()[1].bones[1], 2);
    EXPECT_EQ(mesh.GetHalfExtents(), Vec3(0.5f, 0.5f, 0.5f));  // kept from the cube
}

}  // namespace
}  // namespace Ostrel
