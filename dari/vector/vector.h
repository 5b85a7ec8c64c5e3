// TVector: a resizable one-dimensional array of doubles addressed from 1 to
// NrOfElem, the library's common currency for one-dimensional data. A component:
// it has an optional owner and a Name that its error messages quote.
//
// Events: OnChange fires after every completed modification (once per bulk
// operation, once per element written through SetVal); OnSortExchange fires for
// every exchange of two elements during SortElems.
#pragma once

#include <string>

#include "dari/vector/internal/vector_base.h"
#include "dari/vector/vector_error.h"

namespace dari {

class TVector : public detail::TVectorBase<double> {
 public:
  explicit TVector(TComponent* AOwner = nullptr) : TVectorBase(AOwner) {}
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

 protected:
  void AssignTo(TPersistent* Dest) const override;
};

}  // namespace dari
