#include "engine/graphics/animation/Quaternion.h"

#include <gtest/gtest.h>

namespace Ostrel {
namespace {

TEST(Quaternion, MatricesFollowTheRowVectorConvention) {
    // 90 degrees about z turns +x into +y.
    const Quaternion quarter = Quaternion::FromAxisAngle({0, 0, 1}, 3.1415927f / 2);
    EXPECT_EQ(Vec3(0, 1, 0), RotateByQuaternion({1, 0, 0}, quarter));
    const Vec4 row = Vec4(1, 0, 0, 1) * QuaternionTranslationToMatrix(quarter, {5, 0, 0});
    EXPECT_NEAR(5.0f, row.x, 1e-6f);
    EXPECT_NEAR(1.0f, row.y, 1e-6f);

    // "a then b" is the matrix product a * b, for rotations about different axes.
    const Quaternion a = Quaternion::FromAxisAngle({0, 0, 1}, 0.7f);
    const Quaternion b = Quaternion::FromAxisAngle(Vec3(1, 1, 0).Normalized(), 1.1f);
    EXPECT_TRUE(QuaternionToMatrix(QuaternionConcat(a, b)).NearlyEqual(QuaternionToMatrix(a) * QuaternionToMatrix(b)));

    const RigidTransform local{{0, 2, 0}, a};
    const RigidTransform parent{{1, 0, 3}, b};
    EXPECT_TRUE(local.Then(parent).ToMatrix().NearlyEqual(local.ToMatrix() * parent.ToMatrix()));
    EXPECT_TRUE((local.Inverse().ToMatrix() * local.ToMatrix()).NearlyEqual(Matrix4::Identity()));
}

}  // namespace
}  // namespace Ostrel
