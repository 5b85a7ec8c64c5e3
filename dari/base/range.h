// The range rule every range-taking container operation follows.
#pragma once

#include <algorithm>
#include <utility>

namespace dari::detail {

// Normalises Low..High over the extent 1..Count: (0, 0) is the whole extent;
// otherwise each bound is clamped into 1..Count and reversed bounds are
// exchanged, so (0, 5) becomes (1, 5). An empty extent (Count <= 0) gives the
// empty range (1, 0), which every loop over it skips.
inline void MakeValidRange(int& Low, int& High, int Count) {
  if (Count <= 0) {
    Low = 1;
    High = 0;
    return;
  }
  if (Low == 0 && High == 0) {
    Low = 1;
    High = Count;
    return;
  }
  Low = std::clamp(Low, 1, Count);
  High = std::clamp(High, 1, Count);
  if (High < Low) std::swap(Low, High);
}

}  // namespace dari::detail
