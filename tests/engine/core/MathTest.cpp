#include "engine/core/BoundingVolume.h"
#include "engine/core/MathFunctions.h"
#include "engine/core/Matrix4.h"
#include "engine/core/Random.h"
#include "engine/core/Vec2.h"
#include "engine/core/Vec4.h"

#include <gtest/gtest.h>

#include <deque>

using namespace Ostrel;

namespace {

// Feeds Rand() a fixed sequence for the duration of a test.
class ScriptedRand {
public:
    explicit ScriptedRand(std::deque<int> values) : m_values(std::move(values)) {
        SetRandSourceForTests([this] {
            int v = m_values.front();
            m_values.pop_front();
            return v;
        });
    }
    ~ScriptedRand() { SetRandSourceForTests(nullptr); }

private:
    std::deque<int> m_values;
};

void ExpectVec4(const Vec4& v, float x, float y, float z, float w) {
    EXPECT_NEAR(v.x, x, 1e-5f);
    EXPECT_NEAR(v.y, y, 1e-5f);
    EXPECT_NEAR(v.z, z, 1e-5f);
    EXPECT_NEAR(v.w, w, 1e-5f);
}

}  // namespace

TEST(Vec3, EqualityUsesAnAbsoluteTolerancePerAxis) {
    EXPECT_TRUE(Vec3(1, 2, 3) == Vec3(1.0009f, 2, 3));
    EXPECT_FALSE(Vec3(1, 2, 3) == Vec3(1.0011f, 2, 3));
    EXPECT_TRUE(Vec3(1, 2, 3) != Vec3(1, 2, 3.0011f));
    EXPECT_TRUE(Vec3(0, 0, 0) == Vec3(0.001f, -0.001f, 0.001f));  // exactly the tolerance
    EXPECT_FALSE(Vec3(1, 2, 3) == Vec3(1, 1.998f, 3));
}

TEST(Vec3, NormalisingZeroStaysZeroAndOtherwiseGivesUnitLength) {
    Vec3 zero;
    zero.NormalizeThis();
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.y, 0.0f);
    EXPECT_EQ(zero.z, 0.0f);
    Vec3 n = Vec3().Normalized();
    EXPECT_EQ(n.LengthSquared(), 0.0f);
    Vec3 v = Vec3(3, 0, 4).Normalized();
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.z, 0.8f);
}

TEST(Vec3, MinAndMaxComponentIndexBreakTiesTowardTheLowerIndex) {
    EXPECT_EQ(Vec3(1, 1, 2).MinComponentIndex(), 0);
    EXPECT_EQ(Vec3(2, 1, 1).MinComponentIndex(), 1);
    EXPECT_EQ(Vec3(3, 2, 1).MinComponentIndex(), 2);
    EXPECT_EQ(Vec3(2, 2, 1).MaxComponentIndex(), 0);
    EXPECT_EQ(Vec3(1, 3, 3).MaxComponentIndex(), 1);
    EXPECT_EQ(Vec3(1, 2, 3).MaxComponentIndex(), 2);
}

TEST(Vec3, OperatorsAndProducts) {
    Vec3 a(1, 2, 3), b(4, 5, 6);
    EXPECT_TRUE(a + b == Vec3(5, 7, 9));
    EXPECT_TRUE(b - a == Vec3(3, 3, 3));
    EXPECT_TRUE(a * b == Vec3(4, 10, 18));
    EXPECT_TRUE(a + 1.0f == Vec3(2, 3, 4));
    EXPECT_TRUE(a * 2.0f == Vec3(2, 4, 6));
    EXPECT_TRUE(b / 2.0f == Vec3(2, 2.5f, 3));
    EXPECT_FLOAT_EQ(a.Dot(b), 32.0f);
    EXPECT_TRUE(Vec3(1, 0, 0).Cross(Vec3(0, 1, 0)) == Vec3(0, 0, 1));
    Vec3 c = a;
    c += b;
    c -= a;
    c *= 2.0f;
    c /= 2.0f;
    c += 1.0f;
    c *= Vec3(1, 0, 1);
    EXPECT_TRUE(c == Vec3(5, 0, 7));
    c = c;
    EXPECT_TRUE(c == Vec3(5, 0, 7));
}

