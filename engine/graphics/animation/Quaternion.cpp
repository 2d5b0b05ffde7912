#include "engine/graphics/animation/Quaternion.h"

#include <cmath>

namespace Ostrel {

Quaternion Quaternion::FromAxisAngle(const Vec3& axis, float radians) {
    const float s = std::sin(radians * 0.5f);
    return {axis.x * s, axis.y * s, axis.z * s, std::cos(radians * 0.5f)};
}

// The row-vector matrix of q is the transpose of the usual column-vector one,
// so "a then b" is the Hamilton product b * a.
Quaternion QuaternionConcat(const Quaternion& a, const Quaternion& b) {
    return {b.w * a.x + b.x * a.w + b.y * a.z - b.z * a.y,
            b.w * a.y - b.x * a.z + b.y * a.w + b.z * a.x,
            b.w * a.z + b.x * a.y - b.y * a.x + b.z * a.w,
            b.w * a.w - b.x * a.x - b.y * a.y - b.z * a.z};
}

Quaternion QuaternionSlerp(float u, const Quaternion& q0, const Quaternion& q1) {
    float d = q0.x * q1.x + q0.y * q1.y + q0.z * q1.z + q0.w * q1.w;
    const bool flip = d < 0.0f;
    if (flip) d = -d;
    float w0 = 1.0f - u;
    float w1 = u;
    if (1.0f - d > 1e-5f) {
        const float theta = std::acos(d);
        const float s = std::sin(theta);
        w0 = std::sin((1.0f - u) * theta) / s;
        w1 = std::sin(u * theta) / s;
    }
    if (flip) w1 = -w1;
    return {w0 * q0.x + w1 * q1.x, w0 * q0.y + w1 * q1.y, w0 * q0.z + w1 * q1.z, w0 * q0.w + w1 * q1.w};
}

// Every element is written once (the pose of each bone goes through here):
// a matrix first filled and then partly overwritten costs store-forwarding
// stalls when it is read back whole.
Matrix4 QuaternionTranslationToMatrix(const Quaternion& q, const Vec3& t) {
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    return Matrix4(1 - 2 * y * y - 2 * z * z, 2 * x * y + 2 * z * w, 2 * x * z - 2 * y * w, 0,
                   2 * x * y - 2 * z * w, 1 - 2 * x * x - 2 * z * z, 2 * y * z + 2 * x * w, 0,
                   2 * x * z + 2 * y * w, 2 * y * z - 2 * x * w, 1 - 2 * x * x - 2 * y * y, 0,
                   t.x, t.y, t.z, 1);
}

Matrix4 QuaternionToMatrix(const Quaternion& q) { return QuaternionTranslationToMatrix(q, Vec3(0, 0, 0)); }

Vec3 RotateByQuaternion(const Vec3& p, const Quaternion& q) {
    const Matrix4 m = QuaternionToMatrix(q);
    return {p.x * m(0, 0) + p.y * m(1, 0) + p.z * m(2, 0), p.x * m(0, 1) + p.y * m(1, 1) + p.z * m(2, 1),
            p.x * m(0, 2) + p.y * m(1, 2) + p.z * m(2, 2)};
}

RigidTransform RigidTransform::Then(const RigidTransform& parent) const {
    return {RotateByQuaternion(translation, parent.rotation) + parent.translation,
            QuaternionConcat(rotation, parent.rotation)};
}

RigidTransform RigidTransform::Inverse() const {
    const Quaternion inverse = rotation.Conjugate();
    return {-RotateByQuaternion(translation, inverse), inverse};
}

}  // namespace Ostrel
