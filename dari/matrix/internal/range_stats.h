// Statistics over a rectangular range of a column-major block, written once
// for the double and the int32 matrix. A range is given 1-based and already
// made valid (ColLo..ColHi x RowLo..RowHi, every bound inside the matrix);
// an empty range has ColLo > ColHi or RowLo > RowHi. Not part of the installed
// interface.
#pragma once

#include <cmath>
#include <cstdint>
#include <new>
#include <span>
#include <string>
#include <vector>

#include "dari/base/types.h"
#include "dari/math1/sorting.h"
#include "dari/platform/numeric.h"

namespace dari::detail {

template <class T>
struct TRangeView {
  const T* Data;   // element (1, 1) of the matrix
  int64_t Stride;  // distance between columns
  int ColLo, ColHi, RowLo, RowHi;

  bool Empty() const { return ColLo > ColHi || RowLo > RowHi; }
  int Cols() const { return Empty() ? 0 : ColHi - ColLo + 1; }
  int Rows() const { return Empty() ? 0 : RowHi - RowLo + 1; }
  int64_t Count() const { return static_cast<int64_t>(Cols()) * Rows(); }
  const T* Col(int c) const { return Data + static_cast<int64_t>(c - 1) * Stride + (RowLo - 1); }
};

// Sum and sum of squares of the range. The elements of each column go to eight
// lanes by their position in the column's range (lane = (row - RowLo) mod 8);
// the lanes persist across columns and are added at the end as
// ((l0 + l1) + (l2 + l3)) + ((l4 + l5) + (l6 + l7)). The result depends on the
// range only, never on the machine, and the eight independent lanes let the
// loop run at memory speed.
template <class T>
void RangeSumSq(const TRangeView<T>& R, double& S, double& Q) {
  double s[8] = {}, q[8] = {};
  const int rows = R.Rows();
  for (int c = R.ColLo; c <= R.ColHi && rows > 0; ++c) {
    const T* x = R.Col(c);
    int i = 0;
    for (; i + 8 <= rows; i += 8) {
      for (int l = 0; l < 8; ++l) {
        const double v = static_cast<double>(x[i + l]);
        s[l] += v;
        q[l] += v * v;
      }
    }
    for (int l = 0; i < rows; ++i, ++l) {
      const double v = static_cast<double>(x[i]);
      s[l] += v;
      q[l] += v * v;
    }
  }
  S = ((s[0] + s[1]) + (s[2] + s[3])) + ((s[4] + s[5]) + (s[6] + s[7]));
  Q = ((q[0] + q[1]) + (q[2] + q[3])) + ((q[4] + q[5]) + (q[6] + q[7]));
}

// Mean and variance (divisor N - 1; 1 for fewer than three values). An empty
// range leaves both outputs as they are.
template <class T>
void RangeMeanVar(const TRangeView<T>& R, double& Mean, double& Variance) {
  const int64_t n = R.Count();
  if (n == 0) return;
  double S, Q;
  RangeSumSq(R, S, Q);
  const double N = static_cast<double>(n);
  Mean = S / N;
  Variance = n < 3 ? 1.0 : (Q - S * S / N) / (N - 1.0);
}

// The range copied column by column into a new array. Throws std::bad_alloc.
template <class T>
std::vector<double> RangeCopy(const TRangeView<T>& R) {
  std::vector<double> out;
  out.reserve(static_cast<size_t>(R.Count()));
  for (int c = R.ColLo; c <= R.ColHi && R.Rows() > 0; ++c) {
    const T* x = R.Col(c);
    for (int i = 0; i < R.Rows(); ++i) out.push_back(static_cast<double>(x[i]));
  }
  return out;
}

// Element of 0-based rank min(R(N prob / 100), N - 1) of Values (reordered),
// prob already clamped into 0..100; 0 for no values.
inline double RankSelect(std::vector<double>& Values, double prob) {
  const int n = static_cast<int>(Values.size());
  if (n == 0) return 0.0;
  int k = RoundToIntSaturated(static_cast<double>(n) * prob / 100.0);
  if (k > n - 1) k = n - 1;
  if (k < 0) k = 0;
  return QuickSelect(std::span<double>(Values), k, 0, n - 1);
}

// prob clamped into 0..100 (NaN counts as 0).
inline double ClampProb(double prob) {
  if (!(prob >= 0.0)) return 0.0;
  return prob > 100.0 ? 100.0 : prob;
}

// Quartiles of the sorted values x1..xN: positions (N + 1) q interpolated
// between neighbours; a position before x1 takes x1, one at or beyond xN takes
// xN. N < 2: all three are x1. False (outputs unchanged) for no values.
inline bool QuartilesOfSorted(const std::vector<double>& x, double& Q1, double& Q2, double& Q3) {
  const int n = static_cast<int>(x.size());
  if (n == 0) return false;
  if (n < 2) {
    Q1 = Q2 = Q3 = x[0];
    return true;
  }
  double* outs[3] = {&Q1, &Q2, &Q3};
  const double qs[3] = {0.25, 0.5, 0.75};
  for (int t = 0; t < 3; ++t) {
    const double pos = static_cast<double>(n + 1) * qs[t];
    int d = static_cast<int>(Trunc(pos));
    double f = Frac(pos);
    if (d == 0) {
      d = 1;
      f = 0.0;
    }
    if (d > n - 1) {
      *outs[t] = x[static_cast<size_t>(n - 1)];
      continue;
    }
    const double xd = x[static_cast<size_t>(d - 1)];
    *outs[t] = xd + (x[static_cast<size_t>(d)] - xd) * f;
  }
  return true;
}

}  // namespace dari::detail
