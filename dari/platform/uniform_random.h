// The process-wide uniform random generator (xoshiro256**, seeded through
// splitmix64). Every random draw in the library comes from it. It starts from a
// fixed seed, so a program that never reseeds gets the same numbers on every run;
// RandomizeFromClock reseeds from the clock. Unguarded: one thread at a time.
#pragma once

#include <cstdint>

namespace dari {

// A real in [0, 1) with 53 random bits.
double UniformRandom();

// An integer in 0 .. n-1, without modulo bias; 0 when n <= 0.
int32_t UniformRandomInt(int32_t n);

// Reseeds the generator from a fixed value, for reproducible runs.
void SeedUniformRandom(uint64_t Seed);

// Reseeds the generator from the high-resolution clock.
void RandomizeFromClock();

}  // namespace dari
