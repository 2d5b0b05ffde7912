// Debug shapes on the recording device: what a queued request stores, the
// world matrix and colour each kind is drawn with, the line's rewritten end
// points, kinds that name no shape, and the collision outlines physics
// queues through the drawer the graphics layer installs.

#include "engine/components/CollisionComponent.h"
#include "engine/core/Matrix4.h"
#include "engine/graphics/device/DeviceResources.h"
#include "engine/physics/Physics.h"

#include "tests/engine/graphics/FrameTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace Ostrel {
namespace {

using namespace Ostrel::Testing;

struct ShapeWorld : FrameWorld {
    ShapeWorld() { recording->GetTrace().Clear(); }
    // Queues one request and draws it; returns the world matrix it used.
    std::vector<float> Draw(int kind, Vec3 at, Vec3 size, const Matrix4& inverseView = Matrix4::Identity()) {
        DebugDrawQueue::Instance().Clear();
        Graphics::DrawDebugShape(kind, at.x, at.y, at.z, size.x, size.y, size.z, 255, 0, 0, 128);
        graphics.DrawDebugShapes(*recording, DebugDrawQueue::Instance().Shapes().back(), inverseView);
        return recording->UniformValues(Program(), "WorldMat");
    }
    rd::Program* Program() const { return graphics.GetProgram(Graphics::kDebugProgram)->GetDeviceProgram(); }
};

std::vector<float> M(const Matrix4& m) { return std::vector<float>(m.m, m.m + 16); }

TEST(GraphicsDebugShapes, NegativeSizesStandForTheFirstAndZeroStaysFlat) {
    DebugDrawQueue::Instance().Clear();
    Graphics::DrawDebugShape(3, 1, 2, 3, 2, -1, -1, 255, 0, 0, 128);
    Graphics::DrawDebugShape(2, 0, 0, 0, 4, 0, -0.5f, 0, 0, 0, 0);
    const std::vector<DebugShapeCall>& shapes = DebugDrawQueue::Instance().Shapes();
    ASSERT_EQ(shapes.size(), 2u);
    EXPECT_EQ((std::vector<float>{shapes[0].sizeX, shapes[0].sizeY, shapes[0].sizeZ}), (std::vector<float>{2, 2, 2}));
    EXPECT_EQ((std::vector<float>{shapes[1].sizeX, shapes[1].sizeY, shapes[1].sizeZ}), (std::vector<float>{4, 0, 4}));
    DebugDrawQueue::Instance().Clear();
}

TEST(GraphicsDebugShapes, EachKindDrawsItsMeshWithItsPlacementAndColour) {
    ShapeWorld w;
    // Kind 3 with sizes (2, -1, -1): a 2 x 2 x 2 box at its position.
    Matrix4 box;
    BuildTransformMatrix(box, Vec3(1, 2, 3), Vec3(0, 0, 0), Vec3(2, 2, 2));
    EXPECT_EQ(w.Draw(3, Vec3(1, 2, 3), Vec3(2, -1, -1)), M(box));
    const std::vector<float> colour = w.recording->UniformValues(w.Program(), "debug_color");
    ASSERT_EQ(colour.size(), 4u);
    EXPECT_FLOAT_EQ(colour[0], 1.0f);
    EXPECT_FLOAT_EQ(colour[1], 0.0f);
    EXPECT_FLOAT_EQ(colour[3], 128.0f / 255.0f);
    const Mesh* cube = w.graphics.GetDebugMesh(Graphics::kDebugCube);
    EXPECT_EQ(w.recording->GetTrace().Lines({"SetRenderState", "SetStreamSource", "DrawIndexed"}),
              (std::vector<std::string>{"SetRenderState ZEnable 0",
                                        "SetStreamSource " + cube->GetVertexBuffer()->Label() + " 36",
                                        "DrawIndexed 2 " + std::to_string(cube->GetVertexCount()) + " 12",
                                        "SetRenderState ZEnable 1"}));

    // A circle faces the camera: the inverse view's rotation, scaled, at the
    // shape's position whatever the camera's own position.
    Matrix4 view;
    LookAtMatrix(view, Vec3(5, 4, -3), Vec3(0, 0, 0), Vec3(0, 1, 0));
    Matrix4 inverse;
    InverseMatrix(inverse, view);
    Matrix4 facing = ScalingMatrix(1.5f, 1.5f, 1.5f) * inverse;
    facing.m[12] = 7;
    facing.m[13] = 8;
    facing.m[14] = 9;
    EXPECT_EQ(w.Draw(1, Vec3(7, 8, 9), Vec3(1.5f, -1, -1), inverse), M(facing));

    // A line runs from the position to the point given as its size, with an
    // identity world, whatever the camera.
    EXPECT_EQ(w.Draw(0, Vec3(0, 0, 0), Vec3(1, 2, 3), inverse), M(Matrix4::Identity()));
    const std::vector<u8>& bytes = w.graphics.GetDebugMesh(Graphics::kDebugLine)->GetVertexBuffer()->Bytes();
    ASSERT_GE(bytes.size(), 2 * kStaticVertexStride);
    float ends[2][3];
    std::memcpy(ends[0], bytes.data(), sizeof ends[0]);
    std::memcpy(ends[1], bytes.data() + kStaticVertexStride, sizeof ends[1]);
    EXPECT_EQ((std::vector<float>{ends[0][0], ends[0][1], ends[0][2], ends[1][0], ends[1][1], ends[1][2]}),
              (std::vector<float>{0, 0, 0, 1, 2, 3}));

    // A kind that names no shape draws nothing and leaves the states alone.
    w.recording->GetTrace().Clear();
    for (int kind : {4, -1, 1000}) w.Draw(kind, Vec3(0, 0, 0), Vec3(1, 1, 1));
    EXPECT_TRUE(w.recording->GetTrace().Entries().empty());
}

// The physics system's outlines, through the drawer this library installs
// (nothing replaced): a box collider becomes a wire box (kind 3) of its three
// sizes at position + centre, a sphere a circle (kind 1) of its size, in
// yellow; a collider that never overlaps has no outline.
TEST(GraphicsDebugShapes, CollisionOutlinesAreWireBoxesAndCirclesOfTheColliders) {
    ShapeWorld w;
    Physics physics;
    w.engine.AddSystem(&physics);
    PhysicsSettings settings;
    settings.drawCollision = true;
    physics.SetSettings(settings);
    physics.Initialize();
    Composition* box = w.Create("box-collider-obj");
    Composition* ball = w.Create("ball-collider-obj");
    ASSERT_NE(w.Create("ghost-collider-obj"), nullptr);
    ASSERT_TRUE(box && ball);
    box->GetTransform()->SetPosition(Vec3(1, 2, 3));
    ball->GetTransform()->SetPosition(Vec3(-2, 0, 4));
    w.objects.Update(0.0f);  // announces them to physics
    const float r = ball->GetComponentAs<CollisionComponent>()->GetVolume().size.x;
    ASSERT_GT(r, 0.0f);

    DebugDrawQueue::Instance().Clear();
    physics.Update(0.0f);
    const std::vector<DebugShapeCall> shapes = DebugDrawQueue::Instance().Shapes();
    ASSERT_EQ(shapes.size(), 2u) << "the box and the ball; the ghost has no outline";
    auto fields = [](const DebugShapeCall& c) {
        return std::vector<float>{float(c.kind), c.x, c.y, c.z, c.sizeX, c.sizeY, c.sizeZ,
                                  float(c.red), float(c.green), float(c.blue), float(c.alpha)};
    };
    EXPECT_EQ(fields(shapes[0]), (std::vector<float>{3, 1, 2.25f, 3, 2, 1, 0.5f, 255, 255, 0, 255}));
    EXPECT_EQ(fields(shapes[1]), (std::vector<float>{1, -2, 0, 4, r, r, r, 255, 255, 0, 255}));

    // Drawn: the wire cube scaled to the box's sizes at its centre.
    Matrix4 boxWorld;
    BuildTransformMatrix(boxWorld, Vec3(1, 2.25f, 3), Vec3(0, 0, 0), Vec3(2, 1, 0.5f));
    w.recording->GetTrace().Clear();
    w.graphics.DrawDebugShapes(*w.recording, shapes[0], Matrix4::Identity());
    EXPECT_EQ(w.recording->UniformValues(w.Program(), "WorldMat"), M(boxWorld));
    const Mesh* cube = w.graphics.GetDebugMesh(Graphics::kDebugCube);
    EXPECT_EQ(w.recording->GetTrace().Lines({"DrawIndexed"}),
              std::vector<std::string>{"DrawIndexed 2 " + std::to_string(cube->GetVertexCount()) + " 12"});

    // Outlines follow the switches: off with neither, on with the message.
    settings.drawCollision = false;
    physics.SetSettings(settings);
    DebugDrawQueue::Instance().Clear();
    physics.Update(0.0f);
    EXPECT_TRUE(DebugDrawQueue::Instance().Shapes().empty());
    w.core.SendMessageValues("ShowDebugUpdated", true);
    physics.Update(0.0f);
    EXPECT_EQ(DebugDrawQueue::Instance().Shapes().size(), 2u);
    physics.Shutdown();
    DebugDrawQueue::Instance().Clear();
}

}  // namespace
}  // namespace Ostrel
