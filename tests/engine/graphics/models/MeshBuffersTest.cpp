#include "engine/graphics/models/Mesh.h"
#include "engine/graphics/models/MeshBuilders.h"
#include "engine/graphics/models/MeshManager.h"
#include "engine/graphics/device/DeviceResources.h"

#include "tests/engine/graphics/GraphicsTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <future>

namespace Ostrel {
namespace {

using namespace Ostrel::Testing;

std::vector<u16> IndicesIn(const rd::Buffer* buffer) {
    std::vector<u16> out(buffer->Size() / 2);
    std::memcpy(out.data(), buffer->Bytes().data(), buffer->Size());
    return out;
}

// The buffer holds the first stride bytes of each record, back to back.
void ExpectVertexBytes(const Mesh& mesh) {
    const rd::Buffer* buffer = mesh.GetVertexBuffer();
    ASSERT_NE(buffer, nullptr);
    const u32 stride = mesh.GetStride();
    ASSERT_EQ(buffer->Size(), mesh.GetVertices().size() * stride);
    for (std::size_t i = 0; i < mesh.GetVertices().size(); ++i)
        EXPECT_EQ(std::memcmp(buffer->Bytes().data() + i * stride, &mesh.GetVertices()[i], stride), 0) << i;
}

TEST(MeshBuffers, BuildFillsStaticAndSkinnedBuffersFromTheListsWithTruncatedIndices) {
    RecordingRenderDevice device;
    MeshManager meshes;
    Mesh* cube = meshes.Create("Cube");
    BuildCubeMesh(cube, 1, 1);
    ASSERT_TRUE(cube->HasBuffers());
    EXPECT_EQ(cube->GetStride(), 36u);
    ExpectVertexBytes(*cube);
    EXPECT_EQ(IndicesIn(cube->GetIndexBuffer()),
              (std::vector<u16>{1, 2, 0, 1, 3, 2, 4, 6, 5, 6, 7, 5, 8, 10, 9, 10, 11, 9,
                                13, 14, 12, 13, 15, 14, 16, 18, 17, 18, 19, 17, 21, 22, 20, 21, 23, 22}));

    Mesh* skinned = meshes.Create("skinned");
    for (int i = 0; i < 3; ++i) skinned->AddSkinnedVertex(float(i), 0, 0, 0, 1, 0, 0, 0, 1, 1, 1, 1, 0.5f, 0.5f, 0, 0, 0, 1, 0, 0);
    skinned->AddTriangle(70000, 1, 2);
    skinned->Build();
    EXPECT_EQ(skinned->GetStride(), 56u);
    ExpectVertexBytes(*skinned);
    EXPECT_EQ(IndicesIn(skinned->GetIndexBuffer()), (std::vector<u16>{4464, 1, 2})) << "70000 keeps its low 16 bits";
}

TEST(MeshBuffers, ReleaseAndRebuildRestoreTheBuffersAndKeepTheFirstBounds) {
    RecordingRenderDevice device;
    MeshManager meshes;
    Mesh* sphere = meshes.Create("Sphere");
    BuildSphereMesh(sphere, 15, 15);
    const Vec3 centre = sphere->GetCentre(), half = sphere->GetHalfExtents();
    const std::vector<u8> vertexBytes = sphere->GetVertexBuffer()->Bytes();
    const std::size_t live = device.recording->LiveObjects();

    meshes.ReleaseAllBuffers();
    EXPECT_FALSE(sphere->HasBuffers());
    EXPECT_EQ(device.recording->LiveObjects(), live - 2);
    sphere->AddVertex(100, 100, 100, 0, 1, 0, 0, 0, 255, 255, 255, 255);
    meshes.RebuildAllBuffers();
    ASSERT_TRUE(sphere->HasBuffers());
    EXPECT_EQ(device.recording->LiveObjects(), live);
    EXPECT_EQ(sphere->GetVertexCount(), 257u);
    EXPECT_EQ(std::memcmp(sphere->GetVertexBuffer()->Bytes().data(), vertexBytes.data(), vertexBytes.size()), 0);
    EXPECT_EQ(sphere->GetCentre(), centre) << "bounds are computed at the first build only";
    EXPECT_EQ(sphere->GetHalfExtents(), half);

    // Building again gives the old buffers back instead of leaking them.
    sphere->Build();
    EXPECT_EQ(device.recording->LiveObjects(), live);
}

TEST(MeshBuffers, AFailedIndexBufferKeepsTheVertexBufferAndReleasesTheDeviceLock) {
    RecordingRenderDevice device;
    GraphicsLogCapture log;
    Mesh mesh;
    mesh.AddVertex(0, 0, 0, 0, 1, 0, 0, 0, 255, 255, 255, 255);
    mesh.Build();  // no indices: the index buffer cannot be made
    EXPECT_NE(mesh.GetVertexBuffer(), nullptr);
    EXPECT_EQ(mesh.GetIndexBuffer(), nullptr);
    EXPECT_FALSE(mesh.HasBuffers());
    EXPECT_NE(log.Text().find("no index buffer"), std::string::npos) << log.Text();

    Mesh empty;
    empty.Build();  // no vertices either
    EXPECT_EQ(empty.GetVertexBuffer(), nullptr);

    auto other = std::async(std::launch::async, [&] {
        device.device.Lock();
        device.device.Unlock();
    });
    EXPECT_EQ(other.wait_for(std::chrono::seconds(10)), std::future_status::ready) << "the lock was left taken";
}

TEST(MeshBuffers, ReplacedMeshesStayAliveUntilTheManagerIsCleared) {
    MeshManager meshes;
    Mesh* first = meshes.Create("Crate");
    BuildCubeMesh(first, 1, 1);  // no device: lists only
    EXPECT_FALSE(first->HasBuffers());
    Mesh* second = meshes.Create("Crate");
    EXPECT_NE(first, second);
    EXPECT_EQ(meshes.Find("Crate"), second);
    EXPECT_EQ(first->GetVertices().size(), 24u) << "still readable by whoever held it";
    meshes.Clear();
    EXPECT_EQ(meshes.Find("Crate"), nullptr);
    EXPECT_EQ(meshes.Count(), 0u);
}

}  // namespace
}  // namespace Ostrel
