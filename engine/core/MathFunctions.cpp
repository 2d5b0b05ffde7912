#include "engine/core/MathFunctions.h"

#include "engine/core/Random.h"

#include <cmath>

namespace Ostrel {

float RandomRange(float lo, float hi) {
    return float(double(Rand()) / 32767.0 * double(hi - lo) + double(lo));
}

Vec3 RandomVec3(float xLo, float xHi, float yLo, float yHi, float zLo, float zHi) {
    Vec3 out;
    out.z = RandomRange(zLo, zHi);
    out.y = RandomRange(yLo, yHi);
    out.x = RandomRange(xLo, xHi);
    return out;
}

Vec3 RandomVec3(const Vec3& min, const Vec3& max) {
    return RandomVec3(min.x, max.x, min.y, max.y, min.z, max.z);
}

void ToLower(std::string& text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
}

float Sqrt(float v) { return std::sqrt(v); }
float Sinf(float radians) { return std::sin(radians); }
float Cosf(float radians) { return std::cos(radians); }
float Acosf(float v) { return std::acos(v); }
float Atan2f(float y, float x) { return std::atan2(y, x); }
float Fmod(float a, float b) { return std::fmod(a, b); }
float AbsF(float v) { return std::fabs(v); }

}  // namespace Ostrel
