#pragma once
// The engine's random numbers. Every random formula of the engine and the game
// assumes the range 0..32767 (the classic C runtime's RAND_MAX), so nothing
// calls the C library's generator: glibc's returns up to 2^31-1 and would scale every
// formula wrongly. The generator is the 15-bit linear congruential one
// (state = state * 214013 + 2531011, result = (state >> 16) & 0x7FFF), seeded
// with 1 until SRand is called. The start-up code seeds it from TAVRIN_SEED
// when that is set, which makes automated runs repeatable.
//
// The generator is process-wide and not synchronised: call it from the main
// thread (all game logic runs there).

#include <functional>

namespace Ostrel {

constexpr int kRandMax = 32767;

// Next value in 0..kRandMax.
int Rand();

// Restarts the sequence from seed.
void SRand(unsigned seed);

// Tests only: makes Rand() return source() (clamped to 0..kRandMax) until
// reset with an empty function.
void SetRandSourceForTests(std::function<int()> source);

}  // namespace Ostrel
