#pragma once
// Four floats: homogeneous points (w = 1) and directions (w = 0), colours
// with alpha. Multiplying by a Matrix4 treats the vector as a row vector
// (see Matrix4.h).

#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"

namespace Ostrel {

struct Vec4 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;

    Vec4() = default;
    Vec4(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
    Vec4(const Vec3& v, float w_) : x(v.x), y(v.y), z(v.z), w(w_) {}
    Vec4(const Vec3& v, int w_) : x(v.x), y(v.y), z(v.z), w(float(w_)) {}

    Vec4 operator+(const Vec4& o) const { return {x + o.x, y + o.y, z + o.z, w + o.w}; }
    Vec4 operator-(const Vec4& o) const { return {x - o.x, y - o.y, z - o.z, w - o.w}; }
    // Scales x, y and z; w is kept (a point stays a point).
    Vec4 operator*(float s) const { return {x * s, y * s, z * s, w}; }

    Vec3 XYZ() const { return {x, y, z}; }

    void SetX(const float& v) { x = v; }
    void SetY(const float& v) { y = v; }
    void SetZ(const float& v) { z = v; }
    void SetW(const float& v) { w = v; }
    void GetX(float& out) const { out = x; }
    void GetY(float& out) const { out = y; }
    void GetZ(float& out) const { out = z; }
    void GetW(float& out) const { out = w; }
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::Vec4);
