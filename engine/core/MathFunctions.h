#pragma once
// Small numeric functions whose exact formulas other code depends on: angle
// conversion with the single-precision pi 3.1415927 (not a double pi), random
// ranges over Rand()'s 0..32767, clamping and ASCII lower-casing.

#include "engine/core/Vec3.h"

#include <string>

namespace Ostrel {

constexpr float kPi = 3.1415927f;
// Factors for code that multiplies once per conversion (a * kRadiansPerDegree
// rounds differently from DegToRad(a); stored paths and replays depend on it).
constexpr float kRadiansPerDegree = kPi / 180.0f;
constexpr float kDegreesPerRadian = 57.2957763671875f;

inline float DegToRad(float degrees) { return kPi * degrees / 180.0f; }
inline float RadToDeg(float radians) { return 180.0f * radians / kPi; }

// lo when lo > value; else hi when hi < value; else value.
inline float Clamp(float value, float lo, float hi) {
    if (lo > value) return lo;
    if (hi < value) return hi;
    return value;
}
template <class T>
T Clamp(T value, T lo, T hi) {
    if (lo > value) return lo;
    if (hi < value) return hi;
    return value;
}

// Rand() / 32767.0 * (hi - lo) + lo: both ends can occur.
float RandomRange(float lo, float hi);
// Draws z first, then y, then x (the draw order is part of the behaviour:
// seeded runs depend on it).
Vec3 RandomVec3(float xLo, float xHi, float yLo, float yHi, float zLo, float zHi);
Vec3 RandomVec3(const Vec3& min, const Vec3& max);

// Adds 32 to every byte from 'A' to 'Z'; all other bytes are unchanged.
void ToLower(std::string& text);

// Float wrappers of the C library (results rounded to float). Two spellings
// exist because both are used by game code.
float Sqrt(float v);
float Sinf(float radians);
float Cosf(float radians);
float Acosf(float v);
float Atan2f(float y, float x);
float Fmod(float a, float b);
float AbsF(float v);
inline float Sin(float radians) { return Sinf(radians); }
inline float Cos(float radians) { return Cosf(radians); }
inline float Atan2(float y, float x) { return Atan2f(y, x); }

}  // namespace Ostrel
