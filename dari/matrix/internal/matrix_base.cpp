#include "dari/matrix/internal/matrix_base.h"

#include <algorithm>
#include <limits>
#include <new>
#include <stdexcept>

#include "dari/base/range.h"
#include "dari/platform/memory.h"

namespace dari::detail {

void RaiseMatrixNoMemory(const std::string& Name) {
  throw DARIMatrixError(ComponentMessage(Name, "not enough memory on heap"));
}

size_t CheckedMatrixCells(const std::string& Name, int64_t Cols, int64_t Rows, size_t ElemSize) {
  if (Cols < 0 || Rows < 0) RaiseMatrixNoMemory(Name);
  uint64_t cells = 0;
  if (__builtin_mul_overflow(static_cast<uint64_t>(Cols), static_cast<uint64_t>(Rows), &cells) ||
      !BlockFits(cells, ElemSize))
    RaiseMatrixNoMemory(Name);
  return static_cast<size_t>(cells);
}

template <class T>
std::vector<T> AllocMatrixBlock(const std::string& Name, int64_t Cols, int64_t Rows) {
  const size_t cells = CheckedMatrixCells(Name, Cols, Rows, sizeof(T));
  try {
    return std::vector<T>(cells);
  } catch (const std::bad_alloc&) {
    RaiseMatrixNoMemory(Name);
  } catch (const std::length_error&) {
    RaiseMatrixNoMemory(Name);
  }
}

template std::vector<double> AllocMatrixBlock<double>(const std::string&, int64_t, int64_t);
template std::vector<int32_t> AllocMatrixBlock<int32_t>(const std::string&, int64_t, int64_t);

template <class T>
TMatrixBase<T>::TMatrixBase(TComponent* AOwner) : TComponent(AOwner) {
  FData = AllocMatrixBlock<T>(Name(), 1, 1);
}

template <class T>
void TMatrixBase<T>::ReplaceStorage(int Nc, int Nr) {
  Nc = std::max(Nc, 0);
  Nr = std::max(Nr, 0);
  std::vector<T> block = AllocMatrixBlock<T>(Name(), std::max(Nc, 1), std::max(Nr, 1));
  FData.swap(block);
  FNCol = Nc;
  FNRow = Nr;
  FAllocCols = std::max(Nc, 1);
  FAllocRows = std::max(Nr, 1);
}

template <class T>
bool TMatrixBase<T>::Resize(int Nc, int Nr) {
  if (Nc == FNCol && Nr == FNRow) return true;
  Nc = std::max(Nc, 0);
  Nr = std::max(Nr, 0);
  const int allocCols = std::max(Nc, 1);
  const int allocRows = std::max(Nr, 1);
  if (allocCols != FAllocCols || allocRows != FAllocRows) {
    std::vector<T> block = AllocMatrixBlock<T>(Name(), allocCols, allocRows);
    // Keep the overlap of the old and the new allocation, hidden cells of a
    // zero extent included: they reappear when the matrix grows again.
    const int keepCols = std::min(allocCols, FAllocCols);
    const size_t keepRows = static_cast<size_t>(std::min(allocRows, FAllocRows));
    for (int c = 0; c < keepCols; ++c) {
      const T* src = FData.data() + static_cast<size_t>(c) * static_cast<size_t>(FAllocRows);
      std::copy(src, src + keepRows, block.data() + static_cast<size_t>(c) * static_cast<size_t>(allocRows));
    }
    FData.swap(block);
    FAllocCols = allocCols;
    FAllocRows = allocRows;
  }
  FNCol = Nc;
  FNRow = Nr;
  Changed();
  return true;
}

template <class T>
bool TMatrixBase<T>::ResizeAndClear(int Nc, int Nr) {
  const bool ok = Resize(Nc, Nr);
  if (ok) Fill(T{});
  return ok;
}

template <class T>
void TMatrixBase<T>::MakeValidColRange(int& LowCol, int& HighCol) const {
  MakeValidRange(LowCol, HighCol, FNCol);
}

template <class T>
void TMatrixBase<T>::MakeValidRowRange(int& LowRow, int& HighRow) const {
  MakeValidRange(LowRow, HighRow, FNRow);
}

template <class T>
void TMatrixBase<T>::Fill(T Value) {
  // With at least one row the stride is NrOfRows, so the valid cells of the
  // columns 1..NrOfColumns are one contiguous run.
  const size_t count = static_cast<size_t>(FNCol) * static_cast<size_t>(FNRow);
  std::fill(FData.begin(), FData.begin() + static_cast<std::ptrdiff_t>(count), Value);
  Changed();
}

template <class T>
void TMatrixBase<T>::FillDiag(T Value) {
  const int n = std::min(FNCol, FNRow);
  for (int i = 1; i <= n; ++i) FData[Index(i, i)] = Value;
  Changed();
}

template <class T>
void TMatrixBase<T>::ExchangeColumns(int c1, int c2) {
  if (c1 < 1 || c1 > FNCol || c2 < 1 || c2 > FNCol) return;
  if (c1 != c2) std::swap_ranges(ColPtr(c1), ColPtr(c1) + FNRow, ColPtr(c2));
  Changed();
}

template <class T>
void TMatrixBase<T>::ExchangeRows(int r1, int r2) {
  if (r1 < 1 || r1 > FNRow || r2 < 1 || r2 > FNRow) return;
  if (r1 != r2)
    for (int c = 1; c <= FNCol; ++c) std::swap(FData[Index(c, r1)], FData[Index(c, r2)]);
  Changed();
}

template <class T>
void TMatrixBase<T>::MirrorColumns() {
  for (int lo = 1, hi = FNCol; lo < hi; ++lo, --hi)
    std::swap_ranges(ColPtr(lo), ColPtr(lo) + FNRow, ColPtr(hi));
  Changed();
}

template <class T>
void TMatrixBase<T>::MirrorRows() {
  for (int c = 1; c <= FNCol; ++c) std::reverse(ColPtr(c), ColPtr(c) + FNRow);
  Changed();
}

template <class T>
bool TMatrixBase<T>::Transpose() {
  // The whole allocation is transposed, hidden cells of a zero extent included,
  // so the allocation stays max(size, 1) in each direction.
  const int newAllocCols = FAllocRows;
  const int newAllocRows = FAllocCols;
  std::vector<T> block = AllocMatrixBlock<T>(Name(), newAllocCols, newAllocRows);
  const size_t srcStride = static_cast<size_t>(FAllocRows);
  const size_t dstStride = static_cast<size_t>(newAllocRows);
  // Tiles keep both the reads and the writes within a few cache lines.
  constexpr int kTile = 32;
  for (int c0 = 0; c0 < FAllocCols; c0 += kTile) {
    const int c1 = std::min(c0 + kTile, FAllocCols);
    for (int r0 = 0; r0 < FAllocRows; r0 += kTile) {
      const int r1 = std::min(r0 + kTile, FAllocRows);
      for (int r = r0; r < r1; ++r) {
        T* dst = block.data() + static_cast<size_t>(r) * dstStride;
        const T* src = FData.data() + static_cast<size_t>(r);
        for (int c = c0; c < c1; ++c) dst[c] = src[static_cast<size_t>(c) * srcStride];
      }
    }
  }
  FData.swap(block);
  std::swap(FNCol, FNRow);
  FAllocCols = newAllocCols;
  FAllocRows = newAllocRows;
  Changed();
  return true;
}

template <class T>
void TMatrixBase<T>::AssignCore(const TMatrixBase& Source) {
  if (&Source != this) {
    std::vector<T> values;
    try {
      values = Source.FData;
    } catch (const std::bad_alloc&) {
      RaiseNoMemory();
    }
    FData.swap(values);
    FNCol = Source.FNCol;
    FNRow = Source.FNRow;
    FAllocCols = Source.FAllocCols;
    FAllocRows = Source.FAllocRows;
    FDataID = Source.FDataID;
  }
  FOnChange = Source.FOnChange;
  FOnSortExchange = Source.FOnSortExchange;
}

template <class T>
void TMatrixBase<T>::CloneCore(const TMatrixBase* Source) {
  if (Source == nullptr) return;
  Resize(Source->FNCol, Source->FNRow);
  if (Source != this) {
    if (FOnChange) {
      for (int c = 1; c <= FNCol; ++c)
        for (int r = 1; r <= FNRow; ++r) SetVal(c, r, Source->FData[Source->Index(c, r)]);
    } else {
      // Same size means same stride: the valid cells are one contiguous run.
      const size_t count = static_cast<size_t>(FNCol) * static_cast<size_t>(FNRow);
      std::copy(Source->FData.begin(), Source->FData.begin() + static_cast<std::ptrdiff_t>(count),
                FData.begin());
    }
  } else if (FOnChange) {
    // Cloning itself rewrites every value with itself, one event each.
    for (int c = 1; c <= FNCol; ++c)
      for (int r = 1; r <= FNRow; ++r) SetVal(c, r, FData[Index(c, r)]);
  }
  Changed();
}

template class TMatrixBase<double>;
template class TMatrixBase<int32_t>;

}  // namespace dari::detail
