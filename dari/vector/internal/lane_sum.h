// Sums over contiguous storage in a fixed number of lanes.
//
// A strictly sequential floating-point sum is bound by the latency of one addition;
// splitting it into kSumLanes partial sums lets the compiler keep several additions
// in flight (and in SIMD registers) while the order stays fixed: the term at 0-based
// offset k of the range always goes to lane k mod kSumLanes, and the lanes are
// combined as ((l0 + l1) + (l2 + l3)) + ((l4 + l5) + (l6 + l7)). The result is
// therefore the same on every machine and every -march (the library is built with
// -ffp-contract=off), and depends only on the values of the range, not on where
// the range starts. Integer accumulators (uint32_t) wrap and are order-free anyway.
#pragma once

#include <array>
#include <cstddef>

namespace dari::detail {

inline constexpr int kSumLanes = 8;

// Combines the lanes of one sum in the fixed pairwise order.
template <class Acc>
inline Acc CombineLanes(const Acc (&lane)[kSumLanes]) {
  return ((lane[0] + lane[1]) + (lane[2] + lane[3])) + ((lane[4] + lane[5]) + (lane[6] + lane[7]));
}

// K sums at once over i = 0..n-1: term(i) returns std::array<Acc, K>, the i-th term
// of each sum. One pass; lane rule as in the file comment.
template <class Acc, std::size_t K, class Term>
inline std::array<Acc, K> LaneSums(std::ptrdiff_t n, Term term) {
  Acc acc[K][kSumLanes] = {};
  std::ptrdiff_t i = 0;
  for (; i + kSumLanes <= n; i += kSumLanes) {
    for (int j = 0; j < kSumLanes; ++j) {
      const std::array<Acc, K> t = term(i + j);
      for (std::size_t k = 0; k < K; ++k) acc[k][j] += t[k];
    }
  }
  for (int j = 0; i + j < n; ++j) {
    const std::array<Acc, K> t = term(i + j);
    for (std::size_t k = 0; k < K; ++k) acc[k][j] += t[k];
  }
  std::array<Acc, K> result{};
  for (std::size_t k = 0; k < K; ++k) result[k] = CombineLanes(acc[k]);
  return result;
}

// One sum: term(i) returns the i-th term as Acc.
template <class Acc, class Term>
inline Acc LaneSum(std::ptrdiff_t n, Term term) {
  return LaneSums<Acc, 1>(n, [&](std::ptrdiff_t i) { return std::array<Acc, 1>{term(i)}; })[0];
}

}  // namespace dari::detail
