#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/graphics/MatrixManager.h"

#include <gtest/gtest.h>

#include <cmath>

namespace Ostrel {
namespace {

DeviceParams Size(u32 w, u32 h) {
    DeviceParams params;
    params.width = w;
    params.height = h;
    return params;
}

TEST(MatrixManager, CameraMessagesCauseOneViewRebuildAtTheNextGraphicsUpdate) {
    Engine engine;
    CoreSystem core;
    engine.AddSystem(&core);
    MatrixManager matrices;
    EXPECT_EQ(MatrixManager::GetInstance(), &matrices);
    matrices.SetScreenSize(Size(1280, 720));
    matrices.Initialize();

    const float dt = 0.016f;
    core.SendMessageValues("GraphicsUpdate", dt);
    EXPECT_EQ(*matrices.GetView(), Matrix4()) << "zero before any camera message";
    EXPECT_EQ(*matrices.GetInverseView(), Matrix4());

    const float eye[3] = {0, 5, -10}, at[3] = {1, 2, 3}, up[3] = {0, 1, 0};
    core.SendMessageValues("CameraPosUpdate", eye[0], eye[1], eye[2]);
    core.SendMessageValues("CameraLookAtUpdate", at[0], at[1], at[2]);
    core.SendMessageValues("CameraUpUpdate", up[0], up[1], up[2]);
    EXPECT_EQ(*matrices.GetView(), Matrix4()) << "the view waits for the graphics update";
    core.SendMessageValues("GraphicsUpdate", dt);
    core.SendMessageValues("GraphicsUpdate", dt);
    EXPECT_EQ(matrices.GetViewBuildCount(), 1u);

    Matrix4 expected;
    LookAtMatrix(expected, Vec3(0, 5, -10), Vec3(1, 2, 3), Vec3(0, 1, 0));
    EXPECT_EQ(*matrices.GetView(), expected);
    EXPECT_TRUE((*matrices.GetView() * *matrices.GetInverseView()).NearlyEqual(Matrix4::Identity()));
}

TEST(MatrixManager, SizeMatricesFollowTheWindowAndIgnoreAZeroSize) {
    Engine engine;
    CoreSystem core;
    engine.AddSystem(&core);
    MatrixManager matrices;
    const Matrix4* projection = matrices.GetProjection();
    matrices.SetScreenSize(Size(1280, 720));
    matrices.Initialize();

    EXPECT_EQ(*matrices.GetScreen(), Matrix4(640, 0, 0, 0, 0, -360, 0, 0, 0, 0, 1, 0, 640, 360, 0, 1));
    const float ys = 1.0f / std::tan(3.1415927f * 0.33f / 2.0f);
    const float q = 5000.0f / (5000.0f - 1.0f);
    EXPECT_EQ(*projection, Matrix4(ys / 1.7777778f, 0, 0, 0, 0, ys, 0, 0, 0, 0, q, 1, 0, 0, -q, 0));
    EXPECT_EQ(*matrices.GetOrthoProjection(), Matrix4(2.0f / 1280, 0, 0, 0, 0, 2.0f / 720, 0, 0, 0, 0, 0.1f, 0, 0, 0, 0, 1));
    EXPECT_TRUE((*matrices.GetScreen() * *matrices.GetInverseScreen()).NearlyEqual(Matrix4::Identity()));
    EXPECT_TRUE((*projection * *matrices.GetInverseProjection()).NearlyEqual(Matrix4::Identity(), 1e-4f));
    // Clip (1, 1) is the top-right pixel corner.
    const Vec4 corner = Vec4(1, 1, 0, 1) * *matrices.GetScreen();
    EXPECT_EQ(corner.x, 1280.0f);
    EXPECT_EQ(corner.y, 0.0f);

    const Matrix4 before = *projection;
    const bool windowed = true;
    const unsigned zero = 0, width = 1280, height = 720, small = 640, smallHeight = 480;
    core.SendMessageValues("WindowScreenStateChange", windowed, width, zero);
    core.SendMessageValues("WindowScreenStateChange", windowed, zero, height);
    matrices.SetScreenSize(Size(0, 0));
    EXPECT_EQ(*projection, before) << "a minimised window keeps the last good matrices";
    EXPECT_EQ(matrices.GetWidth(), 1280u);
    EXPECT_TRUE(std::isfinite(matrices.GetProjection()->m[0]));

    core.SendMessageValues("WindowScreenStateChange", windowed, small, smallHeight);
    EXPECT_EQ(matrices.GetScreen()->m[0], 320.0f);
    EXPECT_NE(*projection, before);
    core.SendMessageValues("WindowScreenStateChange", windowed, width, height);
    EXPECT_EQ(*projection, before) << "the same size rebuilds the same matrices";
}

}  // namespace
}  // namespace Ostrel
