#include "engine/core/Vec3.h"

#include <cmath>

namespace Ostrel {

Vec3& Vec3::operator+=(const Vec3& o) {
    x += o.x;
    y += o.y;
    z += o.z;
    return *this;
}

Vec3& Vec3::operator-=(const Vec3& o) {
    x -= o.x;
    y -= o.y;
    z -= o.z;
    return *this;
}

Vec3& Vec3::operator*=(const Vec3& o) {
    x *= o.x;
    y *= o.y;
    z *= o.z;
    return *this;
}

Vec3& Vec3::operator+=(float s) {
    x += s;
    y += s;
    z += s;
    return *this;
}

Vec3& Vec3::operator*=(float s) {
    x *= s;
    y *= s;
    z *= s;
    return *this;
}

Vec3& Vec3::operator/=(float s) {
    x /= s;
    y /= s;
    z /= s;
    return *this;
}

bool Vec3::operator==(const Vec3& o) const {
    return std::fabs(x - o.x) <= kVecEpsilon && std::fabs(y - o.y) <= kVecEpsilon &&
           std::fabs(z - o.z) <= kVecEpsilon;
}

Vec3 Vec3::Cross(const Vec3& o) const {
    return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x};
}

float Vec3::Length() const { return std::sqrt(LengthSquared()); }

void Vec3::NormalizeThis() {
    float length = Length();
    if (length != 0.0f) *this /= length;
}

Vec3 Vec3::Normalized() const {
    Vec3 copy = *this;
    copy.NormalizeThis();
    return copy;
}

int Vec3::MinComponentIndex() const {
    int best = 0;
    for (int i = 1; i < 3; ++i)
        if ((*this)[i] < (*this)[best]) best = i;
    return best;
}

int Vec3::MaxComponentIndex() const {
    int best = 0;
    for (int i = 1; i < 3; ++i)
        if ((*this)[i] > (*this)[best]) best = i;
    return best;
}

}  // namespace Ostrel
