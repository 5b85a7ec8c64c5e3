// TIntVector: the container of TVector for 32-bit signed integers, used for
// histograms, class labels, index lists and counts. Elements are addressed from
// 1 to NrOfElem; the rules of size, range and events are those of TVector.
#pragma once

#include <cstdint>
#include <string>

#include "dari/vector/internal/vector_base.h"
#include "dari/vector/vector_error.h"

namespace dari {

class TIntVector : public detail::TVectorBase<int32_t> {
 public:
  explicit TIntVector(TComponent* AOwner = nullptr) : TVectorBase(AOwner) {}
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

 protected:
  void AssignTo(TPersistent* Dest) const override;
};

}  // namespace dari
