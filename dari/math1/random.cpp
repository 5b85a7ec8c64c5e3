#include "dari/math1/random.h"

#include <cmath>
#include <numbers>

#include "dari/platform/numeric.h"
#include "dari/platform/uniform_random.h"

namespace dari {
namespace detail {
namespace {

constexpr int32_t kModX = 1001003;
constexpr int32_t kModY = 990923;
constexpr int32_t kModZ = 1400423;

void StartUp(TRandomState& state) {
  state.GaussCached = false;
  state.CachedGauss = 0.0;
  // r * 990000 lies in [0, 990000], so the conversion cannot saturate.
  state.X = RoundToIntSaturated(UniformRandom() * 990000.0);
  state.Y = RoundToIntSaturated(UniformRandom() * 990000.0);
  state.Z = RoundToIntSaturated(UniformRandom() * 990000.0);
}

// |v| mod m for any int32 v, computed in 64 bits so that |INT32_MIN| is exact.
int32_t AbsMod(int32_t v, int32_t m) {
  const int64_t a = v < 0 ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
  return static_cast<int32_t>(a % m);
}

}  // namespace

TRandomState& RandomState() {
  static TRandomState state = [] {
    TRandomState s;
    StartUp(s);
    return s;
  }();
  return state;
}

void ResetRandomState() { StartUp(RandomState()); }

namespace {
// Sets the state up while the program starts, like the other start-up values of
// the library, so that the three draws never fall between a caller's reseeding
// of the uniform generator and its draws.
[[maybe_unused]] const bool kStartedUp = (RandomState(), true);
}  // namespace

}  // namespace detail

double GRandom() {
  detail::TRandomState& state = detail::RandomState();
  if (state.GaussCached) {
    state.GaussCached = false;
    return state.CachedGauss;
  }
  double u;
  double w;
  double s;
  do {
    u = 2.0 * UniformRandom() - 1.0;
    w = 2.0 * UniformRandom() - 1.0;
    s = u * u + w * w;
  } while (!(s > 0.0 && s < 1.0));
  const double f = std::sqrt(-2.0 * std::log(s) / s);
  state.CachedGauss = u * f;
  state.GaussCached = true;
  return w * f;
}

double CRandom(double Location, double Scale) {
  return std::tan((UniformRandom() - 0.5) * std::numbers::pi) * Scale + Location;
}

bool BRandom(double p) {
  if (p >= 1.0) return true;
  return UniformRandom() < p;
}

double LongRand(int32_t Seed) {
  using namespace detail;
  TRandomState& state = RandomState();
  if (Seed != 0) {
    // C++ % keeps the sign of the dividend, as the reseeding rule wants; the shifts
    // and xor work on the same 32 bits as unsigned values.
    const int32_t s = Seed % kModY;
    const auto us = static_cast<uint32_t>(s);
    state.X = AbsMod(s, kModY);  // |s| < 990923 already
    state.Y = AbsMod(static_cast<int32_t>(us ^ (us << 8)), kModY);
    state.Z = AbsMod(static_cast<int32_t>(us ^ (us << 16)), kModY);
  }
  // The states are never negative and below their moduli, so the products fit in
  // 32 bits; 64-bit arithmetic keeps that true even for a damaged state.
  state.X = static_cast<int32_t>(static_cast<int64_t>(state.X) * 1187 % kModX);
  state.Y = static_cast<int32_t>(static_cast<int64_t>(state.Y) * 983 % kModY);
  state.Z = static_cast<int32_t>(static_cast<int64_t>(state.Z) * 1283 % kModZ);
  const double sum = static_cast<double>(state.X) / kModX + static_cast<double>(state.Y) / kModY +
                     static_cast<double>(state.Z) / kModZ;
  return Frac(sum);
}

}  // namespace dari
