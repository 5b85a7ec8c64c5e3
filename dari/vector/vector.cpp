#include "dari/vector/vector.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "dari/base/crc32.h"
#include "dari/math1/random.h"
#include "dari/platform/extended.h"
#include "dari/platform/numeric.h"
#include "dari/platform/uniform_random.h"
#include "dari/vector/internal/histogram.h"

namespace dari {

void TVector::Assign(const TPersistent* Source) {
  if (const auto* other = dynamic_cast<const TVector*>(Source)) {
    AssignFrom(*other);
  } else {
    TVectorBase::Assign(Source);
  }
}

void TVector::AssignTo(TPersistent* Dest) const {
  if (auto* other = dynamic_cast<TVector*>(Dest)) {
    other->Assign(this);
  } else {
    TVectorBase::AssignTo(Dest);
  }
}

void TVector::FillRandomUniform(double RangeLow, double RangeHigh) {
  const double width = RangeHigh - RangeLow;
  for (double& x : FVec) x = RangeLow + UniformRandom() * width;
  SetIsEmpty(false);
  Changed();
}

void TVector::FillRandomGauss(double Mean, double StdDev) {
  for (double& x : FVec) x = GRandom() * StdDev + Mean;
  SetIsEmpty(false);
  Changed();
}

std::string TVector::CRCofData() const {
  detail::TCrc8Registers regs;
  for (double x : FVec) {
    uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    regs.FeedWord64(bits);
  }
  return regs.Result();
}

void TVector::SetLeng(double x) {
  double length = Leng();
  if (length == 0.0 || std::isinf(length)) {
    // The sum of squares left the double range (elements near 1e±155 and
    // beyond): take the length in extended precision, whose range covers it.
    Extended sum = 0;
    for (double v : FVec) sum += static_cast<Extended>(v) * v;
    const Extended exact = std::sqrt(sum);
    if (exact == 0) throw DARIVectorError("vector has zero length");
    const Extended factor = static_cast<Extended>(x) / exact;
    for (double& v : FVec) v = static_cast<double>(v * factor);
    Changed();
    return;
  }
  const double factor = x / length;
  for (double& v : FVec) v *= factor;
  Changed();
}

bool TVector::Histogram(int FirstElem, int LastElem, double FirstBin, double LastBin,
                        double BinWidth, TIntVector* Histo, int& Underflow, int& Overflow,
                        int& MaxCnt) const {
  if (Histo == nullptr || !(BinWidth > 0.0)) return false;
  // Checked as a double before any conversion: NaN or infinite bounds, or a tiny
  // width, give a count outside 1..500 (or NaN) and are refused.
  const double bins = Round(std::fabs(LastBin - FirstBin) / BinWidth);
  if (!(bins >= 1.0 && bins <= 500.0)) return false;
  const int nBins = static_cast<int>(bins);
  const double overflowFrom = LastBin + BinWidth;
  const auto counts = detail::CountHistogram<double>(
      Storage(), FirstElem, LastElem, nBins, [&](double v) -> int64_t {
        if (v < FirstBin) return -1;
        if (!(v < overflowFrom)) return nBins;  // also NaN
        const double q = (v - FirstBin) / BinWidth;  // >= 0 here
        return q < bins ? static_cast<int64_t>(q) : nBins;
      });
  detail::StoreHistogram(counts, Histo, Underflow, Overflow, MaxCnt);
  return true;
}

void TVector::Standardize(double& mean, double& stddev) {
  double variance;
  MeanVar(0, 0, mean, variance);
  stddev = std::sqrt(variance);
  if (stddev > 0.0) {
    for (double& x : FVec) x = (x - mean) / stddev;
  }
}

double TVector::MeanCenter() {
  double mean, variance;
  MeanVar(0, 0, mean, variance);
  for (double& x : FVec) x -= mean;
  return mean;
}

void TVector::QNormalize(double RefQuant, double& Median, double& QuantDiff) {
  Median = Percentile(50.0, 0, 0);
  QuantDiff = std::fabs(Median - Percentile(RefQuant, 0, 0));
  if (QuantDiff > 0.0) {
    for (double& x : FVec) x = (x - Median) / QuantDiff;
  }
}

double TVector::Integrate(double BoundLow, double BoundHigh, TIntegMethod Method) const {
  if (std::isnan(BoundLow) || std::isnan(BoundHigh)) return std::numeric_limits<double>::quiet_NaN();
  const double last = FNElem;
  BoundLow = std::clamp(BoundLow, 1.0, last);
  BoundHigh = std::clamp(BoundHigh, 1.0, last);
  if (BoundLow > BoundHigh) std::swap(BoundLow, BoundHigh);
  const double width = BoundHigh - BoundLow;
  // Both bounds lie in [1, NrOfElem] now, so these conversions are exact.
  const int lo = static_cast<int>(std::ceil(BoundLow));
  const int hi = static_cast<int>(std::floor(BoundHigh));
  const int d = hi - lo + 1;  // samples inside the bounds; 0 when both lie between two
  auto el = [this](int i) { return FVec[static_cast<size_t>(i - 1)]; };
  auto interp = [&](double t) {  // linear interpolation at abscissa t
    const double ft = std::floor(t);
    const int k = static_cast<int>(ft);
    if (ft == t) return el(k);
    return el(k) + (t - ft) * (el(k + 1) - el(k));
  };
  auto trapezoidBetweenBounds = [&] { return (interp(BoundLow) + interp(BoundHigh)) / 2.0 * width; };
  auto endPieces = [&] {
    double e = 0.0;
    if (BoundLow != lo) e += (interp(BoundLow) + el(lo)) / 2.0 * (lo - BoundLow);
    if (BoundHigh != hi) e += (el(hi) + interp(BoundHigh)) / 2.0 * (BoundHigh - hi);
    return e;
  };
  switch (Method) {
    case imSimple: {
      if (d == 0) return (el(hi) + el(lo)) / 2.0 * width;
      double sum = 0.0;
      for (int i = lo; i <= hi; ++i) sum += el(i);
      return sum / d * width;
    }
    case imTrapezoidal: {
      if (d == 0) return trapezoidBetweenBounds();
      double sum = endPieces();
      for (int i = lo; i < hi; ++i) sum += (el(i) + el(i + 1)) / 2.0;
      return sum;
    }
    case imSimpson: {
      if (d == 0) return trapezoidBetweenBounds();
      const double e = endPieces();
      auto f = [&](int k) { return el(lo + k); };
      switch (d) {
        case 1:
          return e;
        case 2:
          return e + (f(0) + f(1)) / 2.0;
        case 3:
          return e + (f(0) + 4.0 * f(1) + f(2)) / 3.0;
        case 4:
          return e + 3.0 * (f(0) + 3.0 * f(1) + 3.0 * f(2) + f(3)) / 8.0;
        case 5:
          return e + 2.0 * (7.0 * f(0) + 32.0 * f(1) + 12.0 * f(2) + 32.0 * f(3) + 7.0 * f(4)) / 45.0;
        default: {
          // Extended rule: weights 3/8, 7/6, 23/24 at both ends, 1 in between.
          double sum = 3.0 / 8.0 * f(0) + 7.0 / 6.0 * f(1) + 23.0 / 24.0 * f(2);
          for (int k = 3; k <= d - 4; ++k) sum += f(k);
          sum += 23.0 / 24.0 * f(d - 3) + 7.0 / 6.0 * f(d - 2) + 3.0 / 8.0 * f(d - 1);
          return e + sum;
        }
      }
    }
  }
  return 0.0;
}

}  // namespace dari
