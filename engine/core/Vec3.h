#pragma once
// Three floats: positions, velocities, directions, colours, Euler angles in
// degrees. Every stored component is a single-precision float.
//
// Equality is approximate: two vectors are equal when every axis differs by at
// most kVecEpsilon (0.001, absolute). Game code compares positions with ==
// and relies on that tolerance.

#include "engine/core/MetaClassOf.h"

namespace Ostrel {

constexpr float kVecEpsilon = 0.001f;

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    Vec3() = default;
    Vec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    static Vec3 Zero() { return Vec3(); }

    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator*(const Vec3& o) const { return {x * o.x, y * o.y, z * o.z}; }
    Vec3 operator+(float s) const { return {x + s, y + s, z + s}; }
    Vec3 operator*(float s) const { return {x * s, y * s, z * s}; }
    Vec3 operator/(float s) const { return {x / s, y / s, z / s}; }
    Vec3 operator-() const { return {-x, -y, -z}; }

    Vec3& operator+=(const Vec3& o);
    Vec3& operator-=(const Vec3& o);
    Vec3& operator*=(const Vec3& o);
    Vec3& operator+=(float s);
    Vec3& operator*=(float s);
    Vec3& operator/=(float s);

    bool operator==(const Vec3& o) const;
    bool operator!=(const Vec3& o) const { return !(*this == o); }

    float Dot(const Vec3& o) const { return x * o.x + y * o.y + z * o.z; }
    Vec3 Cross(const Vec3& o) const;
    float LengthSquared() const { return Dot(*this); }
    float Length() const;
    // Divides by the length; a zero vector is left unchanged.
    void NormalizeThis();
    // A normalised copy; (0, 0, 0) for a zero vector.
    Vec3 Normalized() const;
    // Index 0, 1 or 2 of the smallest / largest component; ties go to the
    // lower index.
    int MinComponentIndex() const;
    int MaxComponentIndex() const;

    float& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
    float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }

    // Field accessors of the reflected "Vec3" (script and editor access).
    void SetX(const float& v) { x = v; }
    void SetY(const float& v) { y = v; }
    void SetZ(const float& v) { z = v; }
    void GetX(float& out) const { out = x; }
    void GetY(float& out) const { out = y; }
    void GetZ(float& out) const { out = z; }
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::Vec3);
