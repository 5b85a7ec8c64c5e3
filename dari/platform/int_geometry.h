// The platform's integer point and rectangle, as used by pixel-oriented
// helpers (DistFromRect).
#pragma once

#include <cstdint>

namespace dari {

// A point on an integer grid, x first.
struct TPoint {
  int32_t x = 0;
  int32_t y = 0;
};

// An integer rectangle; callers normally keep Left < Right and Top < Bottom.
struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
};

}  // namespace dari
