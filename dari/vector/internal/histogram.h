// The counting loop shared by TVector::Histogram and TIntVector::Histogram. Each
// class decides its own bin rules (number of bins, which values fall where) in a
// classifier; the loop, the reading of an element range "as passed" and the
// writing of the result are written once here.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

namespace dari {
class TIntVector;
}

namespace dari::detail {

// Counts of one histogram: bins 0..NBins-1 (0-based here), underflow, overflow.
struct THistoCounts {
  std::vector<int64_t> Bins;
  int64_t Underflow = 0;
  int64_t Overflow = 0;
};

// Classifies the values of elements FirstElem..LastElem (1-based, exactly as
// passed: positions outside the storage read as 0, an empty range counts
// nothing). classify(v) returns -1 for underflow, a 0-based bin below NBins, or
// NBins (or more) for overflow. The positions outside the storage are counted in
// one step, so a huge range costs no more than the storage.
template <class T, class Classify>
THistoCounts CountHistogram(std::span<const T> Data, int FirstElem, int LastElem, int NBins,
                            Classify classify) {
  THistoCounts counts;
  counts.Bins.assign(static_cast<size_t>(NBins), 0);
  auto add = [&](T v, int64_t times) {
    const int64_t c = classify(v);
    if (c < 0) {
      counts.Underflow += times;
    } else if (c >= NBins) {
      counts.Overflow += times;
    } else {
      counts.Bins[static_cast<size_t>(c)] += times;
    }
  };
  if (FirstElem > LastElem) return counts;
  const int64_t size = static_cast<int64_t>(Data.size());
  const int64_t lo = std::max<int64_t>(FirstElem, 1);
  const int64_t hi = std::min<int64_t>(LastElem, size);
  int64_t inside = 0;
  for (int64_t i = lo; i <= hi; ++i) {
    add(Data[static_cast<size_t>(i - 1)], 1);
    ++inside;
  }
  const int64_t outside = (static_cast<int64_t>(LastElem) - FirstElem + 1) - inside;
  if (outside > 0) add(T{}, outside);
  return counts;
}

// Writes counts into Histo: resized to the number of bins when it differs,
// cleared, then every non-empty bin stored through its element setter (Histo fires
// its own events). Underflow, Overflow and MaxCnt receive the totals; counts
// beyond the int32 range saturate.
void StoreHistogram(const THistoCounts& Counts, TIntVector* Histo, int& Underflow, int& Overflow,
                    int& MaxCnt);

}  // namespace dari::detail
