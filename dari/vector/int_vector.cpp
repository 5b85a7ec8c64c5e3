#include "dari/vector/int_vector.h"

#include "dari/base/crc32.h"

namespace dari {

void TIntVector::Assign(const TPersistent* Source) {
  if (const auto* other = dynamic_cast<const TIntVector*>(Source)) {
    AssignFrom(*other);
  } else {
    TVectorBase::Assign(Source);
  }
}

void TIntVector::AssignTo(TPersistent* Dest) const {
  if (auto* other = dynamic_cast<TIntVector*>(Dest)) {
    other->Assign(this);
  } else {
    TVectorBase::AssignTo(Dest);
  }
}

std::string TIntVector::CRCofData() const {
  detail::TCrc8Registers regs;
  for (int32_t x : FVec) regs.FeedWord32(static_cast<uint32_t>(x), 0);
  return regs.Result().substr(0, 32);
}

}  // namespace dari
