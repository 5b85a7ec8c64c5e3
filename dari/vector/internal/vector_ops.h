// Statistics, arithmetic, search and reordering shared by TVector and TIntVector,
// written once over the element type T (double or int32_t). Derived is the class
// built on it; it supplies the few rules that differ between the twins:
//   Derived::MinMaxStartMin / MinMaxStartMax   start values of the MinMax search.
// Results whose type is T (Sum, DotProduct, Correlate, Mode, MinMax) are doubles
// for TVector and 32-bit integers for TIntVector.
//
// Integer arithmetic: every 32-bit integer result (Add, Subtract, SMult, AbsVal,
// Sum, DotProduct, Correlate) wraps around in two's complement (so |-2147483648|
// stays -2147483648). Everything returned as a double (MeanVar, EuclideanDistance,
// PearsonCorrCoeff, Percentile, ...) and the distances of Find are formed from the
// elements in double or 64-bit arithmetic and never overflow.
//
// Order of sums: the sums over the storage (Sum, MeanVar, DotProduct,
// EuclideanDistance, PearsonCorrCoeff, Correlate, GeometricMean, HarmonicMean, Leng)
// accumulate in 8 lanes combined in a fixed order (internal/lane_sum.h), the same on
// every machine. SkewKurt sums sequentially in extended precision.
//
// Not part of the installed interface; TVector and TIntVector are.
#pragma once

#include <cstdint>

#include "dari/vector/internal/vector_base.h"

namespace dari::detail {

template <class T, class Derived>
class TVectorOps : public TVectorBase<T> {
 public:
  using TVectorBase<T>::TVectorBase;

  // ---- Statistics over an element range ----------------------------------------
  // Every range is normalised with MakeValidElemRange: (0, 0) is the whole vector,
  // bounds are clamped into 1..NrOfElem and exchanged when reversed. None of these
  // members fires OnChange.

  // Mean and variance (divisor n - 1). The variance is 1.0 for fewer than three
  // values, and 0 when rounding makes it negative.
  void MeanVar(int LowElem, int HighElem, double& Mean, double& Variance) const;

  // Smallest and largest value with their indices; ties keep the first index.
  // The search starts from Derived's start values with indices 0, so an index
  // stays 0 when no element passes the start value (or all are NaN).
  void MinMax(int LowElem, int HighElem, T& Minimum, T& Maximum, int& MinIx, int& MaxIx) const;
  void MinMax(int LowElem, int HighElem, T& Minimum, T& Maximum) const;

  // Sum of the range (wrapping for integers).
  T Sum(int LowElem, int HighElem) const;

  // The prob-th percentile (prob in percent, clamped into 0..100) of a sorted copy
  // s0..s(n-1) of the range: s_k + (s_(k+1) - s_k) frac(p) with p = (n - 1) prob / 100.
  // The copy is sorted with SortArray, which steps ProcStat once per pass. A NaN
  // prob gives NaN without sorting. The vector is not reordered. Raises
  // DARIVectorError "...not enough memory on heap" when the copy cannot be had.
  double Percentile(double prob, int LowElem, int HighElem) const;

  // Quartiles of a sorted copy s1..sn: for q = 0.25, 0.5, 0.75, k := trunc((n + 1) q),
  // f := frac((n + 1) q); k = 0 gives s1; k > n - 1 gives sn (so for n = 2 and 3
  // Q3 is the largest value, never below the median); otherwise s_k + (s_(k+1) - s_k) f.
  // One value: all three equal it. Always true. Sorting and errors as Percentile.
  bool Quartiles(int LowElem, int HighElem, double& Q1, double& Q2, double& Q3) const;

  // The most frequent value: the longest run of equal values of a sorted copy; of
  // runs of equal length the smallest value wins, so with no repeated value the
  // result is the minimum. The vector is not reordered.
  T Mode(int LowElem, int HighElem) const;

  // exp(mean of ln x). 0.0 when the range holds a zero. A negative element raises
  // DARIVectorError "...negative argument passed to GeometricMean".
  double GeometricMean(int LowElem, int HighElem) const;

