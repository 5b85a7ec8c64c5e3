#include "dari/vector/int_vector.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "dari/base/crc32.h"
#include "dari/vector/internal/histogram.h"

namespace dari {
namespace detail {

void StoreHistogram(const THistoCounts& Counts, TIntVector* Histo, int& Underflow, int& Overflow,
                    int& MaxCnt) {
  auto saturate = [](int64_t c) {
    return static_cast<int>(std::min<int64_t>(c, std::numeric_limits<int32_t>::max()));
  };
  const int nBins = static_cast<int>(Counts.Bins.size());
  if (Histo->NrOfElem() != nBins) Histo->Resize(nBins);
  Histo->Clear();
  Underflow = saturate(Counts.Underflow);
  Overflow = saturate(Counts.Overflow);
  MaxCnt = 0;
  for (int b = 0; b < nBins; ++b) {
    const int count = saturate(Counts.Bins[static_cast<size_t>(b)]);
    if (count > 0) Histo->SetVal(b + 1, count);
    MaxCnt = std::max(MaxCnt, count);
  }
}

}  // namespace detail

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

bool TIntVector::Histogram(int FirstElem, int LastElem, int32_t FirstBin, int32_t LastBin,
                           int32_t BinWidth, TIntVector* Histo, int& Underflow, int& Overflow,
                           int& MaxCnt) const {
  const int64_t width = BinWidth <= 0 ? 1 : BinWidth;
  const int64_t bins = std::llabs(static_cast<int64_t>(LastBin) - FirstBin + 1) / width;
  if (bins <= 0 || bins > 500) {
    throw DARIVectorError(ComponentMessage(Name() + ".Histogram", "invalid number of bins"));
  }
  if (Histo == nullptr) return false;
  const int nBins = static_cast<int>(bins);
  const int64_t overflowFrom = static_cast<int64_t>(LastBin) + width;
  const auto counts = detail::CountHistogram<int32_t>(
      Storage(), FirstElem, LastElem, nBins, [&](int32_t v) -> int64_t {
        if (v < FirstBin) return -1;
        if (v >= overflowFrom) return nBins;
        return (static_cast<int64_t>(v) - FirstBin) / width;  // > nBins - 1 is overflow too
      });
  detail::StoreHistogram(counts, Histo, Underflow, Overflow, MaxCnt);
  return true;
}

}  // namespace dari
