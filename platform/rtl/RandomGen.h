// The run-time's random numbers: one generator for the whole program, a linear congruential
// sequence over a 32-bit seed. Randomize seeds it from the clock; setting the seed directly
// repeats a sequence (tests draw the same pattern every time).
#pragma once

#include <cstdint>

// The generator's state; each draw advances it by one step.
std::uint32_t RandSeed();
void SetRandSeed(std::uint32_t Value);
// Seeds the generator from the wall clock.
void Randomize();
// Uniform in 0 .. Range-1; 0 (and no step) when Range <= 0.
int Random(int Range);
// Uniform in [0, 1).
double Random();
