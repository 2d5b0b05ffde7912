#pragma once
// A random float in [min, max], both ends included: min + r x (max - min) /
// 32767 with r from the engine's 15-bit Rand() (never the C library's rand,
// whose range on glibc is 2^31 - 1). Enemy, spawner and effect code use it.

namespace Ostrel {

float RandomFloat(float min, float max);

}  // namespace Ostrel
