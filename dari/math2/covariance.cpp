// CalcCovar.
//
// Every result cell is a sum over the rows in ascending order. Summing one cell
// at a time is bound by the latency of the additions, so the cells are summed
// together instead: the data are transposed tile by tile into rows of
// variables, and for each data row all cells of a block of result rows take
// their next term in one vectorisable loop. Each cell still adds the same terms
// in the same order, so the values are those of the cell-by-cell loop.
#include "dari/math2/covariance.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

#include "dari/base/progress.h"
#include "dari/math2/math2_error.h"

namespace dari {
namespace {

// Doubles of one transposed tile and of one block of accumulators: both stay in
// the first-level cache.
constexpr size_t kTileBudget = 2048;
constexpr size_t kCellBudget = 4096;

// The columns of the data range as contiguous arrays of N values.
struct TColumns {
  std::vector<const double*> Col;
  int N = 0;
};

// Rows r0..r0+rows-1 of variables 0..width-1 into tile (row-major, width per
// row), each value minus shift[i] when shift is given.
void LoadTile(const TColumns& src, size_t r0, size_t rows, size_t width, const double* shift,
              double* tile) {
  for (size_t i = 0; i < width; ++i) {
    const double* x = src.Col[i] + r0;
    if (shift != nullptr) {
      const double m = shift[i];
      for (size_t r = 0; r < rows; ++r) tile[r * width + i] = x[r] - m;
    } else {
      for (size_t r = 0; r < rows; ++r) tile[r * width + i] = x[r];
    }
  }
}

// acc[j] += ti * t[j] for j < count.
inline void AddProducts(double* __restrict acc, const double* __restrict t, double ti,
                        size_t count) {
  for (size_t j = 0; j < count; ++j) acc[j] += ti * t[j];
}

// acc[j] += (ti - t[j])^2 for j < count.
inline void AddSquaredDiffs(double* __restrict acc, const double* __restrict t, double ti,
                            size_t count) {
  for (size_t j = 0; j < count; ++j) {
    const double d = ti - t[j];
    acc[j] += d * d;
  }
}

// Sums of result rows lo..hi-1 (cells j = 0..i of row i, row i at offset
// off[i - lo] of acc) over all data rows: products of the centred (or raw)
// values, or squared differences.
void SumBlock(const TColumns& src, size_t lo, size_t hi, const double* shift, bool squaredDiffs,
              const std::vector<size_t>& off, std::vector<double>& acc, std::vector<double>& tile) {
  std::fill(acc.begin(), acc.end(), 0.0);
  const size_t width = hi;
  const size_t tileRows = std::max<size_t>(1, kTileBudget / width);
  const size_t n = static_cast<size_t>(src.N);
  for (size_t r0 = 0; r0 < n; r0 += tileRows) {
    const size_t rows = std::min(tileRows, n - r0);
    LoadTile(src, r0, rows, width, shift, tile.data());
    for (size_t r = 0; r < rows; ++r) {
      const double* t = tile.data() + r * width;
      for (size_t i = lo; i < hi; ++i) {
        double* a = acc.data() + off[i - lo];
        if (squaredDiffs)
          AddSquaredDiffs(a, t, t[i], i + 1);
        else
          AddProducts(a, t, t[i], i + 1);
      }
    }
  }
}

[[noreturn]] void RaiseCovarNoMemory() { throw DARIMath2Error("CalcCovar: not enough memory"); }

}  // namespace

bool CalcCovar(const TMatrix* Data, TMatrix* Result, int FirstCol, int LastCol, int FirstRow,
               int LastRow, int Mode) {
  AbortMathProc = false;
  if (Data == nullptr || Result == nullptr) return false;
  if (FirstCol == 0 && LastCol == 0) {
    FirstCol = 1;
    LastCol = Data->NrOfColumns();
  }
  if (FirstRow == 0 && LastRow == 0) {
    FirstRow = 1;
    LastRow = Data->NrOfRows();
  }
  // Bounds must lie inside the data: the sums read the storage directly.
  if (FirstCol < 1 || LastCol < FirstCol || LastCol > Data->NrOfColumns()) return false;
  if (FirstRow < 1 || LastRow < FirstRow || LastRow > Data->NrOfRows()) return false;
  const int nv = LastCol - FirstCol + 1;
  if (Result->NrOfColumns() < nv || Result->NrOfRows() < nv) return false;
  const int N = LastRow - FirstRow + 1;
  // The divisor N - 1 needs two objects at least.
  if (N < 2) return false;

  const size_t unv = static_cast<size_t>(nv);
  const size_t uN = static_cast<size_t>(N);
  const bool needSums = Mode >= 0 && Mode <= 4;
  const bool centred = Mode >= 1 && Mode <= 3;

  TColumns src;
  std::vector<double> snapshot, mean, variance, tile, acc;
  std::vector<size_t> off;
  try {
    src.Col.resize(unv);
    src.N = N;
    if (Result == Data) {
      // The result cells are written while later cells are still being summed.
      snapshot.resize(unv * uN);
      for (size_t i = 0; i < unv; ++i) {
        const double* x = Data->ColPtr(FirstCol + static_cast<int>(i)) + (FirstRow - 1);
        std::copy(x, x + uN, snapshot.begin() + static_cast<std::ptrdiff_t>(i * uN));
        src.Col[i] = snapshot.data() + i * uN;
      }
    } else {
      for (size_t i = 0; i < unv; ++i)
        src.Col[i] = Data->ColPtr(FirstCol + static_cast<int>(i)) + (FirstRow - 1);
    }
    mean.assign(unv, 0.0);
    variance.assign(unv, 0.0);
    tile.resize(std::max(kTileBudget, unv));
    acc.resize(std::max(kCellBudget, unv));
    off.resize(unv);
  } catch (const std::bad_alloc&) {
    RaiseCovarNoMemory();
  }

  const double dN = static_cast<double>(N);
  const double dN1 = dN - 1.0;

  if (Mode > 0) {
    std::vector<double> sx(unv, 0.0), sxx(unv, 0.0);
    const size_t tileRows = std::max<size_t>(1, kTileBudget / unv);
    for (size_t r0 = 0; r0 < uN; r0 += tileRows) {
      const size_t rows = std::min(tileRows, uN - r0);
      LoadTile(src, r0, rows, unv, nullptr, tile.data());
      for (size_t r = 0; r < rows; ++r) {
        const double* t = tile.data() + r * unv;
        for (size_t i = 0; i < unv; ++i) {
          sx[i] += t[i];
          sxx[i] += t[i] * t[i];
        }
        StepProgress();
      }
    }
    for (size_t i = 0; i < unv; ++i) {
      variance[i] = (sxx[i] - sx[i] * sx[i] / dN) / dN1;
      mean[i] = sx[i] / dN;
    }
  }

  size_t blockLo = 0, blockHi = 0;  // result rows whose sums are in acc
  for (size_t i = 0; i < unv; ++i) {
    if (i > 0 && AbortMathProc.load(std::memory_order_relaxed)) break;
    if (needSums && i >= blockHi) {
      // Next block: as many result rows as fit the cell budget, one at least.
      blockLo = i;
      size_t cells = 0;
      blockHi = i;
      while (blockHi < unv && (blockHi == i || cells + blockHi + 1 <= kCellBudget)) {
        off[blockHi - blockLo] = cells;
        cells += blockHi + 1;
        ++blockHi;
      }
      SumBlock(src, blockLo, blockHi, centred ? mean.data() : nullptr, Mode == 4, off, acc,
               tile);
    }
    for (size_t j = 0; j <= i; ++j) {
      ProcStat += dN;
      if (MathFeedBackProc) MathFeedBackProc(ProcStat);
      double value = 0.0;
      if (needSums) {
        const double sum = acc[off[i - blockLo] + j];
        if (Mode == 0 || Mode == 1 || Mode == 4) {
          value = sum / dN1;
        } else {
          double f = std::sqrt(variance[i] * variance[j]);
          if (f == 0.0) f = 1e-38;
          value = sum / f / dN1;
          if (Mode == 3) value = value * value;
        }
      }
      const int c = static_cast<int>(j) + 1;
      const int r = static_cast<int>(i) + 1;
      Result->SetVal(c, r, value);
      Result->SetVal(r, c, value);
      if (Mode == 2 && j == i) Result->SetVal(r, r, 1.0);
    }
  }
  return !AbortMathProc.load(std::memory_order_relaxed);
}

}  // namespace dari
