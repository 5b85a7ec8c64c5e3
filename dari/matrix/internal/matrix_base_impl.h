// Template members of TMatrixBase that depend on the source type.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace dari::detail {

template <class T>
template <class Src>
void TMatrixBase<T>::CopyBlockFrom(const Src* Source, int SourceColLo, int SourceRowLo, int SourceColHi,
                                   int SourceRowHi, int DestCol, int DestRow) {
  if (Source == nullptr) return;
  const int srcCols = Source->NrOfColumns();
  const int srcRows = Source->NrOfRows();
  if (srcCols >= 1 && srcRows >= 1) {
    int cLo = std::clamp(SourceColLo, 1, srcCols);
    int cHi = std::clamp(SourceColHi, 1, srcCols);
    if (cHi < cLo) std::swap(cLo, cHi);
    int rLo = std::clamp(SourceRowLo, 1, srcRows);
    int rHi = std::clamp(SourceRowHi, 1, srcRows);
    if (rHi < rLo) std::swap(rLo, rHi);
    // Target of source (c, r) is (c + colShift, r + rowShift), formed in 64 bits;
    // only the part of the block that lands inside this matrix is visited.
    const int64_t colShift = static_cast<int64_t>(DestCol) - cLo;
    const int64_t rowShift = static_cast<int64_t>(DestRow) - rLo;
    const int64_t c0 = std::max<int64_t>(cLo, 1 - colShift);
    const int64_t c1 = std::min<int64_t>(cHi, FNCol - colShift);
    const int64_t r0 = std::max<int64_t>(rLo, 1 - rowShift);
    const int64_t r1 = std::min<int64_t>(rHi, FNRow - rowShift);
    if (c0 <= c1 && r0 <= r1) {
      const size_t nr = static_cast<size_t>(r1 - r0 + 1);
      const size_t nc = static_cast<size_t>(c1 - c0 + 1);
      // Read the block first: the source may be this matrix with an overlapping
      // target, and every value must be the one before the copy started.
      std::vector<T> block;
      try {
        block.resize(nr * nc);
      } catch (const std::bad_alloc&) {
        RaiseNoMemory();
      }
      for (size_t j = 0; j < nc; ++j)
        for (size_t i = 0; i < nr; ++i)
          block[j * nr + i] = static_cast<T>(Source->GetVal(static_cast<int>(c0 + static_cast<int64_t>(j)),
                                                            static_cast<int>(r0 + static_cast<int64_t>(i))));
      for (size_t j = 0; j < nc; ++j) {
        const int dc = static_cast<int>(c0 + static_cast<int64_t>(j) + colShift);
        if (FOnChange) {
          for (size_t i = 0; i < nr; ++i)
            SetVal(dc, static_cast<int>(r0 + static_cast<int64_t>(i) + rowShift), block[j * nr + i]);
        } else {
          T* dst = ColPtr(dc) + (r0 + rowShift - 1);
          std::copy(block.begin() + static_cast<std::ptrdiff_t>(j * nr),
                    block.begin() + static_cast<std::ptrdiff_t>((j + 1) * nr), dst);
        }
      }
    }
  }
  Changed();
}

}  // namespace dari::detail
