// TVector: a resizable one-dimensional array of doubles addressed from 1 to
// NrOfElem, the library's common currency for one-dimensional data. A component:
// it has an optional owner and a Name that its error messages quote.
//
// Events: OnChange fires after every completed modification (once per bulk
// operation, once per element written through SetVal); OnSortExchange fires for
// every exchange of two elements during SortElems. The statistics and the three
// in-place normalisations (Standardize, MeanCenter, QNormalize) fire nothing.
//
// The statistics, arithmetic, searches and reordering shared with TIntVector
// (MeanVar, MinMax, Sum, Percentile, Quartiles, Mode, GeometricMean, HarmonicMean,
// SkewKurt, SkewKurtSample, Add, Subtract, SMult, AbsVal, DotProduct,
// EuclideanDistance, PearsonCorrCoeff, Correlate, Find, FindInSortedVector,
// SortElems, Mirror, ShuffleElems) are documented in internal/vector_ops.h; this
// header holds what only TVector has. Vector sums accumulate in 8 lanes combined
// in a fixed order, so results are the same on every machine.
#pragma once

#include <cstdint>
#include <string>

#include "dari/vector/int_vector.h"
#include "dari/vector/internal/vector_ops.h"
#include "dari/vector/vector_error.h"

namespace dari {

// Integration rule of TVector::Integrate.
enum TIntegMethod : uint8_t { imSimple, imTrapezoidal, imSimpson };

class TVector : public detail::TVectorOps<double, TVector> {
 public:
  // Start values of the MinMax search: 1.7e308 (bit pattern 7FEE42D130773B76) and
  // its negative, so values beyond them are never reported.
  static constexpr double MinMaxStartMin = 1.7e308;
  static constexpr double MinMaxStartMax = -1.7e308;

  explicit TVector(TComponent* AOwner = nullptr) : TVectorOps(AOwner) {}
  std::string ClassName() const override { return "TVector"; }

  // From another TVector: size, values, IsEmpty and both event handlers, without
  // an OnChange. Any other source raises EConvertError.
  void Assign(const TPersistent* Source) override;

  // Writer of NrOfElem under its own name: resizes when NE > 0 and differs.
  void SetVecSize(int NE) { SetNrOfElem(NE); }

  // Becomes a copy of VecSource's size and values, each stored through SetVal
  // (one OnChange per element, one more at the end). Handlers are not copied; a
  // null source does nothing.
  void Clone(const TVector* VecSource) { CloneFrom(VecSource); }

  // Copies VecSource's elements SourceElemLo..SourceElemHi (each clamped into the
  // source, exchanged when reversed) to positions DestElem.. of this vector; what
  // falls outside this vector is dropped, it is never resized. Then OnChange. The
  // source may be this vector, overlapping ranges included.
  void CopyFrom(const TVector* VecSource, int SourceElemLo, int SourceElemHi, int DestElem) {
    CopyFromRange(VecSource, SourceElemLo, SourceElemHi, DestElem);
  }

  // Element i := RangeLow + r (RangeHigh - RangeLow), r uniform on [0, 1) from the
  // process-wide generator (not reseeded). IsEmpty false; one OnChange.
  void FillRandomUniform(double RangeLow, double RangeHigh);

  // Element i := g StdDev + Mean with g from GRandom. IsEmpty false; one OnChange.
  void FillRandomGauss(double Mean, double StdDev);

  // 64-character checksum of the values: byte k of every element's IEEE double
  // (least significant first) feeds CRC-32 register k; eight complemented
  // registers in upper-case hex. Equal values give equal checksums.
  std::string CRCofData() const;

  // Writer of Leng: scales the vector to Euclidean length x, then OnChange.
  // Raises DARIVectorError "vector has zero length" for an all-zero vector.
  void SetLeng(double x);

  // Counts elements FirstElem..LastElem, exactly as passed (positions outside the
  // vector read as 0; FirstElem > LastElem counts nothing), into
  // round(|LastBin - FirstBin| / BinWidth) bins of width BinWidth from FirstBin,
  // stored in Histo (resized when needed, cleared, filled through its element
  // setter so that it fires its own events). v < FirstBin is Underflow; a value
  // past the last bin (and NaN) is Overflow, so bins + Underflow + Overflow is the
  // number of values read. MaxCnt is the largest bin count. Returns false, touching
  // nothing, for a null Histo, a bin width that is not > 0, or a bin count that is
  // 0, above 500 or not finite.
  bool Histogram(int FirstElem, int LastElem, double FirstBin, double LastBin, double BinWidth,
                 TIntVector* Histo, int& Underflow, int& Overflow, int& MaxCnt) const;

  // Shifts and scales the whole vector to mean 0 and standard deviation 1, using
  // MeanVar (so one or two elements are only shifted, their variance being 1);
  // a standard deviation of 0 leaves the elements. Returns both. No OnChange.
  void Standardize(double& mean, double& stddev);

  // Subtracts the mean (from MeanVar) from every element and returns it. No OnChange.
  double MeanCenter();

  // Median := Percentile(50), QuantDiff := |Median - Percentile(RefQuant)| over the
  // whole vector; when QuantDiff > 0 every element becomes (x - Median) / QuantDiff.
  // No OnChange (the percentiles step ProcStat as Percentile does).
  void QNormalize(double RefQuant, double& Median, double& QuantDiff);

  // Integral of the vector read as samples at abscissae 1..NrOfElem (unit spacing),
  // between BoundLow and BoundHigh (each clamped into 1..NrOfElem, exchanged when
  // reversed; between samples the function is interpolated linearly). imSimple:
  // mean of the samples inside times the width; imTrapezoidal: trapezoids;
  // imSimpson: Simpson, 3/8, Boole or the extended rule by the number of samples
  // inside, with trapezoidal end pieces. Any other Method gives 0.0, a NaN bound
  // NaN. No OnChange.
  double Integrate(double BoundLow, double BoundHigh, TIntegMethod Method) const;

 protected:
  void AssignTo(TPersistent* Dest) const override;
};

}  // namespace dari

extern template class dari::detail::TVectorOps<double, dari::TVector>;
