// The dense container core shared by TMatrix and its integer twin: size and
// allocation rules, 1-based element access (column first), the range rules,
// fills, permutations, transposition and change notification, written once for
// both element types. Not part of the installed interface.
//
// Storage: one contiguous column-major block. Column c (1-based) starts at
// (c - 1) * Stride() and holds rows 1..NrOfRows consecutively. The allocated
// extent is FAllocCols x FAllocRows = max(NrOfColumns, 1) x max(NrOfRows, 1),
// so a size of 0 in a direction keeps one allocated cell there, and the values
// of that first column or row reappear when the matrix grows again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "dari/base/types.h"
#include "dari/matrix/matrix_error.h"
#include "dari/platform/component.h"

namespace dari::detail {

// Number of elements of a Cols x Rows block, or throws DARIMatrixError
// "Component "<Name>": not enough memory on heap" when the count or its byte
// size overflows size_t or exceeds the physical memory of the machine.
size_t CheckedMatrixCells(const std::string& Name, int64_t Cols, int64_t Rows, size_t ElemSize);

// Raises DARIMatrixError "Component "<Name>": not enough memory on heap".
[[noreturn]] void RaiseMatrixNoMemory(const std::string& Name);

// A zero-initialised block of Cols x Rows elements; throws as CheckedMatrixCells
// (also when the allocation itself fails).
template <class T>
std::vector<T> AllocMatrixBlock(const std::string& Name, int64_t Cols, int64_t Rows);

template <class T>
class TMatrixBase : public TComponent {
 public:
  using ElemType = T;

  // A new matrix is 1 x 1 holding 0.
  explicit TMatrixBase(TComponent* AOwner);

  int NrOfColumns() const { return FNCol; }
  int NrOfRows() const { return FNRow; }
  // Resize keeping the other extent; a negative value counts as 0.
  void SetNrOfColumns(int Nc) { Resize(Nc, FNRow); }
  void SetNrOfRows(int Nr) { Resize(FNCol, Nr); }

  const std::string& DataID() const { return FDataID; }
  void SetDataID(const std::string& Value) { FDataID = Value; }

  // Sets the size to Nc columns and Nr rows (negative counts as 0), keeping the
  // values of the overlapping allocated part; new cells are 0. OnChange fires.
  // The current size returns true at once without an event. Storage that cannot
  // be had raises DARIMatrixError "Component "<Name>": not enough memory on
  // heap" and leaves the matrix unchanged.
  bool Resize(int Nc, int Nr);
  // Resize, then Fill(0) when it returned true (also for an unchanged size).
  bool ResizeAndClear(int Nc, int Nr);

  // Element in column Nc, row Nr (1-based); 0 outside the matrix.
  T GetVal(int Nc, int Nr) const {
    if (Nc < 1 || Nc > FNCol || Nr < 1 || Nr > FNRow) return T{};
    return FData[Index(Nc, Nr)];
  }
  // Stores Value and fires OnChange; indices outside the matrix are ignored
  // without an event.
  void SetVal(int Nc, int Nr, T Value) {
    if (Nc < 1 || Nc > FNCol || Nr < 1 || Nr > FNRow) return;
    FData[Index(Nc, Nr)] = Value;
    Changed();
  }
  T Elem(int Nc, int Nr) const { return GetVal(Nc, Nr); }
  void SetElem(int Nc, int Nr, T Value) { SetVal(Nc, Nr, Value); }

  // Range rules of every range-taking member: (0, 0) is the whole extent;
  // otherwise each bound is clamped into 1..NrOfColumns (1..NrOfRows), and
  // reversed bounds are exchanged. With an extent of 0 the result is always the
  // empty range (1, 0), so a loop from low to high touches nothing.
  void MakeValidColRange(int& LowCol, int& HighCol) const;
  void MakeValidRowRange(int& LowRow, int& HighRow) const;