TEST(Vec4, ScalingKeepsWAndConstructionFromVec3) {
    Vec4 v = Vec4(1, 2, 3, 4) * 2.0f;
    ExpectVec4(v, 2, 4, 6, 4);
    ExpectVec4(Vec4(Vec3(1, 2, 3), 1), 1, 2, 3, 1);
    ExpectVec4(Vec4(1, 2, 3, 4) + Vec4(1, 1, 1, 1) - Vec4(0, 0, 0, 2), 2, 3, 4, 3);
    Vec2 s(1, 2);
    s *= 3.0f;
    EXPECT_FLOAT_EQ(s.y, 6.0f);
}

TEST(MathFunctions, RandomRangeReachesBothEnds) {
    ScriptedRand scripted({0, 32767, 16000});
    EXPECT_EQ(RandomRange(0, 1), 0.0f);
    EXPECT_EQ(RandomRange(0, 1), 1.0f);
    EXPECT_EQ(RandomRange(5, 5), 5.0f);
}

TEST(MathFunctions, RandomVec3DrawsZThenYThenX) {
    {
        ScriptedRand scripted({0, 32767, 16383});
        Vec3 v = RandomVec3(0, 1, 0, 1, 0, 1);
        EXPECT_EQ(v.z, 0.0f);
        EXPECT_EQ(v.y, 1.0f);
        EXPECT_NEAR(v.x, 0.5f, 1e-4f);
    }
    {
        ScriptedRand scripted({32767, 0, 0});
        Vec3 v = RandomVec3(Vec3(-1, -2, -3), Vec3(1, 2, 3));
        EXPECT_EQ(v.z, 3.0f);
        EXPECT_EQ(v.y, -2.0f);
        EXPECT_EQ(v.x, -1.0f);
    }
}

TEST(MathFunctions, AnglesUseTheSinglePrecisionPi) {
    EXPECT_EQ(DegToRad(180.0f), 3.1415927f);
    EXPECT_FLOAT_EQ(RadToDeg(3.1415927f), 180.0f);
    EXPECT_FLOAT_EQ(DegToRad(90.0f), 3.1415927f * 90.0f / 180.0f);
}

TEST(MathFunctions, ClampAndToLower) {
    EXPECT_EQ(Clamp(5.0f, 0.0f, 1.0f), 1.0f);
    EXPECT_EQ(Clamp(-1.0f, 0.0f, 1.0f), 0.0f);
    EXPECT_EQ(Clamp(0.5f, 0.0f, 1.0f), 0.5f);
    EXPECT_EQ(Clamp(7, 0, 3), 3);
    std::string text = "CoreSystem-\xC4Z@[";
    ToLower(text);
    EXPECT_EQ(text, "coresystem-\xC4z@[");
}

TEST(Matrix4, RowVectorTimesMatrixPutsTranslationInTheFourthRow) {
    Matrix4 m = Matrix4::Identity();
    m(3, 0) = 10;
    m(3, 1) = 20;
    m(3, 2) = 30;
    ExpectVec4(Vec4(1, 0, 0, 1) * m, 11, 20, 30, 1);
    // The column product reads rows instead.
    ExpectVec4(m.TransformVec4(Vec4(1, 0, 0, 1)), 1, 0, 0, 11);
}

