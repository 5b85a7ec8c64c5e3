// Universal constants of the base library.
#pragma once

#include <limits>

#include "dari/platform/extended.h"

namespace dari {

// Largest finite double: start value of minimum and maximum searches. Kept at
// the double limit (not the extended one) because callers store it in doubles
// and may square it.
inline constexpr Extended uc_MaxDouble = std::numeric_limits<double>::max();
inline constexpr Extended uc_MaxReal = std::numeric_limits<double>::max();

inline constexpr Extended uc_sqrt2 = 1.41421356237309504880168872420969808L;
// 1 / sqrt(2 pi)
inline constexpr Extended uc_sqrt2pitom1 = 0.398942280401432677939946059934381868L;

}  // namespace dari
