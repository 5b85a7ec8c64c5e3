// The comb sort behind SortArray, written once for every element type and for
// both the silent and the event-reporting sort. The vectors' SortElems runs the
// same driver (CombSortElems) with its own first gap and no progress steps.
//
// Gaps: the first is trunc(n / 1.3), each next one trunc(gap / 1.3), a gap of 0
// becomes 1; the sort stops after a pass with gap 1 that exchanged nothing. Each
// pass visits the pairs (i, i + gap) in increasing i and exchanges them when
// data[i] > data[i + gap] (ascending) or data[i] < data[i + gap] (descending), so
// equal elements and pairs holding a NaN are never exchanged, and the sort always
// ends. After every pass StepProgress() is called; AbortMathProc is not read.
//
// The silent sort runs each pass as a branchless, vectorised compare-exchange (SSE2
// or AVX min/max for doubles and floats, compiler-vectorised selects for integers):
// for a block of `gap` consecutive i the pairs are independent, so the blocks are
// processed one after the other and each block in any order, which leaves exactly
// the result of the one-by-one pass. Gap-1 passes run one pair at a time. The reporting sort runs the
// same passes one pair at a time and calls its callback after every exchange.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <type_traits>
#include <utility>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

#include "dari/base/progress.h"

namespace dari::detail {

// Pass as the callback of CombSort to select the silent (fast) sort.
struct NoSortExchange {};

// Element access through memcpy: the storage may be any suitably sized bytes
// (an untyped caller buffer need not be aligned), and there is no aliasing issue.
template <typename T>
inline T LoadElem(const unsigned char* base, std::ptrdiff_t i) {
  T v;
  std::memcpy(&v, base + i * static_cast<std::ptrdiff_t>(sizeof(T)), sizeof(T));
  return v;
}

template <typename T>
inline void StoreElem(unsigned char* base, std::ptrdiff_t i, T v) {
  std::memcpy(base + i * static_cast<std::ptrdiff_t>(sizeof(T)), &v, sizeof(T));
}

// The gap that follows `gap`: trunc(gap / 1.3), at least 1.
inline std::ptrdiff_t NextCombGap(std::ptrdiff_t gap) {
  const auto next = static_cast<std::ptrdiff_t>(std::trunc(static_cast<double>(gap) / 1.3));
  return next < 1 ? 1 : next;
}

// True when the pair (a, b) at (i, i + gap) must be exchanged.
template <bool Ascending, typename T>
inline bool CombOutOfOrder(T a, T b) {
  if constexpr (Ascending) {
    return a > b;
  } else {
    return a < b;
  }
}

// Compare-exchange of the pairs (lo[i], hi[i]), i < len, with scalar code; the two
// ranges do not overlap.
template <typename T, bool Ascending>
inline void CombPairsScalar(unsigned char* __restrict lo, unsigned char* __restrict hi,
                            std::ptrdiff_t begin, std::ptrdiff_t len) {
  for (std::ptrdiff_t i = begin; i < len; ++i) {
    const T a = LoadElem<T>(lo, i);
    const T b = LoadElem<T>(hi, i);
    const bool c = CombOutOfOrder<Ascending>(a, b);
    StoreElem<T>(lo, i, c ? b : a);
    StoreElem<T>(hi, i, c ? a : b);
  }
}

#if defined(__SSE2__)
// Vector compare-exchange. The min/max instructions return their second operand
// when the comparison is false (NaN included), so
//   ascending:  lo = min(b, a) = (a > b ? b : a),  hi = max(a, b) = (a > b ? a : b)
//   descending: lo = max(b, a) = (a < b ? b : a),  hi = min(a, b) = (a < b ? a : b)
// is bit for bit the scalar exchange rule, for NaNs and signed zeros as well.
template <typename V, bool Ascending, V (*Min)(V, V), V (*Max)(V, V)>
inline std::ptrdiff_t CombPairsVector(unsigned char* __restrict lo, unsigned char* __restrict hi,
                                      std::ptrdiff_t len, std::ptrdiff_t lanes) {
  const std::ptrdiff_t step = static_cast<std::ptrdiff_t>(sizeof(V)) / lanes;  // element size
  std::ptrdiff_t i = 0;
  for (; i + lanes <= len; i += lanes) {
    V a;
    V b;
    std::memcpy(&a, lo + i * step, sizeof(V));
    std::memcpy(&b, hi + i * step, sizeof(V));
    const V newLo = Ascending ? Min(b, a) : Max(b, a);
    const V newHi = Ascending ? Max(a, b) : Min(a, b);
    std::memcpy(lo + i * step, &newLo, sizeof(V));
    std::memcpy(hi + i * step, &newHi, sizeof(V));
  }
  return i;
}

inline __m128d MinPd(__m128d a, __m128d b) { return _mm_min_pd(a, b); }
inline __m128d MaxPd(__m128d a, __m128d b) { return _mm_max_pd(a, b); }
inline __m128 MinPs(__m128 a, __m128 b) { return _mm_min_ps(a, b); }
inline __m128 MaxPs(__m128 a, __m128 b) { return _mm_max_ps(a, b); }
#if defined(__AVX__)
inline __m256d MinPd256(__m256d a, __m256d b) { return _mm256_min_pd(a, b); }
inline __m256d MaxPd256(__m256d a, __m256d b) { return _mm256_max_pd(a, b); }
inline __m256 MinPs256(__m256 a, __m256 b) { return _mm256_min_ps(a, b); }
inline __m256 MaxPs256(__m256 a, __m256 b) { return _mm256_max_ps(a, b); }
#endif
#endif

// Compare-exchange of len independent pairs (lo[i], hi[i]). Compilers do not
// vectorise the floating-point select on their own (it becomes a conditional
// store), so doubles and floats use min/max instructions where available; the
// integer loop vectorises as it stands.
template <typename T, bool Ascending>
inline void CombPairBlock(unsigned char* __restrict lo, unsigned char* __restrict hi,
                          std::ptrdiff_t len) {
  std::ptrdiff_t done = 0;
#if defined(__SSE2__)
  if constexpr (std::is_same_v<T, double>) {
#if defined(__AVX__)
    done = CombPairsVector<__m256d, Ascending, MinPd256, MaxPd256>(lo, hi, len, 4);
#endif
    done += CombPairsVector<__m128d, Ascending, MinPd, MaxPd>(lo + done * 8, hi + done * 8,
                                                             len - done, 2);
  } else if constexpr (std::is_same_v<T, float>) {
#if defined(__AVX__)
    done = CombPairsVector<__m256, Ascending, MinPs256, MaxPs256>(lo, hi, len, 8);
#endif
    done += CombPairsVector<__m128, Ascending, MinPs, MaxPs>(lo + done * 4, hi + done * 4,
                                                            len - done, 4);
  }
#endif
  CombPairsScalar<T, Ascending>(lo, hi, done, len);
}

// One silent pass with gap >= 2, block by block.
template <typename T, bool Ascending>
inline void CombPassWide(unsigned char* data, std::ptrdiff_t n, std::ptrdiff_t gap) {
  const std::ptrdiff_t pairs = n - gap;
  const auto size = static_cast<std::ptrdiff_t>(sizeof(T));
  for (std::ptrdiff_t s = 0; s < pairs; s += gap) {
    const std::ptrdiff_t len = std::min(gap, pairs - s);
    CombPairBlock<T, Ascending>(data + s * size, data + (s + gap) * size, len);
  }
}

// One silent pass with gap 1. The element carried from pair i to pair i + 1 stays
// in a register. Returns whether anything was exchanged.
template <typename T, bool Ascending>
inline bool CombPassAdjacent(unsigned char* data, std::ptrdiff_t n) {
  T cur = LoadElem<T>(data, 0);
  bool exchanged = false;
  for (std::ptrdiff_t i = 0; i + 1 < n; ++i) {
    const T b = LoadElem<T>(data, i + 1);
    const bool c = CombOutOfOrder<Ascending>(cur, b);
    StoreElem<T>(data, i, c ? b : cur);
    cur = c ? cur : b;
    exchanged |= c;
  }
  StoreElem<T>(data, n - 1, cur);
  return exchanged;
}

// One pass that reports each exchange as onExchange(i, i + gap), 0-based, after
// the two elements were exchanged. Returns whether anything was exchanged. A
// callback that returns bool ends the sort by returning false (Stopped is set):
// the vectors' SortElems uses this when an event handler has resized the
// storage under the sort.
template <typename T, bool Ascending, typename Exchange>
inline bool CombPassReporting(unsigned char* data, std::ptrdiff_t n, std::ptrdiff_t gap,
                              Exchange& onExchange, bool& Stopped) {
  bool exchanged = false;
  for (std::ptrdiff_t i = 0; i + gap < n; ++i) {
    const T a = LoadElem<T>(data, i);
    const T b = LoadElem<T>(data, i + gap);
    if (CombOutOfOrder<Ascending>(a, b)) {
      StoreElem<T>(data, i, b);
      StoreElem<T>(data, i + gap, a);
      exchanged = true;
      if constexpr (std::is_same_v<std::invoke_result_t<Exchange&, std::ptrdiff_t, std::ptrdiff_t>, bool>) {
        if (!onExchange(i, i + gap)) {
          Stopped = true;
          return exchanged;
        }
      } else {
        onExchange(i, i + gap);
      }
    }
  }
  return exchanged;
}

// The pass driver. The first gap is NextCombGap(gapBase): SortArray starts from
// n, the vectors' SortElems from n - 1. With stepProgress each pass ends with
// StepProgress().
template <typename T, bool Ascending, typename Exchange>
void CombSortBytes(unsigned char* data, std::ptrdiff_t n, std::ptrdiff_t gapBase, bool stepProgress,
                   Exchange& onExchange) {
  if (data == nullptr || n <= 1) return;
  constexpr bool kSilent = std::is_same_v<std::remove_cvref_t<Exchange>, NoSortExchange>;
  std::ptrdiff_t gap = gapBase;
  for (;;) {
    gap = NextCombGap(gap);
    bool exchanged;
    if constexpr (kSilent) {
      if (gap == 1) {
        exchanged = CombPassAdjacent<T, Ascending>(data, n);
      } else {
        CombPassWide<T, Ascending>(data, n, gap);
        exchanged = true;  // only a gap-1 pass decides the end
      }
    } else {
      bool stopped = false;
      exchanged = CombPassReporting<T, Ascending>(data, n, gap, onExchange, stopped);
      if (stopped) return;
    }
    if (stepProgress) StepProgress();
    if (gap == 1 && !exchanged) return;
  }
}

template <typename T, typename Exchange>
void CombSortDispatch(unsigned char* bytes, std::ptrdiff_t n, bool ascending, std::ptrdiff_t gapBase,
                      bool stepProgress, Exchange& onExchange) {
  if (ascending) {
    CombSortBytes<T, true>(bytes, n, gapBase, stepProgress, onExchange);
  } else {
    CombSortBytes<T, false>(bytes, n, gapBase, stepProgress, onExchange);
  }
}

// Sorts the n elements at `data` in place (a comb sort, not stable).
// T is double, float or int32_t (any trivially copyable type with < and >).
// `data` needs no particular alignment when given as bytes through the untyped
// overload below.
//
// onExchange: NoSortExchange{} (the default) sorts silently on the fast path;
// any other callable is invoked as onExchange(std::ptrdiff_t i, std::ptrdiff_t j)
// once per exchange, in the order the exchanges happen, with 0-based positions
// i < j (j - i is the gap of the pass) and after data[i] and data[j] were
// exchanged. Callers with a possibly empty std::function should test it and pass
// NoSortExchange{} when it is empty, so that no per-element call is made.
template <typename T, typename Exchange = NoSortExchange>
void CombSort(T* data, std::ptrdiff_t n, bool ascending, Exchange onExchange = {}) {
  static_assert(std::is_trivially_copyable_v<T>);
  CombSortDispatch<T>(reinterpret_cast<unsigned char*>(data), n, ascending, n, true, onExchange);
}

// The same passes as the vectors' SortElems runs them: the first gap is
// trunc((n - 1) / 1.3) and no pass steps the progress counter.
template <typename T, typename Exchange = NoSortExchange>
void CombSortElems(T* data, std::ptrdiff_t n, bool ascending, Exchange onExchange = {}) {
  static_assert(std::is_trivially_copyable_v<T>);
  CombSortDispatch<T>(reinterpret_cast<unsigned char*>(data), n, ascending, n - 1, false, onExchange);
}

// The same on untyped storage holding n elements of type T (any alignment).
template <typename T, typename Exchange = NoSortExchange>
void CombSortUntyped(void* data, std::ptrdiff_t n, bool ascending, Exchange onExchange = {}) {
  static_assert(std::is_trivially_copyable_v<T>);
  CombSortDispatch<T>(static_cast<unsigned char*>(data), n, ascending, n, true, onExchange);
}

}  // namespace dari::detail
