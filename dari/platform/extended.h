// Extended: the 80-bit extended precision type of the library's long sums,
// wavelets, complex numbers and factorials.
#pragma once

#include <limits>

namespace dari {

using Extended = long double;

static_assert(std::numeric_limits<Extended>::digits >= 64,
              "dari needs a long double with at least 64 mantissa bits (x87 extended)");
static_assert(std::numeric_limits<Extended>::max_exponent >= 16384,
              "dari needs a long double with the range of the 80-bit extended format");

}  // namespace dari