TEST(Matrix4, ProductAppliesTheLeftFactorFirst) {
    Matrix4 scale = ScalingMatrix(2, 2, 2);
    Matrix4 move = TranslationMatrix(1, 0, 0);
    ExpectVec4(Vec4(1, 0, 0, 1) * (scale * move), 3, 0, 0, 1);
    ExpectVec4(Vec4(1, 0, 0, 1) * Matrix4::Multiply(move, scale), 4, 0, 0, 1);
    EXPECT_TRUE(Matrix4() == Matrix4(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
}

// The row-at-a-time product against the textbook element sum: equal to the
// last bit, since each element adds its four terms in the same order. The
// identity is exact ones and zeros, and SetIdentity overwrites everything.
TEST(Matrix4, ProductMatchesTheElementSumExactlyAndIdentityIsExact) {
    unsigned seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return float(int(seed >> 8) % 20001 - 10000) / 977.0f;
    };
    for (int trial = 0; trial < 50; ++trial) {
        Matrix4 a, b;
        for (float& e : a.m) e = next();
        for (float& e : b.m) e = next();
        const Matrix4 product = a * b;
        for (int i = 0; i < 4; ++i) {
            for (int j = 0; j < 4; ++j) {
                float sum = 0.0f;
                for (int k = 0; k < 4; ++k) sum += a(i, k) * b(k, j);
                ASSERT_EQ(product(i, j), sum) << "trial " << trial << " element " << i << "," << j;
            }
        }
        EXPECT_TRUE(a * Matrix4::Identity() == a);
        EXPECT_TRUE(Matrix4::Identity() * a == a);
        EXPECT_TRUE(a.SetIdentity() == Matrix4(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1));
    }
}

TEST(Matrix4, TransformScalesThenRotatesXYZThenTranslates) {
    Matrix4 identity;
    BuildTransformMatrix(identity, Vec3(), Vec3(), Vec3(1, 1, 1));
    EXPECT_TRUE(identity.NearlyEqual(Matrix4::Identity()));

    // Left-handed rotations for row vectors: +90 about y takes +x to -z,
    // +90 about z takes +x to +y, +90 about x takes +y to +z.
    Matrix4 m;
    ExpectVec4(Vec4(1, 0, 0, 1) * BuildTransformMatrix(m, Vec3(), Vec3(0, 90, 0), Vec3(1, 1, 1)), 0,
               0, -1, 1);
    ExpectVec4(Vec4(1, 0, 0, 1) * BuildTransformMatrix(m, Vec3(), Vec3(0, 0, 90), Vec3(1, 1, 1)), 0,
               1, 0, 1);
    ExpectVec4(Vec4(0, 1, 0, 1) * BuildTransformMatrix(m, Vec3(), Vec3(90, 0, 0), Vec3(1, 1, 1)), 0,
               0, 1, 1);
    // x then y: +y -> +z (about x) -> +x (about y). The other order would
    // leave +y alone.
    ExpectVec4(Vec4(0, 1, 0, 1) * BuildTransformMatrix(m, Vec3(), Vec3(90, 90, 0), Vec3(1, 1, 1)),
               1, 0, 0, 1);
    // Scale before rotation and translation last.
    ExpectVec4(Vec4(1, 0, 0, 1) *
                   BuildTransformMatrix(m, Vec3(5, 6, 7), Vec3(0, 0, 90), Vec3(2, 3, 4)),
               5, 8, 7, 1);
}

TEST(Matrix4, InverseTransformUndoesTheTransform) {
    Vec3 t(3, -2, 7), r(30, -45, 60), s(2, 0.5f, 3);
    Matrix4 forward, inverse, general;
    BuildTransformMatrix(forward, t, r, s);
    BuildInverseTransformMatrix(inverse, t, r, s);
    EXPECT_TRUE((forward * inverse).NearlyEqual(Matrix4::Identity(), 1e-5f));
    ASSERT_TRUE(InverseMatrix(general, forward));
    EXPECT_TRUE(general.NearlyEqual(inverse, 1e-5f));
    Matrix4 untouched = Matrix4::Identity();
    EXPECT_FALSE(InverseMatrix(untouched, Matrix4()));
    EXPECT_TRUE(untouched == Matrix4::Identity());
}

TEST(Matrix4, ViewAndProjectionBuilders) {
    Matrix4 view;
    LookAtMatrix(view, Vec3(0, 0, -10), Vec3(0, 0, 0), Vec3(0, 1, 0));
    ExpectVec4(Vec4(0, 0, 0, 1) * view, 0, 0, 10, 1);
    ExpectVec4(Vec4(1, 0, 0, 1) * view, 1, 0, 10, 1);

    Matrix4 projection;
    PerspectiveMatrix(projection, 3.1415927f * 0.33f, 1.0f, 5000.0f, 1280, 720);
    Vec4 nearPoint = Vec4(0, 0, 1, 1) * projection;
    Vec4 farPoint = Vec4(0, 0, 5000, 1) * projection;
    EXPECT_NEAR(nearPoint.z / nearPoint.w, 0.0f, 1e-6f);
    EXPECT_NEAR(farPoint.z / farPoint.w, 1.0f, 1e-5f);
    EXPECT_NEAR(projection.m[5] / projection.m[0], 1280.0f / 720.0f, 1e-5f);

    Matrix4 ortho;
    OrthoMatrix(ortho, 800, 600);
    ExpectVec4(Vec4(400, 300, 10, 1) * ortho, 1, 1, 1, 1);
}

TEST(BoundsOfPoints, FitsBoxesWithEachHorizontalModeAndKeepsY) {
    // A mesh 4 wide (x), 1 high (y) and 2 deep (z), centred on (1, 0.5, 0).
    std::vector<Vec3> points = {{-1, 0, -1}, {3, 1, 1}, {0, 0.5f, 0}};
    struct Case {
        u16 mode;
        float x, z;
    } cases[] = {{kVolumeDefault, 4, 2}, {kVolumeAverage, 3, 3}, {kVolumeMinimum, 2, 2},
                 {kVolumeMaximum, 4, 4}, {9, 4, 2}};
    for (const Case& c : cases) {
        BoundingVolume v;
        ASSERT_TRUE(BoundsOfPoints(v, points, Vec3(1, 1, 1), c.mode, 1.0f, Vec3(0, 0, 10)));
        EXPECT_FLOAT_EQ(v.size.x, c.x) << c.mode;
        EXPECT_FLOAT_EQ(v.size.y, 1.0f) << c.mode;
        EXPECT_FLOAT_EQ(v.size.z, c.z) << c.mode;
        EXPECT_TRUE(v.centre == Vec3(1, 0.5f, 10));
    }
}

TEST(BoundsOfPoints, SphereOfAUnitCubeAndScaledRotatedFits) {
    std::vector<Vec3> cube;
    for (int i = 0; i < 8; ++i)
        cube.push_back({i & 1 ? 0.5f : -0.5f, i & 2 ? 0.5f : -0.5f, i & 4 ? 0.5f : -0.5f});
    BoundingVolume sphere;
    sphere.kind = kShapeSphere;
    ASSERT_TRUE(BoundsOfPoints(sphere, cube, Vec3(1, 1, 1), kVolumeDefault, 1.0f, Vec3()));
    EXPECT_NEAR(sphere.size.x, 0.866f, 0.0005f);
    EXPECT_EQ(sphere.size.x, sphere.size.z);

    // Scale times factor, rotation only when asked for.
    std::vector<Vec3> bar = {{-1, 0, 0}, {1, 0, 0}};
    BoundingVolume box;
    ASSERT_TRUE(BoundsOfPointsEx(box, bar, nullptr, Vec3(2, 1, 1), Vec3(0, 90, 0), 0, false, 1.5f,
                                 Vec3()));
    EXPECT_FLOAT_EQ(box.size.x, 6.0f);
    ASSERT_TRUE(BoundsOfPointsEx(box, bar, nullptr, Vec3(2, 1, 1), Vec3(0, 90, 0), 0, true, 1.5f,
                                 Vec3()));
    EXPECT_NEAR(box.size.x, 0.0f, 1e-5f);
    EXPECT_NEAR(box.size.z, 6.0f, 1e-5f);
}

TEST(BoundsOfPoints, StridedVerticesIndicesAndEmptyInputKeepThePreviousVolume) {
    struct Vertex {
        float position[3];
        float normal[3];
        float extra[8];
    };
    std::vector<Vertex> vertices(3);
    vertices[0] = {{0, 0, 0}, {}, {}};
    vertices[1] = {{2, 2, 2}, {}, {}};
    vertices[2] = {{100, 100, 100}, {}, {}};
    std::vector<u32> indices = {0, 1, 7};  // 7 is out of range and ignored
    BoundingVolume v;
    ASSERT_TRUE(BoundsOfPointsEx(v, PointView(vertices.data(), vertices.size(), sizeof(Vertex)),
                                 &indices, Vec3(1, 1, 1), Vec3(), 0, false, 1.0f, Vec3()));
    EXPECT_TRUE(v.size == Vec3(2, 2, 2));

    BoundingVolume kept = v;
    EXPECT_FALSE(BoundsOfPoints(v, std::vector<Vec3>{}, Vec3(1, 1, 1), 0, 1.0f, Vec3(5, 5, 5)));
    EXPECT_TRUE(v.size == kept.size);
    EXPECT_TRUE(v.centre == kept.centre);
}
