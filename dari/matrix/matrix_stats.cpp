// Statistics and normalisation of TMatrix: moments, extremes, order
// statistics, histograms, value counts, correlation of two matrices and the
// column- and row-wise standardisations. Every range is made valid first; an
// empty range (a matrix with 0 columns or rows) leaves every output at its
// start value instead of dividing by zero.
#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <vector>

#include "dari/base/constants.h"
#include "dari/math1/sorting.h"
#include "dari/matrix/internal/range_stats.h"
#include "dari/matrix/matrix.h"
#include "dari/platform/numeric.h"
#include "dari/platform/uniform_random.h"

namespace dari {
namespace {

using detail::TRangeView;

TRangeView<double> MakeView(const TMatrix& M, int LowCol, int LowRow, int HighCol, int HighRow) {
  M.MakeValidColRange(LowCol, HighCol);
  M.MakeValidRowRange(LowRow, HighRow);
  TRangeView<double> v{M.ColPtr(1), M.Stride(), LowCol, HighCol, LowRow, HighRow};
  if (M.IsEmptyShape()) v.ColHi = v.ColLo - 1;
  return v;
}

// Skewness and kurtosis core shared by SkewKurt and SkewKurtSample. Returns
// true when step 5 (division by the standard deviation) was reached, with g1,
// g2 the population values; otherwise the outputs hold the raw sums (or stay 0
// for an empty range). N receives the element count.
bool SkewKurtCore(const TRangeView<double>& R, double& Skewness, double& Kurtosis, int64_t& N) {
  Skewness = 0.0;
  Kurtosis = 0.0;
  N = R.Count();
  if (N == 0) return false;
  const double n = static_cast<double>(N);
  double sum = 0.0;
  for (int c = R.ColLo; c <= R.ColHi; ++c) {
    const double* x = R.Col(c);
    for (int i = 0; i < R.Rows(); ++i) sum += x[i];
  }
  const double mean = sum / n;
  double s1 = 0.0, s2 = 0.0, s3 = 0.0, s4 = 0.0;
  for (int c = R.ColLo; c <= R.ColHi; ++c) {
    const double* x = R.Col(c);
    for (int i = 0; i < R.Rows(); ++i) {
      const double d = x[i] - mean;
      const double d2 = d * d;
      const double d3 = d2 * d;
      s1 += d;
      s2 += d2;
      s3 += d3;
      s4 += d3 * d;
    }
  }
  if (N < 2) {
    Skewness = s3;
    Kurtosis = s4;
    return false;
  }
  const double sd = std::sqrt((s2 - s1 * s1 / n) / (n - 1.0));
  // A variance estimate that rounding made negative (a constant range) counts
  // as 0, like an exact 0: no NaN from the square root.
  if (!(sd > 0.0)) {
    Skewness = s3;
    Kurtosis = s4;
    return false;
  }
  Skewness = s3 / n / (sd * sd * sd);
  Kurtosis = s4 / n / (sd * sd * sd * sd) - 3.0;
  return true;
}

// Writes Value to element Ix of V when it exists (no resize, no event).
inline void StoreIfInside(TVector* V, int Ix, double Value) {
  if (V != nullptr && Ix >= 1 && Ix <= V->NrOfElem()) V->Storage()[static_cast<size_t>(Ix - 1)] = Value;
}

inline void FinishVector(TVector* V) {
  if (V == nullptr) return;
  V->SetIsEmpty(false);
  V->Changed();
}

}  // namespace

void TMatrix::MeanVar(int LowCol, int LowRow, int HighCol, int HighRow, double& Mean,
                      double& Variance) const {
  Mean = 0.0;
  Variance = 0.0;
  detail::RangeMeanVar(MakeView(*this, LowCol, LowRow, HighCol, HighRow), Mean, Variance);
}

void TMatrix::MeanVec(TDims Dim, TVector* Means) const {
  if (Means == nullptr) return;
  if (Dim == dimColumns) {
    Means->SetVecSize(FNCol);
    for (int c = 1; c <= FNCol; ++c) {
      double s = 0.0;
      const double* x = ColPtr(c);
      for (int r = 0; r < FNRow; ++r) s += x[r];
      StoreIfInside(Means, c, FNRow > 0 ? s / FNRow : 0.0);
    }
  } else {
    Means->SetVecSize(FNRow);
    std::vector<double> sums;
    try {
      sums.assign(static_cast<size_t>(FNRow), 0.0);
    } catch (const std::bad_alloc&) {
      RaiseNoMemory();
    }
    for (int c = 1; c <= FNCol; ++c) {
      const double* x = ColPtr(c);
      for (int r = 0; r < FNRow; ++r) sums[static_cast<size_t>(r)] += x[r];
    }
    for (int r = 1; r <= FNRow; ++r)
      StoreIfInside(Means, r, FNCol > 0 ? sums[static_cast<size_t>(r - 1)] / FNCol : 0.0);
  }
  FinishVector(Means);
}

void TMatrix::MinMax(int LowCol, int LowRow, int HighCol, int HighRow, double& Minimum,
                     double& Maximum) const {
  Minimum = static_cast<double>(uc_MaxReal);
  Maximum = -static_cast<double>(uc_MaxReal);
  const auto R = MakeView(*this, LowCol, LowRow, HighCol, HighRow);
  for (int c = R.ColLo; c <= R.ColHi; ++c) {
    const double* x = R.Col(c);
    for (int i = 0; i < R.Rows(); ++i) {
      if (x[i] < Minimum) Minimum = x[i];
      if (x[i] > Maximum) Maximum = x[i];
    }
  }
}

int TMatrix::CountValues(int LowCol, int HighCol, int LowRow, int HighRow, double RangeLow,
                         double RangeHigh) const {
  const auto R = MakeView(*this, LowCol, LowRow, HighCol, HighRow);
  int64_t count = 0;
  for (int c = R.ColLo; c <= R.ColHi; ++c) {
    const double* x = R.Col(c);
    for (int i = 0; i < R.Rows(); ++i) count += (x[i] >= RangeLow && x[i] <= RangeHigh) ? 1 : 0;
  }
  return static_cast<int>(std::min<int64_t>(count, std::numeric_limits<int>::max()));
}

double TMatrix::GeometricMean(int LowCol, int LowRow, int HighCol, int HighRow) const {
  const auto R = MakeView(*this, LowCol, LowRow, HighCol, HighRow);
  if (R.Empty()) return 0.0;
  double sum = 0.0;
  bool zero = false;
  for (int c = R.ColLo; c <= R.ColHi; ++c) {
    const double* x = R.Col(c);
    for (int i = 0; i < R.Rows(); ++i) {
      if (x[i] < 0.0)
        throw DARIMatrixError(ComponentMessage(Name(), "negative argument passed to GeometricMean"));
      if (x[i] == 0.0)
        zero = true;
      else
        sum += std::log(x[i]);
    }
  }
  if (zero) return 0.0;
  return std::exp(sum / R.Rows() / R.Cols());
}

double TMatrix::HarmonicMean(int LowCol, int LowRow, int HighCol, int HighRow) const {
  const auto R = MakeView(*this, LowCol, LowRow, HighCol, HighRow);
  if (R.Empty()) return 0.0;
  double sum = 0.0;
  for (int c = R.ColLo; c <= R.ColHi; ++c) {
    const double* x = R.Col(c);
    for (int i = 0; i < R.Rows(); ++i) {
      if (x[i] <= 0.0)
        throw DARIMatrixError(ComponentMessage(Name(), "negative or zero argument passed to HarmonicMean"));
      sum += 1.0 / x[i];
    }
  }
  return static_cast<double>(R.Rows()) * static_cast<double>(R.Cols()) / sum;
}

void TMatrix::SkewKurt(int LowCol, int LowRow, int HighCol, int HighRow, double& Skewness,
                       double& Kurtosis) const {
  int64_t n;
  SkewKurtCore(MakeView(*this, LowCol, LowRow, HighCol, HighRow), Skewness, Kurtosis, n);
}

void TMatrix::SkewKurtSample(int LowCol, int LowRow, int HighCol, int HighRow, double& Skewness,
                             double& Kurtosis) const {
  int64_t n;
  double g1, g2;
  const bool full = SkewKurtCore(MakeView(*this, LowCol, LowRow, HighCol, HighRow), g1, g2, n);
  if (n <= 3) {
    Skewness = 0.0;
    Kurtosis = 0.0;
    return;
  }
  if (!full) {
    Skewness = g1;
    Kurtosis = g2;
    return;
  }
  const double N = static_cast<double>(n);
  Kurtosis = (g2 + 3.0) * N * N * (N + 1.0) / (N - 1.0) / (N - 2.0) / (N - 3.0) -
             3.0 * (N - 1.0) * (N - 1.0) / (N - 2.0) / (N - 3.0);
  Skewness = g1 * N * N / (N - 1.0) / (N - 2.0);
}

double TMatrix::Percentile(double prob, int LowCol, int LowRow, int HighCol, int HighRow) const {
  const auto R = MakeView(*this, LowCol, LowRow, HighCol, HighRow);
  if (R.Empty()) return 0.0;
  std::vector<double> values;
  try {
    values = detail::RangeCopy(R);
  } catch (const std::bad_alloc&) {
    RaiseNoMemory();
  }
  return detail::RankSelect(values, detail::ClampProb(prob));
}

double TMatrix::Percentile(double prob, int LowCol, int LowRow, int HighCol, int HighRow,
                           int SampleSize) const {
  const auto R = MakeView(*this, LowCol, LowRow, HighCol, HighRow);
  prob = detail::ClampProb(prob);
  // A sample that is not smaller than the range, and a negative sample size,
  // give the exact percentile.
  if (SampleSize <= 0 || static_cast<int64_t>(SampleSize) >= R.Count())
    return Percentile(prob, LowCol, LowRow, HighCol, HighRow);
  RandomizeFromClock();
  std::vector<double> drawn;
  try {
    drawn.resize(static_cast<size_t>(SampleSize));
  } catch (const std::bad_alloc&) {
    RaiseNoMemory();
  }
  int64_t zeros = 0, negatives = 0;
  for (int t = 0; t < SampleSize; ++t) {
    const int dc = UniformRandomInt(R.Cols());
    const int dr = UniformRandomInt(R.Rows());
    const double v = R.Col(R.ColLo + dc)[dr];
    drawn[static_cast<size_t>(t)] = v;
    if (v == 0.0) ++zeros;
    if (v < 0.0) ++negatives;
  }
  const double S = static_cast<double>(SampleSize);
  const double p = prob / 100.0;
  if (static_cast<double>(negatives) / S < p && p < static_cast<double>(negatives + zeros) / S) return 0.0;
  return detail::RankSelect(drawn, prob);
}

bool TMatrix::Quartiles(int LowCol, int LowRow, int HighCol, int HighRow, double& Q1, double& Q2,
                        double& Q3) const {
  Q1 = Q2 = Q3 = 0.0;
  const auto R = MakeView(*this, LowCol, LowRow, HighCol, HighRow);
  if (R.Empty()) return false;
  std::vector<double> values;
  try {
    values = detail::RangeCopy(R);
  } catch (const std::bad_alloc&) {
    RaiseNoMemory();
  }
  SortArray(std::span<double>(values), true);
  return detail::QuartilesOfSorted(values, Q1, Q2, Q3);
}

bool TMatrix::Histogram(int LoX, int LoY, int HiX, int HiY, double FirstBin, double LastBin, double BinWidth,
                        TIntVector* Histo, int& Underflow, int& Overflow, int& MaxCnt) const {
  // A bin width that is not positive (or NaN), a bin count that is not finite,
  // zero or above 500 answer false with nothing touched.
  if (Histo == nullptr || !(BinWidth > 0.0)) return false;
  const double bins = Round(std::fabs(LastBin - FirstBin) / BinWidth);
  if (!(bins >= 1.0 && bins <= 500.0)) return false;
  const int NE = static_cast<int>(bins);
  if (Histo->NrOfElem() != NE) Histo->Resize(NE);
  Histo->Clear();
  Underflow = 0;
  Overflow = 0;
  MaxCnt = 0;
  auto counts = Histo->Storage();
  int64_t under = 0, over = 0, maxCnt = 0;
  bool counted = false;
  const double upper = LastBin + BinWidth;
  const auto R = MakeView(*this, LoX, LoY, HiX, HiY);
  for (int c = R.ColLo; c <= R.ColHi; ++c) {
    const double* x = R.Col(c);
    for (int i = 0; i < R.Rows(); ++i) {
      const double v = x[i];
      if (v < FirstBin) {
        ++under;
      } else if (v < upper) {
        const int64_t bin = TruncToInt64Saturated((v - FirstBin) / BinWidth) + 1;
        if (bin >= 1 && bin <= NE) {
          int32_t& cell = counts[static_cast<size_t>(bin - 1)];
          if (cell < std::numeric_limits<int32_t>::max()) ++cell;
          maxCnt = std::max<int64_t>(maxCnt, cell);
          counted = true;
        } else {
          // Between the last bin's end and LastBin + BinWidth: beyond the bins.
          ++over;
        }
      } else {
        ++over;
      }
    }
  }
  const auto clampInt = [](int64_t v) {
    return static_cast<int>(std::min<int64_t>(v, std::numeric_limits<int>::max()));
  };
  Underflow = clampInt(under);
  Overflow = clampInt(over);
  MaxCnt = clampInt(maxCnt);
  if (counted) {
    Histo->SetIsEmpty(false);
    Histo->Changed();
  }
  return true;
}

double TMatrix::Correlate(const TMatrix* OtherMat) const {
  if (OtherMat == nullptr || OtherMat->FNCol != FNCol || OtherMat->FNRow != FNRow)
    throw DARIMatrixError(ComponentMessage(Name(), "matrices do not match"));
  double sx = 0.0, sy = 0.0, sxx = 0.0, syy = 0.0, sxy = 0.0;
  for (int c = 1; c <= FNCol; ++c) {
    const double* x = ColPtr(c);
    const double* y = OtherMat->ColPtr(c);
    for (int r = 0; r < FNRow; ++r) {
      sx += x[r];
      sy += y[r];
      sxx += x[r] * x[r];
      syy += y[r] * y[r];
      sxy += x[r] * y[r];
    }
  }
  const int64_t n = static_cast<int64_t>(FNCol) * FNRow;
  if (n < 3 || sxx <= 0.0 || syy <= 0.0) return 0.0;
  const double N = static_cast<double>(n);
  const double vx = sxx - sx * sx / N;
  const double vy = syy - sy * sy / N;
  if (vx == 0.0 || vy == 0.0) return 0.0;
  return (sxy - sx * sy / N) / std::sqrt(std::fabs(vx * vy));
}

void TMatrix::StandardizeColumns(TVector* Means, TVector* StdDevs) {
  for (int c = 1; c <= FNCol; ++c) {
    double mean, var;
    MeanVar(c, 1, c, FNRow, mean, var);
    double sd = 0.0;
    if (var > 0.0 && FNRow > 0) {
      sd = std::sqrt(var);
      double* x = ColPtr(c);
      for (int r = 0; r < FNRow; ++r) x[r] = (x[r] - mean) / sd;
    }
    StoreIfInside(Means, c, mean);
    StoreIfInside(StdDevs, c, sd);
  }
  FinishVector(Means);
  FinishVector(StdDevs);
  Changed();
}

void TMatrix::StandardizeRows(TVector* Means, TVector* StdDevs) {
  for (int r = 1; r <= FNRow; ++r) {
    double mean, var;
    MeanVar(1, r, FNCol, r, mean, var);
    double sd = 0.0;
    if (var > 0.0 && FNCol > 0) {
      sd = std::sqrt(var);
      for (int c = 1; c <= FNCol; ++c) {
        double& x = ColPtr(c)[r - 1];
        x = (x - mean) / sd;
      }
    }
    StoreIfInside(Means, r, mean);
    StoreIfInside(StdDevs, r, sd);
  }
  FinishVector(Means);
  FinishVector(StdDevs);
  Changed();
}

void TMatrix::MeanCenterColumns(TVector* Means) {
  if (Means != nullptr) Means->SetVecSize(FNCol);
  for (int c = 1; c <= FNCol; ++c) {
    double mean, var;
    MeanVar(c, 1, c, FNRow, mean, var);
    double* x = ColPtr(c);
    for (int r = 0; r < FNRow; ++r) x[r] -= mean;
    StoreIfInside(Means, c, mean);
  }
  FinishVector(Means);
  Changed();
}

void TMatrix::MeanCenterRows(TVector* Means) {
  if (Means != nullptr) Means->SetVecSize(FNRow);
  for (int r = 1; r <= FNRow; ++r) {
    double mean, var;
    MeanVar(1, r, FNCol, r, mean, var);
    for (int c = 1; c <= FNCol; ++c) ColPtr(c)[r - 1] -= mean;
    StoreIfInside(Means, r, mean);
  }
  FinishVector(Means);
  Changed();
}

void TMatrix::QNormalizeColumns(double RefQuant, TVector* Medians, TVector* QuantDiffs) {
  for (int c = 1; c <= FNCol && FNRow > 0; ++c) {
    const double p = Percentile(RefQuant, c, 1, c, FNRow);
    const double med = Percentile(50.0, c, 1, c, FNRow);
    const double d = std::fabs(med - p);
    if (d > 0.0) {
      double* x = ColPtr(c);
      for (int r = 0; r < FNRow; ++r) x[r] = (x[r] - med) / d;
    }
    StoreIfInside(Medians, c, med);
    StoreIfInside(QuantDiffs, c, d);
  }
  FinishVector(Medians);
  FinishVector(QuantDiffs);
  Changed();
}

void TMatrix::QNormalizeRows(double RefQuant, TVector* Medians, TVector* QuantDiffs) {
  for (int r = 1; r <= FNRow && FNCol > 0; ++r) {
    const double p = Percentile(RefQuant, 1, r, FNCol, r);
    const double med = Percentile(50.0, 1, r, FNCol, r);
    const double d = std::fabs(med - p);
    if (d > 0.0) {
      for (int c = 1; c <= FNCol; ++c) {
        double& x = ColPtr(c)[r - 1];
        x = (x - med) / d;
      }
    }
    StoreIfInside(Medians, r, med);
    StoreIfInside(QuantDiffs, r, d);
  }
  FinishVector(Medians);
  FinishVector(QuantDiffs);
  Changed();
}

}  // namespace dari
