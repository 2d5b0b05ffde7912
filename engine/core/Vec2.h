#pragma once
// Two floats: texture coordinates, tile counts and stick values.

#include "engine/core/MetaClassOf.h"

namespace Ostrel {

struct Vec2 {
    float x = 0.0f;
    float y = 0.0f;

    Vec2() = default;
    Vec2(float x_, float y_) : x(x_), y(y_) {}

    Vec2& operator*=(float s) {
        x *= s;
        y *= s;
        return *this;
    }

    void SetX(const float& v) { x = v; }
    void SetY(const float& v) { y = v; }
    void GetX(float& out) const { out = x; }
    void GetY(float& out) const { out = y; }
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::Vec2);
