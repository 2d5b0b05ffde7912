#pragma once
// Rotation quaternions (x, y, z, w, the order of the model file's keys) and
// their matrices in the engine's row-vector convention: a point p is rotated
// by p * QuaternionToMatrix(q). A rotation of angle a about z is
// (0, 0, sin(a/2), cos(a/2)) and turns +x toward +y.

#include "engine/core/Matrix4.h"
#include "engine/core/Vec3.h"

namespace Ostrel {

struct Quaternion {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;

    Quaternion() = default;
    Quaternion(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}

    static Quaternion Identity() { return {}; }
    // Angle in radians about a unit axis.
    static Quaternion FromAxisAngle(const Vec3& axis, float radians);

    Quaternion Conjugate() const { return {-x, -y, -z, w}; }
    // Exact float comparison (round trips of stored keys compare bit-equal values).
    bool operator==(const Quaternion& o) const { return x == o.x && y == o.y && z == o.z && w == o.w; }
};

// The rotation "first a, then b": QuaternionToMatrix(QuaternionConcat(a, b))
// equals QuaternionToMatrix(a) * QuaternionToMatrix(b).
Quaternion QuaternionConcat(const Quaternion& first, const Quaternion& then);

// The identity with its upper-left 3 x 3 block set to the rotation of q.
Matrix4 QuaternionToMatrix(const Quaternion& q);
// The same with t in the fourth row: p * M rotates p, then moves it by t.
Matrix4 QuaternionTranslationToMatrix(const Quaternion& q, const Vec3& t);

// Spherical interpolation from q0 (u = 0) to q1 (u = 1) along the shorter
// arc: when the two have a negative dot product q1 is taken negated (the same
// rotation). Nearly equal rotations (1 - |dot| <= 1e-5) are blended linearly,
// which returns two equal rotations unchanged. u outside 0..1 extrapolates.
// The result is not normalised.
Quaternion QuaternionSlerp(float u, const Quaternion& q0, const Quaternion& q1);

// p rotated by q (p * QuaternionToMatrix(q)).
Vec3 RotateByQuaternion(const Vec3& p, const Quaternion& q);

// A rigid transform (rotation, then translation) with the composition and
// inverse that bind poses need.
struct RigidTransform {
    Vec3 translation;
    Quaternion rotation;

    // This transform applied first, then parent: the model-space transform of
    // a bone whose local transform is this and whose parent's model-space
    // transform is parent.
    RigidTransform Then(const RigidTransform& parent) const;
    // rotation = conjugate, translation = -(t * R(conjugate)).
    RigidTransform Inverse() const;
    Matrix4 ToMatrix() const { return QuaternionTranslationToMatrix(rotation, translation); }
};

}  // namespace Ostrel
