#include "dari/vector/internal/vector_base.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <stdexcept>

#include "dari/base/range.h"
#include "dari/platform/memory.h"
#include "dari/vector/internal/lane_sum.h"
#include "dari/vector/vector_error.h"

namespace dari::detail {

template <class T>
TVectorBase<T>::TVectorBase(TComponent* AOwner) : TComponent(AOwner) {
  try {
    FVec.assign(1, T{});
  } catch (const std::bad_alloc&) {
    throw DARIVectorError(ComponentMessage(Name(), "not enough memory on heap"));
  }
}

template <class T>
void TVectorBase<T>::SetNrOfElem(int NE) {
  if (NE > 0 && NE != FNElem) Resize(NE);
}

template <class T>
bool TVectorBase<T>::Resize(int NE) {
  if (NE == FNElem) return true;
  if (NE <= 0) return false;
  if (!BlockFits(static_cast<uint64_t>(NE), sizeof(T))) RaiseError("not enough memory");
  try {
    FVec.resize(static_cast<size_t>(NE));  // strong guarantee: unchanged on failure
  } catch (const std::bad_alloc&) {
    RaiseError("not enough memory");
  } catch (const std::length_error&) {
    RaiseError("not enough memory");
  }
  FNElem = NE;
  Changed();
  return true;
}

template <class T>
void TVectorBase<T>::MakeValidElemRange(int& LowElem, int& HighElem) const {
  MakeValidRange(LowElem, HighElem, FNElem);
}

template <class T>
void TVectorBase<T>::Fill(T Value) {
  std::fill(FVec.begin(), FVec.end(), Value);
  SetIsEmpty(false);
  Changed();
}

template <class T>
void TVectorBase<T>::Clear() {
  std::fill(FVec.begin(), FVec.end(), T{});
  SetIsEmpty(true);
  Changed();
}

template <class T>
double TVectorBase<T>::Leng() const {
  const T* x = FVec.data();
  return std::sqrt(LaneSum<double>(static_cast<std::ptrdiff_t>(FVec.size()), [x](std::ptrdiff_t i) {
    const double d = static_cast<double>(x[i]);
    return d * d;
  }));
}

template <class T>
void TVectorBase<T>::AssignFrom(const TVectorBase& Source) {
  if (&Source == this) return;
  std::vector<T> values;
  try {
    values = Source.FVec;
  } catch (const std::bad_alloc&) {
    RaiseError("not enough memory");
  }
  FVec.swap(values);
  FNElem = Source.FNElem;
  SetOnChange(Source.FOnChange);
  SetIsEmpty(Source.FIsEmpty);
  FOnSortExchange = Source.FOnSortExchange;
}

template <class T>
void TVectorBase<T>::CloneFrom(const TVectorBase* Source) {
  if (Source == nullptr) return;
  Resize(Source->FNElem);
  if (FOnChange) {
    // Values go through SetVal: one event per element. For a clone of itself the
    // values read are the ones just written, which are the same.
    for (int i = 1; i <= FNElem; ++i) SetVal(i, Source->GetVal(i));
  } else {
    if (Source != this) std::copy(Source->FVec.begin(), Source->FVec.end(), FVec.begin());
    SetIsEmpty(false);
  }
  Changed();
}

template <class T>
void TVectorBase<T>::CopyFromRange(const TVectorBase* Source, int SourceElemLo, int SourceElemHi,
                                   int DestElem) {
  if (Source == nullptr) return;
  int lo = std::clamp(SourceElemLo, 1, Source->FNElem);
  int hi = std::clamp(SourceElemHi, 1, Source->FNElem);
  if (hi < lo) std::swap(lo, hi);
  // Destination position of source element i is i - lo + DestElem, formed in
  // 64 bits; only the part of the range that lands inside this vector is stored.
  const int64_t shift = static_cast<int64_t>(DestElem) - lo;
  const int64_t first = std::max<int64_t>(lo, 1 - shift);
  const int64_t last = std::min<int64_t>(hi, FNElem - shift);
  if (first <= last) {
    const auto from = Source->FVec.begin() + (first - 1);
    const auto to = Source->FVec.begin() + last;
    if (!FOnChange) {
      // std::copy_backward keeps an overlapping move within this vector right.
      const auto dest = FVec.begin() + (first + shift - 1);
      if (Source == this && shift > 0) {
        std::copy_backward(from, to, dest + (last - first + 1));
      } else if (shift != 0 || Source != this) {
        std::copy(from, to, dest);
      }
      SetIsEmpty(false);
    } else {
      // Values go through SetVal (one event each). Within this vector, take the
      // source values first so that none is read after it was overwritten. The
      // other source is read through GetVal: a handler may resize it meanwhile.
      std::vector<T> snapshot;
      if (Source == this) snapshot.assign(from, to);
      for (int64_t i = first; i <= last; ++i) {
        const T value = Source == this ? snapshot[static_cast<size_t>(i - first)]
                                       : Source->GetVal(static_cast<int>(i));
        SetVal(static_cast<int>(i + shift), value);
      }
    }
  }
  Changed();
}

template <class T>
void TVectorBase<T>::RaiseError(const std::string& Text) const {
  throw DARIVectorError(ComponentMessage(Name(), Text));
}

template class TVectorBase<double>;
template class TVectorBase<int32_t>;

}  // namespace dari::detail
