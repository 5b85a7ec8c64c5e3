// The container core shared by TVector and TIntVector: size, 1-based element
// access, the range rule, fills, copies and change notification, written once
// for both element types. Not part of the installed interface.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "dari/base/types.h"
#include "dari/platform/component.h"

namespace dari::detail {

template <class T>
class TVectorBase : public TComponent {
 public:
  using ElemType = T;

  // A new vector holds one element 0 and is marked empty.
  explicit TVectorBase(TComponent* AOwner);

  // Number of elements, always at least 1. Writing a value <= 0 or the current
  // size does nothing; any other value resizes (see Resize).
  int NrOfElem() const { return FNElem; }
  void SetNrOfElem(int NE);

  // Sets the number of elements, keeping the first min(old, NE) values and
  // setting added ones to 0; fires OnChange. NE equal to the current size: true,
  // no event. NE <= 0: false, no change. Storage that cannot be had raises
  // DARIVectorError "Component "<Name>": not enough memory", the vector unchanged.
  bool Resize(int NE);

  // Element Ix (1-based); 0 outside 1..NrOfElem.
  T GetVal(int Ix) const {
    return Ix >= 1 && Ix <= FNElem ? FVec[static_cast<size_t>(Ix - 1)] : T{};
  }
  // Stores Value at Ix, clears IsEmpty and fires OnChange; indices outside
  // 1..NrOfElem are ignored without an event.
  void SetVal(int Ix, T Value) {
    // One unsigned compare tests 1 <= Ix <= NrOfElem.
    if (static_cast<unsigned>(Ix) - 1u >= static_cast<unsigned>(FNElem)) [[unlikely]] return;
    FVec[static_cast<size_t>(Ix - 1)] = Value;
    // In a loop of writes to a filled vector without a handler, one flag test is
    // all the bookkeeping there is.
    if (FWriteNeedsWork) [[unlikely]] AfterWrite();
  }
  T Elem(int Ix) const { return GetVal(Ix); }
  void SetElem(int Ix, T Value) { SetVal(Ix, Value); }

  // The range rule of every range-taking member: (0, 0) is the whole vector;
  // otherwise each bound is clamped into 1..NrOfElem, and reversed bounds are
  // exchanged. (0, 5) becomes (1, 5).
  void MakeValidElemRange(int& LowElem, int& HighElem) const;

  // Calls OnChange(this) when a handler is assigned.
  void Changed() {
    if (FOnChange) [[unlikely]] FOnChange(this);
  }

  // Every element := Value; IsEmpty false; one OnChange.
  void Fill(T Value);
  // Every element := 0; IsEmpty true; one OnChange.
  void Clear();

  // True while no value has been stored since creation or the last Clear.
  bool IsEmpty() const { return FIsEmpty; }
  void SetIsEmpty(bool Value) {
    FIsEmpty = Value;
    FWriteNeedsWork = FIsEmpty || static_cast<bool>(FOnChange);
  }

  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent Handler) {
    FOnChange = std::move(Handler);
    FWriteNeedsWork = FIsEmpty || static_cast<bool>(FOnChange);
  }
  const TSortExchgEvent& OnSortExchange() const { return FOnSortExchange; }
  void SetOnSortExchange(TSortExchgEvent Handler) { FOnSortExchange = std::move(Handler); }

  // Euclidean length: the square root of the sum of squares, summed in double
  // (8 lanes, fixed order: internal/lane_sum.h).
  double Leng() const;

  // The storage, element i at position i - 1, for the library's bulk operations.
  std::span<T> Storage() { return {FVec.data(), FVec.size()}; }
  std::span<const T> Storage() const { return {FVec.data(), FVec.size()}; }

 protected:
  // Calls OnSortExchange(this, Kind, Ix1, Ix2, First, Last) when assigned.
  void SortExchange(uint8_t Kind, int Ix1, int Ix2, int First, int Last) {
    if (FOnSortExchange) FOnSortExchange(this, Kind, Ix1, Ix2, First, Last);
  }

  // Assign from a vector of the same class: size, values, IsEmpty and both
  // handlers; no event.
  void AssignFrom(const TVectorBase& Source);
  // Clone: resize to the source's size, store every value through SetVal (one
  // event each), then one more OnChange. A null source does nothing.
  void CloneFrom(const TVectorBase* Source);
  // CopyFrom: the source range, clamped and ordered, stored from DestElem on
  // through SetVal; destination positions outside the vector are dropped. The
  // source may be this vector: the range is copied first.
  void CopyFromRange(const TVectorBase* Source, int SourceElemLo, int SourceElemHi, int DestElem);

  [[noreturn]] void RaiseError(const std::string& Text) const;

  int FNElem = 1;
  std::vector<T> FVec;
  TSortExchgEvent FOnSortExchange;

 private:
  // What an element write does beyond the store: clear the marker, notify.
  void AfterWrite() {
    SetIsEmpty(false);
    Changed();
  }

  // Written only through SetIsEmpty and SetOnChange, which keep
  // FWriteNeedsWork == FIsEmpty || OnChange assigned.
  bool FIsEmpty = true;
  bool FWriteNeedsWork = true;
  TNotifyEvent FOnChange;
};

extern template class TVectorBase<double>;
extern template class TVectorBase<int32_t>;

}  // namespace dari::detail