  // Calls OnChange(this) when a handler is assigned.
  void Changed() {
    if (FOnChange) FOnChange(this);
  }
  // Calls OnSortExchange(this, Kind, Ix1, Ix2, First, Last) when assigned. Kind 1:
  // columns Ix1, Ix2 exchanged within rows First..Last; kind 2: rows within columns.
  void SortExchange(uint8_t Kind, int Ix1, int Ix2, int First, int Last) {
    if (FOnSortExchange) FOnSortExchange(this, Kind, Ix1, Ix2, First, Last);
  }

  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent Handler) { FOnChange = std::move(Handler); }
  const TSortExchgEvent& OnSortExchange() const { return FOnSortExchange; }
  void SetOnSortExchange(TSortExchgEvent Handler) { FOnSortExchange = std::move(Handler); }

  // Every element := Value; one OnChange.
  void Fill(T Value);
  // Elem(i, i) := Value for i = 1..min(NrOfColumns, NrOfRows); one OnChange.
  void FillDiag(T Value);

  // Exchange two whole columns (rows), then OnChange. Indices outside the
  // matrix change nothing and fire no event.
  void ExchangeColumns(int c1, int c2);
  void ExchangeRows(int r1, int r2);
  // Reverse the order of the columns (rows); one OnChange.
  void MirrorColumns();
  void MirrorRows();
  // Exchanges rows and columns; one OnChange; true. Raises the not-enough-memory
  // error (matrix unchanged) when the new storage cannot be had.
  bool Transpose();

  // Raw storage for the library's bulk operations. Column c (1-based, within
  // 1..max(NrOfColumns, 1)) starts at ColPtr(c); consecutive columns are
  // Stride() elements apart; rows 1..NrOfRows follow each other.
  int64_t Stride() const { return FAllocRows; }
  T* ColPtr(int c) { return FData.data() + static_cast<size_t>(c - 1) * static_cast<size_t>(FAllocRows); }
  const T* ColPtr(int c) const {
    return FData.data() + static_cast<size_t>(c - 1) * static_cast<size_t>(FAllocRows);
  }
  // Column c's NrOfRows elements; empty for c outside 1..NrOfColumns.
  std::span<T> Column(int c) {
    if (c < 1 || c > FNCol) return {};
    return {ColPtr(c), static_cast<size_t>(FNRow)};
  }
  std::span<const T> Column(int c) const {
    if (c < 1 || c > FNCol) return {};
    return {ColPtr(c), static_cast<size_t>(FNRow)};
  }
  // True when the matrix holds no element (0 columns or 0 rows).
  bool IsEmptyShape() const { return FNCol == 0 || FNRow == 0; }

 protected:
  size_t Index(int Nc, int Nr) const {
    return static_cast<size_t>(Nc - 1) * static_cast<size_t>(FAllocRows) + static_cast<size_t>(Nr - 1);
  }

  // Replaces the storage by a zeroed block of Nc x Nr cells (each at least 1)
  // and sets the size, without an event. Throws (unchanged) when it cannot.
  void ReplaceStorage(int Nc, int Nr);
  // Copies size, DataID, values and OnChange/OnSortExchange from Source; no event.
  void AssignCore(const TMatrixBase& Source);
  // Resize to Source's size, then copy every element through SetVal (one event
  // each, none when no handler), then one more OnChange. Null does nothing.
  void CloneCore(const TMatrixBase* Source);

  // Copies the source block (bounds clamped into the source, reversed bounds
  // exchanged) to DestCol, DestRow through SetVal, columns outer; cells outside
  // this matrix are skipped. Then one OnChange. Src needs NrOfColumns(),
  // NrOfRows() and GetVal(c, r). The block is read completely before the first
  // write when Src is this matrix.
  template <class Src>
  void CopyBlockFrom(const Src* Source, int SourceColLo, int SourceRowLo, int SourceColHi, int SourceRowHi,
                     int DestCol, int DestRow);

  [[noreturn]] void RaiseNoMemory() const { RaiseMatrixNoMemory(Name()); }

  int FNCol = 1;
  int FNRow = 1;
  std::string FDataID;
  TNotifyEvent FOnChange;
  TSortExchgEvent FOnSortExchange;
  int FAllocCols = 1;  // max(FNCol, 1)
  int FAllocRows = 1;  // max(FNRow, 1): the column stride
  std::vector<T> FData;
};

extern template class TMatrixBase<double>;
extern template class TMatrixBase<int32_t>;

}  // namespace dari::detail

#include "dari/matrix/internal/matrix_base_impl.h"
