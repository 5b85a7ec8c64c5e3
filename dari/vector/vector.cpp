#include "dari/vector/vector.h"

#include <cstring>

#include "dari/base/crc32.h"
#include "dari/math1/random.h"
#include "dari/platform/uniform_random.h"

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
  FIsEmpty = false;
  Changed();
}

void TVector::FillRandomGauss(double Mean, double StdDev) {
  for (double& x : FVec) x = GRandom() * StdDev + Mean;
  FIsEmpty = false;
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
  const double length = Leng();
  if (length == 0.0) throw DARIVectorError("vector has zero length");
  const double factor = x / length;
  for (double& v : FVec) v *= factor;
  Changed();
}

}  // namespace dari
