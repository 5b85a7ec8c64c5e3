// Rounding, truncation and checked conversions from floating point to integers.
// Every place in the library that turns a real into an integer goes through these,
// so that NaN, infinities and out-of-range values never reach a static_cast.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace dari {

// Rounds to the nearest integer, halves to even (the default rounding mode).
inline double Round(double x) { return std::nearbyint(x); }
inline long double Round(long double x) { return std::nearbyintl(x); }

// Truncates towards zero.
inline double Trunc(double x) { return std::trunc(x); }
inline long double Trunc(long double x) { return std::truncl(x); }

// Fractional part with the sign of x: x - Trunc(x).
inline double Frac(double x) { return x - std::trunc(x); }
inline long double Frac(long double x) { return x - std::truncl(x); }

// True when x is finite and its truncation lies within [lo, hi].
inline bool TruncFitsIn(double x, double lo, double hi) {
  return std::isfinite(x) && std::trunc(x) >= lo && std::trunc(x) <= hi;
}

// Truncates x towards zero into int32 range: NaN gives NanValue, values beyond
// the range give the nearest end of the range.
inline int32_t TruncToIntSaturated(double x, int32_t NanValue = 0) {
  if (std::isnan(x)) return NanValue;
  if (x >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (x <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(x);
}

// Rounds x (halves to even) into int32 range: NaN gives NanValue, values beyond
// the range give the nearest end of the range.
inline int32_t RoundToIntSaturated(double x, int32_t NanValue = 0) {
  return TruncToIntSaturated(std::nearbyint(x), NanValue);
}

// Same for 64-bit results.
inline int64_t TruncToInt64Saturated(double x, int64_t NanValue = 0) {
  if (std::isnan(x)) return NanValue;
  if (x >= 9223372036854775807.0) return std::numeric_limits<int64_t>::max();
  if (x <= -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(x);
}
inline int64_t RoundToInt64Saturated(double x, int64_t NanValue = 0) {
  return TruncToInt64Saturated(std::nearbyint(x), NanValue);
}

// Two's-complement wrap-around arithmetic on 32-bit integers, for the integer
// results the library defines as 32-bit: done on uint32_t, so never undefined.
inline int32_t WrapAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t WrapSub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
inline int32_t WrapMul(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
inline int32_t WrapNeg(int32_t a) { return static_cast<int32_t>(0u - static_cast<uint32_t>(a)); }

}  // namespace dari