  // n / sum(1/x). An element <= 0 raises DARIVectorError "...negative or zero
  // argument passed to HarmonicMean".
  double HarmonicMean(int LowElem, int HighElem) const;

  // Population skewness and excess kurtosis (moments about the mean over n,
  // scaled by the sample standard deviation). Both 0 for n <= 3; for a constant
  // range they are the raw third and fourth power sums of the deviations (0).
  void SkewKurt(int LowElem, int HighElem, double& Skewness, double& Kurtosis) const;
  // The same, corrected to sample estimates: S n^2 / ((n-1)(n-2)) and
  // (K + 3) n^2 (n+1) / ((n-1)(n-2)(n-3)) - 3 (n-1)^2 / ((n-2)(n-3)). 0 for n <= 3.
  void SkewKurtSample(int LowElem, int HighElem, double& Skewness, double& Kurtosis) const;

  // ---- Element-wise arithmetic -------------------------------------------------

  // Element i := element i +/- OtherVec's element i, then OnChange. A null
  // OtherVec does nothing; a different size raises DARIVectorError
  // "...vectors have different dimensions" and leaves the vector unchanged.
  void Add(const Derived* OtherVec);
  void Subtract(const Derived* OtherVec);
  // Every element times scalar, then OnChange.
  void SMult(T scalar);
  // Every element replaced by its absolute value, then OnChange.
  void AbsVal();

  // ---- Products and distances (no OnChange) -------------------------------------

  // Sum of x_i y_i. Null OtherVec: 0; a different size raises DARIVectorError
  // "...vectors have different dimensions".
  T DotProduct(const Derived* OtherVec) const;
  // sqrt(sum (x_i - y_i)^2). A different size raises DARIVectorError
  // "EuclideanDistance: dimensions of vectors do not match"; a null OtherVec gives 0.
  double EuclideanDistance(const Derived* OtherVec) const;
  // Pearson's r. 0.0 for a null OtherVec, different sizes, fewer than two
  // elements, or a vector with zero spread (sum of squares <= 0 or zero variance).
  double PearsonCorrCoeff(const Derived* OtherVec) const;
  // Sum over i = 1..NrOfElem of x_i * OtherVec(i + ElemShift); positions outside
  // OtherVec count as 0 (zero padding), so a non-finite x_i facing one gives NaN.
  // Null OtherVec: 0. No normalisation.
  T Correlate(const Derived* OtherVec, int ElemShift) const;

  // ---- Searches (no OnChange) ----------------------------------------------------

  // Index of the element of the range nearest to value (smallest |x - value|,
  // first index on ties); 0 when no distance is below the largest double.
  int Find(int LowElem, int HighElem, T value) const;
  // Bisection in a vector sorted in the given direction: the index of an element
  // equal to Value met on the way, else the nearer of the two final bracket ends
  // (the higher index on a tie). A one-element vector gives 1.
  int FindInSortedVector(bool Ascending, T Value) const;

  // ---- Reordering ------------------------------------------------------------------

  // Comb sort of RangeFirst..RangeLast ((0, 0) = whole vector; reversed bounds are
  // exchanged, then each clamped): first gap trunc((last - first) / 1.3), each next
  // trunc(gap / 1.3), at least 1, until a gap-1 pass exchanges nothing. Every
  // exchange of i < j calls OnSortExchange(this, 0, i, j, 0, 0); then OnChange.
  // A range of one element does nothing and fires nothing. ProcStat is not touched.
  void SortElems(bool Ascending, int RangeFirst, int RangeLast);
  // Reverses the order of all elements, then OnChange.
  void Mirror();
  // Reseeds the process-wide generator from the clock, then makes NrOfElem
  // exchanges between two positions drawn independently and uniformly (a position
  // may meet itself). No event fires.
  void ShuffleElems();

 protected:
  // Worker of SkewKurt and SkewKurtSample; NumData receives the element count n.
  void SkewKurtIntern(int LowElem, int HighElem, double& Skewness, double& Kurtosis,
                      int& NumData) const;
};

}  // namespace dari::detail
