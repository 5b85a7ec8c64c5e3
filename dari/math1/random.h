// Random numbers with Gaussian, Cauchy and Bernoulli distributions, drawn from the
// process-wide uniform generator (dari/platform/uniform_random.h), and LongRand, a
// seedable combination of three multiplicative congruential generators.
//
// The module keeps the cached second deviate of GRandom and the three LongRand
// states. They are set up before main runs: the cache cleared, each LongRand
// state round(r * 990000) for a uniform draw r. The state lives in a function-local
// static, so it is also ready when another file's static initialiser calls these
// functions first. Unguarded: one thread at a time.
#pragma once

#include <cstdint>

namespace dari {

// A standard normal deviate (polar method). Draws come in pairs: one call draws
// the pair and returns one deviate, the next call returns the cached other one.
double GRandom();

// A Cauchy deviate: tan((r - 0.5) * pi) * Scale + Location.
double CRandom(double Location, double Scale);

// True with probability p: always for p >= 1 (without a draw), never for p <= 0
// or a NaN p.
bool BRandom(double p);

// A uniform value in [0, 1) from three combined congruential generators. A
// non-zero Seed restarts the sequence from that seed (any int32 value, negative
// ones included); 0 continues it. A seed that is a multiple of 990923 stops the
// generator at 0 for ever.
double LongRand(int32_t Seed);

namespace detail {

// The module's generator state.
struct TRandomState {
  bool GaussCached = false;
  double CachedGauss = 0.0;
  int32_t X = 0;
  int32_t Y = 0;
  int32_t Z = 0;
};

// The state, set up on first use (see the file comment).
TRandomState& RandomState();

// Sets the state up again as at start-up: clears the cached deviate and draws
// X, Y and Z from the uniform generator (three draws). For tests.
void ResetRandomState();

}  // namespace detail
}  // namespace dari
