// TIntVector: the container of TVector for 32-bit signed integers, used for
// histograms, class labels, index lists and counts. Elements are addressed from
// 1 to NrOfElem; the rules of size, range and events are those of TVector.
//
// The statistics, arithmetic, searches and reordering are TVector's (see
// internal/vector_ops.h) with integer values: Sum, DotProduct, Correlate, Add,
// Subtract, SMult and AbsVal give 32-bit results that wrap around in two's
// complement; MeanVar, Percentile, Quartiles, the means, SkewKurt,
// EuclideanDistance and PearsonCorrCoeff are doubles formed without overflow; Find
// measures |x - value| in 64 bits. What differs is here: the MinMax start values,
// the 32-character checksum and Histogram's rules.
#pragma once

#include <cstdint>
#include <string>

#include "dari/vector/internal/vector_ops.h"
#include "dari/vector/vector_error.h"

namespace dari {

class TIntVector : public detail::TVectorOps<int32_t, TIntVector> {
 public:
  // Start values of the MinMax search: 2147483647 and -2147483647 (not
  // -2147483648, so a vector holding only -2147483648 reports MaxIx 0).
  static constexpr int32_t MinMaxStartMin = 2147483647;
  static constexpr int32_t MinMaxStartMax = -2147483647;

  explicit TIntVector(TComponent* AOwner = nullptr) : TVectorOps(AOwner) {}
  std::string ClassName() const override { return "TIntVector"; }

  // From another TIntVector: size, values, IsEmpty and both handlers, no event.
  void Assign(const TPersistent* Source) override;

  // Writer of NrOfElem under its own name.
  void SetIntVecSize(int NE) { SetNrOfElem(NE); }

  // As TVector::Clone and TVector::CopyFrom.
  void Clone(const TIntVector* VecSource) { CloneFrom(VecSource); }
  void CopyFrom(const TIntVector* VecSource, int SourceElemLo, int SourceElemHi, int DestElem) {
    CopyFromRange(VecSource, SourceElemLo, SourceElemHi, DestElem);
  }

  // 32-character checksum: byte k of every element (least significant first)
  // feeds CRC-32 register k of four; complemented registers in upper-case hex.
  std::string CRCofData() const;

  // Counts elements FirstElem..LastElem, exactly as passed (positions outside the
  // vector read as 0; FirstElem > LastElem counts nothing), into bins of width
  // BinWidth (a width <= 0 is taken as 1) from FirstBin; the number of bins is
  // |LastBin - FirstBin + 1| div BinWidth. v < FirstBin is Underflow; a value past
  // the last bin is Overflow, so bins + Underflow + Overflow is the number of values
  // read. Histo is resized when needed, cleared and filled through its element
  // setter; it may be this vector (the values are counted first). MaxCnt is the
  // largest bin count. A bin count <= 0 or > 500 raises DARIVectorError
  // "Component "<Name>.Histogram": invalid number of bins"; a null Histo gives false.
  bool Histogram(int FirstElem, int LastElem, int32_t FirstBin, int32_t LastBin, int32_t BinWidth,
                 TIntVector* Histo, int& Underflow, int& Overflow, int& MaxCnt) const;

 protected:
  void AssignTo(TPersistent* Dest) const override;
};

}  // namespace dari

extern template class dari::detail::TVectorOps<int32_t, dari::TIntVector>;
