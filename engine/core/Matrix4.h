#pragma once
// The engine's 4 x 4 matrix and the builders of world, view and projection
// matrices.
//
// Conventions (every engine and game computation uses them; only the GL device
// converts to its own):
// row-major storage m[row * 4 + column]; vectors are rows, v' = v * M, so a
// product A * B applies A first and a translation sits in the fourth row
// (elements 12, 13, 14); left-handed view and projection with clip depth
// 0..1. Angles given to the builders are degrees converted with
// DegToRad (3.1415927 / 180).

#include "engine/base/Types.h"
#include "engine/core/Vec3.h"
#include "engine/core/Vec4.h"

namespace Ostrel {

struct Matrix4 {
    float m[16] = {};  // a new matrix is all zero, not the identity

    Matrix4() = default;
    // Inline: the pose code builds one per bone.
    Matrix4(float m00, float m01, float m02, float m03, float m10, float m11, float m12, float m13,
            float m20, float m21, float m22, float m23, float m30, float m31, float m32, float m33)
        : m{m00, m01, m02, m03, m10, m11, m12, m13, m20, m21, m22, m23, m30, m31, m32, m33} {}

    static Matrix4 Identity();
    Matrix4& SetIdentity();

    float& operator()(int row, int column) { return m[row * 4 + column]; }
    float operator()(int row, int column) const { return m[row * 4 + column]; }

    // this x rhs: out[i][j] = sum over k of this[i][k] * rhs[k][j].
    Matrix4 Multiply(const Matrix4& rhs) const;
    static Matrix4 Multiply(const Matrix4& a, const Matrix4& b) { return a.Multiply(b); }
    Matrix4 operator*(const Matrix4& rhs) const { return Multiply(rhs); }

    // The column-vector product: component i is row i dotted with v. (A row
    // vector times the matrix is Vec4 * Matrix4 below.)
    Vec4 TransformVec4(const Vec4& v) const;
    static Vec4 TransformVec4(const Matrix4& matrix, const Vec4& v) { return matrix.TransformVec4(v); }


    // Exact element comparison; tests use NearlyEqual.
    bool operator==(const Matrix4& o) const;
    bool NearlyEqual(const Matrix4& o, float tolerance = 1e-5f) const;
};

// Row vector times matrix: result j = x*m[0*4+j] + y*m[1*4+j] + z*m[2*4+j] + w*m[3*4+j].
Vec4 operator*(const Vec4& v, const Matrix4& matrix);

// Elementary matrices for row vectors (angles in radians).
Matrix4 ScalingMatrix(float sx, float sy, float sz);
Matrix4 TranslationMatrix(float tx, float ty, float tz);
Matrix4 RotationXMatrix(float radians);
Matrix4 RotationYMatrix(float radians);
Matrix4 RotationZMatrix(float radians);

// World matrix: scale, then rotation about x, then y, then z (degrees), then
// translation. Returns out.
Matrix4& BuildTransformMatrix(Matrix4& out, const Vec3& translation, const Vec3& rotationDegrees,
                              const Vec3& scale);
// The exact inverse of BuildTransformMatrix: translation(-t), rotations -z,
// -y, -x, then the reciprocal scale. A zero scale component gives infinities.
Matrix4& BuildInverseTransformMatrix(Matrix4& out, const Vec3& translation,
                                     const Vec3& rotationDegrees, const Vec3& scale);
// Left-handed look-at view matrix. eye == at or a zero up vector is undefined
// input and gives a matrix of NaNs.
Matrix4& LookAtMatrix(Matrix4& out, const Vec3& eye, const Vec3& at, const Vec3& up);
// Left-handed perspective with depth 0..1; aspect = width / height in double
// precision. A zero height gives an infinite aspect (undefined input).
Matrix4& PerspectiveMatrix(Matrix4& out, float fovYRadians, float nearPlane, float farPlane,
                           u32 width, u32 height);
// Left-handed orthographic projection of width x height, near 0, far 10.
Matrix4& OrthoMatrix(Matrix4& out, u32 width, u32 height);
// General inverse. Returns false and leaves out unchanged when the matrix is
// singular.
bool InverseMatrix(Matrix4& out, const Matrix4& matrix);
Matrix4& SetIdentityMatrix(Matrix4& matrix);

}  // namespace Ostrel
