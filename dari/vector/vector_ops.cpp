// The shared statistics, arithmetic, search and reordering of TVector and
// TIntVector (declared in internal/vector_ops.h), instantiated for both.
#include "dari/vector/internal/vector_ops.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <new>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "dari/base/constants.h"
#include "dari/math1/internal/comb_sort.h"
#include "dari/math1/sorting.h"
#include "dari/platform/extended.h"
#include "dari/platform/numeric.h"
#include "dari/platform/uniform_random.h"
#include "dari/vector/int_vector.h"
#include "dari/vector/internal/lane_sum.h"
#include "dari/vector/vector.h"

namespace dari::detail {
namespace {

// Element arithmetic: IEEE for doubles, two's-complement wrap-around for int32.
inline double ElemAdd(double a, double b) { return a + b; }
inline int32_t ElemAdd(int32_t a, int32_t b) { return WrapAdd(a, b); }
inline double ElemSub(double a, double b) { return a - b; }
inline int32_t ElemSub(int32_t a, int32_t b) { return WrapSub(a, b); }
inline double ElemMul(double a, double b) { return a * b; }
inline int32_t ElemMul(int32_t a, int32_t b) { return WrapMul(a, b); }
inline double ElemAbs(double a) { return std::fabs(a); }
inline int32_t ElemAbs(int32_t a) { return a < 0 ? WrapNeg(a) : a; }

// Accumulator of a T-typed sum: double, or uint32_t whose wrap-around is the
// int32 two's-complement result in any order of summation.
template <class T>
using SumAcc = std::conditional_t<std::is_integral_v<T>, uint32_t, double>;

template <class T>
inline T FromAcc(SumAcc<T> a) {
  return static_cast<T>(a);  // modular for integers (C++20)
}

// |a - b| as a number, without overflow for integers.
inline double Distance(double a, double b) { return std::fabs(a - b); }
inline double Distance(int32_t a, int32_t b) {
  return static_cast<double>(std::llabs(static_cast<int64_t>(a) - static_cast<int64_t>(b)));
}

}  // namespace

// ---- Statistics ------------------------------------------------------------------

template <class T, class Derived>
void TVectorOps<T, Derived>::MeanVar(int LowElem, int HighElem, double& Mean,
                                     double& Variance) const {
  this->MakeValidElemRange(LowElem, HighElem);
  const T* x = this->FVec.data() + (LowElem - 1);
  const std::ptrdiff_t n = HighElem - LowElem + 1;
  const auto s = LaneSums<double, 2>(n, [x](std::ptrdiff_t i) {
    const double v = static_cast<double>(x[i]);
    return std::array<double, 2>{v, v * v};
  });
  const double dn = static_cast<double>(n);
  Mean = s[0] / dn;
  Variance = 1.0;
  if (n >= 3) {
    Variance = (s[1] - s[0] * s[0] / dn) / (dn - 1.0);
    if (Variance < 0.0) Variance = 0.0;
  }
}

template <class T, class Derived>
void TVectorOps<T, Derived>::MinMax(int LowElem, int HighElem, T& Minimum, T& Maximum, int& MinIx,
                                    int& MaxIx) const {
  this->MakeValidElemRange(LowElem, HighElem);
  Minimum = Derived::MinMaxStartMin;
  Maximum = Derived::MinMaxStartMax;
  MinIx = 0;
  MaxIx = 0;
  for (int i = LowElem; i <= HighElem; ++i) {
    const T v = this->FVec[static_cast<size_t>(i - 1)];
    if (v < Minimum) {
      Minimum = v;
      MinIx = i;
    }
    if (v > Maximum) {
      Maximum = v;
      MaxIx = i;
    }
  }
}

template <class T, class Derived>
void TVectorOps<T, Derived>::MinMax(int LowElem, int HighElem, T& Minimum, T& Maximum) const {
  int minIx, maxIx;
  MinMax(LowElem, HighElem, Minimum, Maximum, minIx, maxIx);
}

template <class T, class Derived>
T TVectorOps<T, Derived>::Sum(int LowElem, int HighElem) const {
  this->MakeValidElemRange(LowElem, HighElem);
  const T* x = this->FVec.data() + (LowElem - 1);
  return FromAcc<T>(LaneSum<SumAcc<T>>(HighElem - LowElem + 1, [x](std::ptrdiff_t i) {
    return static_cast<SumAcc<T>>(x[i]);
  }));
}

namespace {

// A sorted (ascending, with SortArray) copy of a range, for the order statistics.
template <class T>
std::vector<T> SortedCopy(const std::vector<T>& storage, int lo, int hi,
                          const std::string& componentName) {
  std::vector<T> copy;
  try {
    copy.assign(storage.begin() + (lo - 1), storage.begin() + hi);
  } catch (const std::bad_alloc&) {
    throw DARIVectorError(ComponentMessage(componentName, "not enough memory on heap"));
  }
  SortArray(std::span<T>(copy), true);
  return copy;
}

}  // namespace

template <class T, class Derived>
double TVectorOps<T, Derived>::Percentile(double prob, int LowElem, int HighElem) const {
  if (std::isnan(prob)) return std::numeric_limits<double>::quiet_NaN();
  prob = std::clamp(prob, 0.0, 100.0);
  this->MakeValidElemRange(LowElem, HighElem);
  const std::vector<T> s = SortedCopy(this->FVec, LowElem, HighElem, this->Name());
  const size_t n = s.size();
  if (n == 1) return static_cast<double>(s[0]);
  if (prob == 100.0) return static_cast<double>(s[n - 1]);
  const double p = static_cast<double>(n - 1) * prob / 100.0;
  const double k = Trunc(p);
  const double f = Frac(p);
  // p < n - 1 in exact arithmetic; should rounding reach the end, the last value is it.
  if (k >= static_cast<double>(n - 1)) return static_cast<double>(s[n - 1]);
  const auto ik = static_cast<size_t>(k);
  const double sk = static_cast<double>(s[ik]);
  return sk + (static_cast<double>(s[ik + 1]) - sk) * f;
}

template <class T, class Derived>
bool TVectorOps<T, Derived>::Quartiles(int LowElem, int HighElem, double& Q1, double& Q2,
                                       double& Q3) const {
  Q1 = Q2 = Q3 = 0.0;
  this->MakeValidElemRange(LowElem, HighElem);
  const std::vector<T> s = SortedCopy(this->FVec, LowElem, HighElem, this->Name());
  const int n = static_cast<int>(s.size());
  auto at = [&s](int k) { return static_cast<double>(s[static_cast<size_t>(k - 1)]); };  // 1-based
  if (n <= 1) {
    Q1 = Q2 = Q3 = at(1);
    return true;
  }
  auto quartile = [&](double q) {
    const double pos = (static_cast<double>(n) + 1.0) * q;
    int k = static_cast<int>(Trunc(pos));  // pos <= (2^31 + 1) * 0.75: fits
    const double f = Frac(pos);
    if (k == 0) return at(1);
    if (k > n - 1) return at(n);
    return at(k) + (at(k + 1) - at(k)) * f;
  };
  Q1 = quartile(0.25);
  Q2 = quartile(0.5);
  Q3 = quartile(0.75);
  return true;
}

template <class T, class Derived>
T TVectorOps<T, Derived>::Mode(int LowElem, int HighElem) const {
  this->MakeValidElemRange(LowElem, HighElem);
  const std::vector<T> s = SortedCopy(this->FVec, LowElem, HighElem, this->Name());
  T best = s[0];
  size_t bestLen = 1;
  size_t runLen = 1;
  for (size_t i = 1; i < s.size(); ++i) {
    runLen = s[i] == s[i - 1] ? runLen + 1 : 1;
    if (runLen > bestLen) {
      bestLen = runLen;
      best = s[i];
    }
  }
  return best;
}

template <class T, class Derived>
double TVectorOps<T, Derived>::GeometricMean(int LowElem, int HighElem) const {
  this->MakeValidElemRange(LowElem, HighElem);
  const T* x = this->FVec.data() + (LowElem - 1);
  const std::ptrdiff_t n = HighElem - LowElem + 1;
  bool zero = false;
  for (std::ptrdiff_t i = 0; i < n; ++i) {
    if (x[i] < 0) this->RaiseError("negative argument passed to GeometricMean");
    if (x[i] == 0) zero = true;
  }
  if (zero) return 0.0;
  const double sumLn = LaneSum<double>(n, [x](std::ptrdiff_t i) {
    return std::log(static_cast<double>(x[i]));
  });
  return std::exp(sumLn / static_cast<double>(n));
}

template <class T, class Derived>
double TVectorOps<T, Derived>::HarmonicMean(int LowElem, int HighElem) const {
  this->MakeValidElemRange(LowElem, HighElem);
  const T* x = this->FVec.data() + (LowElem - 1);
  const std::ptrdiff_t n = HighElem - LowElem + 1;
  for (std::ptrdiff_t i = 0; i < n; ++i) {
    if (x[i] <= 0) this->RaiseError("negative or zero argument passed to HarmonicMean");
  }
  const double sumInv = LaneSum<double>(n, [x](std::ptrdiff_t i) {
    return 1.0 / static_cast<double>(x[i]);
  });
  return static_cast<double>(n) / sumInv;
}

template <class T, class Derived>
void TVectorOps<T, Derived>::SkewKurtIntern(int LowElem, int HighElem, double& Skewness,
                                            double& Kurtosis, int& NumData) const {
  this->MakeValidElemRange(LowElem, HighElem);
  Skewness = 0.0;
  Kurtosis = 0.0;
  const int n = HighElem - LowElem + 1;
  NumData = n;
  if (n <= 3) return;
  const T* x = this->FVec.data() + (LowElem - 1);
  const Extended en = n;
  Extended sum = 0;
  for (int i = 0; i < n; ++i) sum += static_cast<Extended>(x[i]);
  const Extended mean = sum / en;
  Extended s1 = 0, s2 = 0, s3 = 0, s4 = 0;
  for (int i = 0; i < n; ++i) {
    const Extended d = static_cast<Extended>(x[i]) - mean;
    const Extended d2 = d * d;
    s1 += d;
    s2 += d2;
    s3 += d2 * d;
    s4 += d2 * d2;
  }
  const Extended sd = std::sqrt((s2 - s1 * s1 / en) / (en - 1));
  if (sd == 0) {
    Skewness = static_cast<double>(s3);
    Kurtosis = static_cast<double>(s4);
    return;
  }
  Skewness = static_cast<double>((s3 / en) / (sd * sd * sd));
  Kurtosis = static_cast<double>((s4 / en) / (sd * sd * sd * sd) - 3);
}

template <class T, class Derived>
void TVectorOps<T, Derived>::SkewKurt(int LowElem, int HighElem, double& Skewness,
                                      double& Kurtosis) const {
  int n;
  SkewKurtIntern(LowElem, HighElem, Skewness, Kurtosis, n);
}

template <class T, class Derived>
void TVectorOps<T, Derived>::SkewKurtSample(int LowElem, int HighElem, double& Skewness,
                                            double& Kurtosis) const {
  int numData;
  double s, k;
  SkewKurtIntern(LowElem, HighElem, s, k, numData);
  if (numData <= 3) {
    Skewness = 0.0;
    Kurtosis = 0.0;
    return;
  }
  const double n = numData;
  Kurtosis = (k + 3.0) * n * n * (n + 1.0) / ((n - 1.0) * (n - 2.0) * (n - 3.0)) -
             3.0 * (n - 1.0) * (n - 1.0) / ((n - 2.0) * (n - 3.0));
  Skewness = s * n * n / ((n - 1.0) * (n - 2.0));
}

// ---- Element-wise arithmetic ---------------------------------------------------------

template <class T, class Derived>
void TVectorOps<T, Derived>::Add(const Derived* OtherVec) {
  if (OtherVec == nullptr) return;
  if (OtherVec->NrOfElem() != this->FNElem) this->RaiseError("vectors have different dimensions");
  const T* y = OtherVec->Storage().data();
  T* x = this->FVec.data();
  for (int i = 0; i < this->FNElem; ++i) x[i] = ElemAdd(x[i], y[i]);
  this->Changed();
}

template <class T, class Derived>
void TVectorOps<T, Derived>::Subtract(const Derived* OtherVec) {
  if (OtherVec == nullptr) return;
  if (OtherVec->NrOfElem() != this->FNElem) this->RaiseError("vectors have different dimensions");
  const T* y = OtherVec->Storage().data();
  T* x = this->FVec.data();
  for (int i = 0; i < this->FNElem; ++i) x[i] = ElemSub(x[i], y[i]);
  this->Changed();
}

template <class T, class Derived>
void TVectorOps<T, Derived>::SMult(T scalar) {
  for (T& x : this->FVec) x = ElemMul(x, scalar);
  this->Changed();
}

template <class T, class Derived>
void TVectorOps<T, Derived>::AbsVal() {
  for (T& x : this->FVec) x = ElemAbs(x);
  this->Changed();
}

// ---- Products and distances -----------------------------------------------------------

template <class T, class Derived>
T TVectorOps<T, Derived>::DotProduct(const Derived* OtherVec) const {
  if (OtherVec == nullptr) return T{};
  if (OtherVec->NrOfElem() != this->FNElem) this->RaiseError("vectors have different dimensions");
  const T* x = this->FVec.data();
  const T* y = OtherVec->Storage().data();
  return FromAcc<T>(LaneSum<SumAcc<T>>(this->FNElem, [x, y](std::ptrdiff_t i) {
    return static_cast<SumAcc<T>>(x[i]) * static_cast<SumAcc<T>>(y[i]);
  }));
}

template <class T, class Derived>
double TVectorOps<T, Derived>::EuclideanDistance(const Derived* OtherVec) const {
  if (OtherVec == nullptr) return 0.0;
  if (OtherVec->NrOfElem() != this->FNElem) {
    throw DARIVectorError("EuclideanDistance: dimensions of vectors do not match");
  }
  const T* x = this->FVec.data();
  const T* y = OtherVec->Storage().data();
  return std::sqrt(LaneSum<double>(this->FNElem, [x, y](std::ptrdiff_t i) {
    const double d = static_cast<double>(x[i]) - static_cast<double>(y[i]);
    return d * d;
  }));
}

template <class T, class Derived>
double TVectorOps<T, Derived>::PearsonCorrCoeff(const Derived* OtherVec) const {
  if (OtherVec == nullptr || OtherVec->NrOfElem() != this->FNElem || this->FNElem <= 1) return 0.0;
  const T* x = this->FVec.data();
  const T* y = OtherVec->Storage().data();
  const auto s = LaneSums<double, 5>(this->FNElem, [x, y](std::ptrdiff_t i) {
    const double a = static_cast<double>(x[i]);
    const double b = static_cast<double>(y[i]);
    return std::array<double, 5>{a, b, a * a, b * b, a * b};
  });
  const double n = this->FNElem;
  const double sx = s[0], sy = s[1], sxx = s[2], syy = s[3], sxy = s[4];
  if (sxx <= 0.0 || syy <= 0.0) return 0.0;
  const double qx = sxx - sx * sx / n;
  const double qy = syy - sy * sy / n;
  if (qx == 0.0 || qy == 0.0) return 0.0;
  return (sxy - sx * sy / n) / std::sqrt(std::fabs(qx * qy));
}

template <class T, class Derived>
T TVectorOps<T, Derived>::Correlate(const Derived* OtherVec, int ElemShift) const {
  if (OtherVec == nullptr) return T{};
  // Element i meets OtherVec's element i + ElemShift; only i with that position
  // inside 1..m contribute a product, the rest meet the zero padding. Positions
  // are formed in 64 bits.
  const int64_t n = this->FNElem;
  const int64_t m = OtherVec->NrOfElem();
  const int64_t first = std::max<int64_t>(1, 1 - static_cast<int64_t>(ElemShift));
  const int64_t last = std::min<int64_t>(n, m - static_cast<int64_t>(ElemShift));
  const T* x = this->FVec.data();
  const T* y = OtherVec->Storage().data();
  T result{};
  if (first <= last) {
    const T* xs = x + (first - 1);
    const T* ys = y + (first - 1 + ElemShift);
    result = FromAcc<T>(LaneSum<SumAcc<T>>(last - first + 1, [xs, ys](std::ptrdiff_t i) {
      return static_cast<SumAcc<T>>(xs[i]) * static_cast<SumAcc<T>>(ys[i]);
    }));
  }
  if constexpr (std::is_floating_point_v<T>) {
    // x * 0 is NaN for an infinite or NaN x: the padding keeps that rule.
    for (int64_t i = 1; i <= n; ++i) {
      if ((i < first || i > last) && !std::isfinite(x[i - 1])) {
        return std::numeric_limits<double>::quiet_NaN();
      }
    }
  }
  return result;
}

// ---- Searches --------------------------------------------------------------------------

template <class T, class Derived>
int TVectorOps<T, Derived>::Find(int LowElem, int HighElem, T value) const {
  this->MakeValidElemRange(LowElem, HighElem);
  double best = static_cast<double>(uc_MaxDouble);
  int bestIx = 0;
  for (int i = LowElem; i <= HighElem; ++i) {
    const double d = Distance(this->FVec[static_cast<size_t>(i - 1)], value);
    if (d < best) {
      best = d;
      bestIx = i;
    }
  }
  return bestIx;
}

template <class T, class Derived>
int TVectorOps<T, Derived>::FindInSortedVector(bool Ascending, T Value) const {
  auto at = [this](int i) { return this->FVec[static_cast<size_t>(i - 1)]; };
  int lo = 1;
  int hi = this->FNElem;
  while (hi - lo >= 2) {
    const int mid = lo + (hi - lo) / 2;  // (lo + hi) div 2 without overflow
    const T e = at(mid);
    if (e == Value) return mid;
    if (Ascending == (Value < e)) {
      hi = mid;
    } else {
      lo = mid;
    }
  }
  return Distance(at(lo), Value) < Distance(at(hi), Value) ? lo : hi;
}

// ---- Reordering --------------------------------------------------------------------------

template <class T, class Derived>
void TVectorOps<T, Derived>::SortElems(bool Ascending, int RangeFirst, int RangeLast) {
  if (RangeFirst == 0 && RangeLast == 0) {
    RangeFirst = 1;
    RangeLast = this->FNElem;
  }
  if (RangeLast < RangeFirst) std::swap(RangeFirst, RangeLast);
  RangeFirst = std::clamp(RangeFirst, 1, this->FNElem);
  RangeLast = std::clamp(RangeLast, 1, this->FNElem);
  if (RangeLast - RangeFirst <= 0) return;
  T* data = this->FVec.data() + (RangeFirst - 1);
  const std::ptrdiff_t n = RangeLast - RangeFirst + 1;
  if (this->FOnSortExchange) {
    const int base = RangeFirst;
    const int size = this->FNElem;
    // A handler that resizes the vector moves its storage: the sort then ends.
    CombSortElems(data, n, Ascending, [this, base, data, size](std::ptrdiff_t i, std::ptrdiff_t j) {
      this->SortExchange(0, base + static_cast<int>(i), base + static_cast<int>(j), 0, 0);
      return this->FNElem == size && this->FVec.data() + (base - 1) == data;
    });
  } else {
    CombSortElems(data, n, Ascending, NoSortExchange{});
  }
  this->Changed();
}

template <class T, class Derived>
void TVectorOps<T, Derived>::Mirror() {
  std::reverse(this->FVec.begin(), this->FVec.end());
  this->Changed();
}

template <class T, class Derived>
void TVectorOps<T, Derived>::ShuffleElems() {
  RandomizeFromClock();
  const int32_t n = this->FNElem;
  for (int32_t k = 0; k < n; ++k) {
    const int32_t i = UniformRandomInt(n);
    const int32_t j = UniformRandomInt(n);
    std::swap(this->FVec[static_cast<size_t>(i)], this->FVec[static_cast<size_t>(j)]);
  }
}

template class TVectorOps<double, TVector>;
template class TVectorOps<int32_t, TIntVector>;

}  // namespace dari::detail
