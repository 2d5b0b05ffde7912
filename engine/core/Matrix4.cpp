#include "engine/core/Matrix4.h"

#include "engine/core/MathFunctions.h"

#include <cmath>

namespace Ostrel {

// Built whole from constants: zeroing with vector stores and then writing
// the diagonal with scalar ones made every later vector read of the matrix
// wait for the scalar stores (a store-forwarding stall, a quarter of the
// animation pose time).
Matrix4 Matrix4::Identity() {
    return Matrix4(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
}

Matrix4& Matrix4::SetIdentity() {
    *this = Identity();
    return *this;
}

// Row i of the product is the sum of rhs's rows weighted by row i of this,
// four columns at a time. Each element still adds its four terms in k order
// from the first product, so the result is the same as the element-wise sum.
Matrix4 Matrix4::Multiply(const Matrix4& rhs) const {
    Matrix4 out;
    for (int i = 0; i < 4; ++i) {
        float row[4];
        for (int j = 0; j < 4; ++j) row[j] = m[i * 4] * rhs.m[j];
        for (int k = 1; k < 4; ++k) {
            for (int j = 0; j < 4; ++j) row[j] += m[i * 4 + k] * rhs.m[k * 4 + j];
        }
        for (int j = 0; j < 4; ++j) out.m[i * 4 + j] = row[j];
    }
    return out;
}

Vec4 Matrix4::TransformVec4(const Vec4& v) const {
    auto row = [&](int i) {
        return m[i * 4] * v.x + m[i * 4 + 1] * v.y + m[i * 4 + 2] * v.z + m[i * 4 + 3] * v.w;
    };
    return {row(0), row(1), row(2), row(3)};
}

bool Matrix4::operator==(const Matrix4& o) const {
    for (int i = 0; i < 16; ++i)
        if (m[i] != o.m[i]) return false;
    return true;
}

bool Matrix4::NearlyEqual(const Matrix4& o, float tolerance) const {
    for (int i = 0; i < 16; ++i)
        if (std::fabs(m[i] - o.m[i]) > tolerance) return false;
    return true;
}

Vec4 operator*(const Vec4& v, const Matrix4& matrix) {
    const float* m = matrix.m;
    auto column = [&](int j) {
        return v.x * m[0 * 4 + j] + v.y * m[1 * 4 + j] + v.z * m[2 * 4 + j] + v.w * m[3 * 4 + j];
    };
    return {column(0), column(1), column(2), column(3)};
}

Matrix4 ScalingMatrix(float sx, float sy, float sz) {
    return {sx, 0, 0, 0, 0, sy, 0, 0, 0, 0, sz, 0, 0, 0, 0, 1};
}

Matrix4 TranslationMatrix(float tx, float ty, float tz) {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, tx, ty, tz, 1};
}

Matrix4 RotationXMatrix(float radians) {
    float c = std::cos(radians), s = std::sin(radians);
    return {1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1};
}

Matrix4 RotationYMatrix(float radians) {
    float c = std::cos(radians), s = std::sin(radians);
    return {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1};
}

Matrix4 RotationZMatrix(float radians) {
    float c = std::cos(radians), s = std::sin(radians);
    return {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

Matrix4& BuildTransformMatrix(Matrix4& out, const Vec3& t, const Vec3& r, const Vec3& s) {
    out = ScalingMatrix(s.x, s.y, s.z) * RotationXMatrix(DegToRad(r.x)) *
          RotationYMatrix(DegToRad(r.y)) * RotationZMatrix(DegToRad(r.z)) *
          TranslationMatrix(t.x, t.y, t.z);
    return out;
}

Matrix4& BuildInverseTransformMatrix(Matrix4& out, const Vec3& t, const Vec3& r, const Vec3& s) {
    out = TranslationMatrix(-t.x, -t.y, -t.z) * RotationZMatrix(DegToRad(-r.z)) *
          RotationYMatrix(DegToRad(-r.y)) * RotationXMatrix(DegToRad(-r.x)) *
          ScalingMatrix(1.0f / s.x, 1.0f / s.y, 1.0f / s.z);
    return out;
}

Matrix4& LookAtMatrix(Matrix4& out, const Vec3& eye, const Vec3& at, const Vec3& up) {
    Vec3 zAxis = (at - eye).Normalized();
    Vec3 xAxis = up.Cross(zAxis).Normalized();
    Vec3 yAxis = zAxis.Cross(xAxis);
    out = Matrix4(xAxis.x, yAxis.x, zAxis.x, 0, xAxis.y, yAxis.y, zAxis.y, 0, xAxis.z, yAxis.z,
                  zAxis.z, 0, -xAxis.Dot(eye), -yAxis.Dot(eye), -zAxis.Dot(eye), 1);
    return out;
}

Matrix4& PerspectiveMatrix(Matrix4& out, float fovY, float zn, float zf, u32 width, u32 height) {
    float aspect = float(double(width) / double(height));
    float yScale = 1.0f / std::tan(fovY / 2.0f);
    float xScale = yScale / aspect;
    float q = zf / (zf - zn);
    out = Matrix4(xScale, 0, 0, 0, 0, yScale, 0, 0, 0, 0, q, 1, 0, 0, -zn * q, 0);
    return out;
}

Matrix4& OrthoMatrix(Matrix4& out, u32 width, u32 height) {
    const float zn = 0.0f, zf = 10.0f;
    out = Matrix4(2.0f / float(width), 0, 0, 0, 0, 2.0f / float(height), 0, 0, 0, 0,
                  1.0f / (zf - zn), 0, 0, 0, zn / (zn - zf), 1);
    return out;
}

namespace {

// Cofactor expansion in double precision; returns the determinant.
double InvertInto(const double* a, double* inv) {
    inv[0] = a[5] * a[10] * a[15] - a[5] * a[11] * a[14] - a[9] * a[6] * a[15] +
             a[9] * a[7] * a[14] + a[13] * a[6] * a[11] - a[13] * a[7] * a[10];
    inv[4] = -a[4] * a[10] * a[15] + a[4] * a[11] * a[14] + a[8] * a[6] * a[15] -
             a[8] * a[7] * a[14] - a[12] * a[6] * a[11] + a[12] * a[7] * a[10];
    inv[8] = a[4] * a[9] * a[15] - a[4] * a[11] * a[13] - a[8] * a[5] * a[15] +
             a[8] * a[7] * a[13] + a[12] * a[5] * a[11] - a[12] * a[7] * a[9];
    inv[12] = -a[4] * a[9] * a[14] + a[4] * a[10] * a[13] + a[8] * a[5] * a[14] -
              a[8] * a[6] * a[13] - a[12] * a[5] * a[10] + a[12] * a[6] * a[9];
    inv[1] = -a[1] * a[10] * a[15] + a[1] * a[11] * a[14] + a[9] * a[2] * a[15] -
             a[9] * a[3] * a[14] - a[13] * a[2] * a[11] + a[13] * a[3] * a[10];
    inv[5] = a[0] * a[10] * a[15] - a[0] * a[11] * a[14] - a[8] * a[2] * a[15] +
             a[8] * a[3] * a[14] + a[12] * a[2] * a[11] - a[12] * a[3] * a[10];
    inv[9] = -a[0] * a[9] * a[15] + a[0] * a[11] * a[13] + a[8] * a[1] * a[15] -
             a[8] * a[3] * a[13] - a[12] * a[1] * a[11] + a[12] * a[3] * a[9];
    inv[13] = a[0] * a[9] * a[14] - a[0] * a[10] * a[13] - a[8] * a[1] * a[14] +
              a[8] * a[2] * a[13] + a[12] * a[1] * a[10] - a[12] * a[2] * a[9];
    inv[2] = a[1] * a[6] * a[15] - a[1] * a[7] * a[14] - a[5] * a[2] * a[15] +
             a[5] * a[3] * a[14] + a[13] * a[2] * a[7] - a[13] * a[3] * a[6];
    inv[6] = -a[0] * a[6] * a[15] + a[0] * a[7] * a[14] + a[4] * a[2] * a[15] -
             a[4] * a[3] * a[14] - a[12] * a[2] * a[7] + a[12] * a[3] * a[6];
    inv[10] = a[0] * a[5] * a[15] - a[0] * a[7] * a[13] - a[4] * a[1] * a[15] +
              a[4] * a[3] * a[13] + a[12] * a[1] * a[7] - a[12] * a[3] * a[5];
    inv[14] = -a[0] * a[5] * a[14] + a[0] * a[6] * a[13] + a[4] * a[1] * a[14] -
              a[4] * a[2] * a[13] - a[12] * a[1] * a[6] + a[12] * a[2] * a[5];
    inv[3] = -a[1] * a[6] * a[11] + a[1] * a[7] * a[10] + a[5] * a[2] * a[11] -
             a[5] * a[3] * a[10] - a[9] * a[2] * a[7] + a[9] * a[3] * a[6];
    inv[7] = a[0] * a[6] * a[11] - a[0] * a[7] * a[10] - a[4] * a[2] * a[11] +
             a[4] * a[3] * a[10] + a[8] * a[2] * a[7] - a[8] * a[3] * a[6];
    inv[11] = -a[0] * a[5] * a[11] + a[0] * a[7] * a[9] + a[4] * a[1] * a[11] -
              a[4] * a[3] * a[9] - a[8] * a[1] * a[7] + a[8] * a[3] * a[5];
    inv[15] = a[0] * a[5] * a[10] - a[0] * a[6] * a[9] - a[4] * a[1] * a[10] +
              a[4] * a[2] * a[9] + a[8] * a[1] * a[6] - a[8] * a[2] * a[5];
    return a[0] * inv[0] + a[1] * inv[4] + a[2] * inv[8] + a[3] * inv[12];
}

}  // namespace

bool InverseMatrix(Matrix4& out, const Matrix4& matrix) {
    double a[16], inv[16];
    for (int i = 0; i < 16; ++i) a[i] = matrix.m[i];
    double det = InvertInto(a, inv);
    if (det == 0.0 || !std::isfinite(det)) return false;
    for (int i = 0; i < 16; ++i) out.m[i] = float(inv[i] / det);
    return true;
}

Matrix4& SetIdentityMatrix(Matrix4& matrix) { return matrix.SetIdentity(); }

}  // namespace Ostrel
