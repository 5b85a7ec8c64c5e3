#include "dari/platform/uniform_random.h"

#include <chrono>

namespace dari {
namespace {

constexpr uint64_t kDefaultSeed = 0x0DA21C0FFEE5EED5ull;

uint64_t SplitMix64(uint64_t& x) {
  uint64_t z = (x += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

struct Xoshiro256 {
  uint64_t s[4];

  explicit Xoshiro256(uint64_t seed) { Seed(seed); }

  void Seed(uint64_t seed) {
    for (uint64_t& w : s) w = SplitMix64(seed);
  }

  uint64_t Next() {
    const uint64_t result = Rotl(s[1] * 5, 7) * 9;
    const uint64_t t = s[1] << 17;
    s[2] ^= s[0];
    s[3] ^= s[1];
    s[1] ^= s[2];
    s[0] ^= s[3];
    s[2] ^= t;
    s[3] = Rotl(s[3], 45);
    return result;
  }
};

// A function-local static: ready on first use, whatever the order in which
// other files' static objects are initialised.
Xoshiro256& Generator() {
  static Xoshiro256 generator(kDefaultSeed);
  return generator;
}

}  // namespace

double UniformRandom() { return static_cast<double>(Generator().Next() >> 11) * 0x1.0p-53; }

int32_t UniformRandomInt(int32_t n) {
  if (n <= 0) return 0;
  // Lemire's multiply-and-reject method: unbiased for every n.
  const uint64_t range = static_cast<uint64_t>(n);
  const uint64_t threshold = (0x100000000ull - range) % range;
  for (;;) {
    const uint64_t x = Generator().Next() >> 32;
    const uint64_t m = x * range;
    if ((m & 0xFFFFFFFFull) >= threshold) return static_cast<int32_t>(m >> 32);
  }
}

void SeedUniformRandom(uint64_t Seed) { Generator().Seed(Seed); }

void RandomizeFromClock() {
  const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
  Generator().Seed(static_cast<uint64_t>(now));
}

}  // namespace dari
