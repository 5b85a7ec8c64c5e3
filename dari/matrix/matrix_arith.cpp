// Arithmetic of TMatrix: element-wise operations, products, the scaled cross
// product, trace, sums, differences, edge aggregates. Products run on the
// exact-order kernel of internal/gemm.h; their result cells reach the result
// through its element setter only when it has an OnChange handler to see them.
#include <algorithm>
#include <new>
#include <stdexcept>
#include <vector>

#include "dari/base/constants.h"
#include "dari/base/progress.h"
#include "dari/matrix/internal/gemm.h"
#include "dari/matrix/matrix.h"

namespace dari {

namespace {

// Valid cells of a matrix with at least one row are one contiguous run of
// NrOfColumns * NrOfRows values from ColPtr(1) on; with no row it is empty.
size_t CellCount(const TMatrix& M) {
  return static_cast<size_t>(M.NrOfColumns()) * static_cast<size_t>(M.NrOfRows());
}

// Stores a computed Cols x Rows block (column stride Stride) into Res, which was
// resized to that size: through SetVal cell by cell (columns outer) when Res has
// an OnChange handler, else straight into its storage.
void StoreBlock(TMatrix* Res, const double* Block, int64_t Stride) {
  const int cols = Res->NrOfColumns();
  const int rows = Res->NrOfRows();
  if (Res->OnChange()) {
    for (int c = 1; c <= cols; ++c)
      for (int r = 1; r <= rows; ++r)
        Res->SetVal(
            c, r,
            Block[static_cast<size_t>(c - 1) * static_cast<size_t>(Stride) + static_cast<size_t>(r - 1)]);
  } else {
    for (int c = 1; c <= cols; ++c) {
      const double* src = Block + static_cast<size_t>(c - 1) * static_cast<size_t>(Stride);
      std::copy(src, src + rows, Res->ColPtr(c));
    }
  }
}

// Sizes Res to Cols x Rows and fills it by Compute(C, ldc), which writes the
// Cols x Rows block at C with column stride ldc. When Res is an operand or has a
// handler, the block is computed into scratch storage first (so operands are
// read before Res changes, and the handler sees one event per cell).
template <class Fn>
void ComputeInto(const TMatrix& Owner, TMatrix* Res, bool Aliased, int Cols, int Rows, Fn Compute) {
  if (!Aliased && !Res->OnChange()) {
    Res->Resize(Cols, Rows);
    try {
      Compute(Res->ColPtr(1), Res->Stride());
    } catch (const std::bad_alloc&) {
      detail::RaiseMatrixNoMemory(Owner.Name());
    }
    return;
  }
  const int64_t stride = std::max(Rows, 1);
  std::vector<double> scratch = detail::AllocMatrixBlock<double>(Owner.Name(), std::max(Cols, 1), stride);
  try {
    Compute(scratch.data(), stride);
  } catch (const std::bad_alloc&) {
    detail::RaiseMatrixNoMemory(Owner.Name());
  }
  Res->Resize(Cols, Rows);
  StoreBlock(Res, scratch.data(), stride);
}

// Stores Values (NrOfElem of VecRes elements) into VecRes through its element
// setter when it has a handler, else straight into its storage.
void StoreVector(TVector* VecRes, const std::vector<double>& Values) {
  const int n = std::min(static_cast<int>(Values.size()), VecRes->NrOfElem());
  if (n <= 0) return;
  if (VecRes->OnChange()) {
    for (int i = 1; i <= n; ++i) VecRes->SetVal(i, Values[static_cast<size_t>(i - 1)]);
  } else {
    std::copy(Values.begin(), Values.begin() + n, VecRes->Storage().begin());
    VecRes->SetIsEmpty(false);
  }
}

}  // namespace

bool TMatrix::Add(const TMatrix* MatB) {
  if (MatB == nullptr || MatB->FNCol != FNCol || MatB->FNRow != FNRow) return false;
  const size_t count = CellCount(*this);
  double* a = FData.data();
  const double* b = MatB->FData.data();
  for (size_t i = 0; i < count; ++i) a[i] += b[i];
  Changed();
  return true;
}

bool TMatrix::Subtract(const TMatrix* MatB) {
  if (MatB == nullptr || MatB->FNCol != FNCol || MatB->FNRow != FNRow) return false;
  const size_t count = CellCount(*this);
  double* a = FData.data();
  const double* b = MatB->FData.data();
  for (size_t i = 0; i < count; ++i) a[i] -= b[i];
  Changed();
  return true;
}

void TMatrix::SAdd(double Scalar) {
  const size_t count = CellCount(*this);
  for (size_t i = 0; i < count; ++i) FData[i] += Scalar;
  Changed();
}

void TMatrix::SMult(double Scalar) {
  const size_t count = CellCount(*this);
  for (size_t i = 0; i < count; ++i) FData[i] *= Scalar;
  Changed();
}

bool TMatrix::Multiply(const TMatrix* MatB, TMatrix* MatRes) {
  if (MatB == nullptr || MatRes == nullptr || FNCol != MatB->FNRow) return false;
  const int m = FNRow;
  const int p = MatB->FNCol;
  const int k = FNCol;
  ComputeInto(*this, MatRes, MatRes == this || MatRes == MatB, p, m, [&](double* C, int64_t ldc) {
    detail::GemmExact(m, p, k, ColPtr(1), Stride(), false, MatB->ColPtr(1), MatB->Stride(), false, C, ldc);
  });
  Changed();
  return true;
}

bool TMatrix::Multiply(const TVector* VecB, TVector* VecRes) {
  if (VecB == nullptr || VecRes == nullptr || FNCol != VecB->NrOfElem()) return false;
  // y := sum over ascending i of column i times x[i]: each y[r] keeps its order,
  // and the inner loop runs along a column, across independent results.
  std::vector<double> y(static_cast<size_t>(FNRow), 0.0);
  const std::span<const double> x = VecB->Storage();
  for (int i = 1; i <= FNCol; ++i) {
    const double xi = x[static_cast<size_t>(i - 1)];
    const double* col = ColPtr(i);
    for (size_t r = 0; r < y.size(); ++r) y[r] += col[r] * xi;
  }
  VecRes->SetVecSize(FNRow);
  StoreVector(VecRes, y);
  Changed();
  return true;
}

bool TMatrix::MultiplyTransposed(const TMatrix* MatB, TMatrix* MatRes) {
  if (MatB == nullptr || MatRes == nullptr || FNCol != MatB->FNCol) return false;
  const int m = FNRow;
  const int p = MatB->FNRow;
  const int k = FNCol;
  ComputeInto(*this, MatRes, MatRes == this || MatRes == MatB, p, m, [&](double* C, int64_t ldc) {
    detail::GemmExact(m, p, k, ColPtr(1), Stride(), false, MatB->ColPtr(1), MatB->Stride(), true, C, ldc);
  });
  Changed();
  return true;
}

bool TMatrix::TransposeAndMultiply(const TMatrix* MatB, TMatrix* MatRes) {
  if (MatB == nullptr || MatRes == nullptr || FNRow != MatB->FNRow) return false;
  const int n = FNCol;
  const int p = MatB->FNCol;
  const int k = FNRow;
  ComputeInto(*this, MatRes, MatRes == this || MatRes == MatB, p, n, [&](double* C, int64_t ldc) {
    detail::GemmExact(n, p, k, ColPtr(1), Stride(), true, MatB->ColPtr(1), MatB->Stride(), false, C, ldc);
  });
  Changed();
  return true;
}

bool TMatrix::TransposeAndMultiply(const TVector* VecB, TVector* VecRes) {
  if (VecB == nullptr || VecRes == nullptr || FNRow != VecB->NrOfElem()) return false;
  const std::span<const double> b = VecB->Storage();
  const size_t m = static_cast<size_t>(FNRow);
  std::vector<double> y(static_cast<size_t>(FNCol), 0.0);
  // y[c] is a dot product summed in ascending k; four columns at a time keep
  // four independent sums in flight.
  int c = 1;
  for (; c + 3 <= FNCol; c += 4) {
    const double* c0 = ColPtr(c);
    const double* c1 = ColPtr(c + 1);
    const double* c2 = ColPtr(c + 2);
    const double* c3 = ColPtr(c + 3);
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
    for (size_t r = 0; r < m; ++r) {
      const double br = b[r];
      s0 += c0[r] * br;
      s1 += c1[r] * br;
      s2 += c2[r] * br;
      s3 += c3[r] * br;
    }
    y[static_cast<size_t>(c - 1)] = s0;
    y[static_cast<size_t>(c)] = s1;
    y[static_cast<size_t>(c + 1)] = s2;
    y[static_cast<size_t>(c + 2)] = s3;
  }
  for (; c <= FNCol; ++c) {
    const double* col = ColPtr(c);
    double s = 0.0;
    for (size_t r = 0; r < m; ++r) s += col[r] * b[r];
    y[static_cast<size_t>(c - 1)] = s;
  }
  VecRes->SetVecSize(FNCol);
  StoreVector(VecRes, y);
  Changed();
  return true;
}

bool TMatrix::EMult(const TMatrix* MatB, TMatrix* MatRes) {
  if (MatB == nullptr || MatRes == nullptr || MatB->FNCol != FNCol || MatB->FNRow != FNRow) return false;
  const size_t count = CellCount(*this);
  ComputeInto(*this, MatRes, MatRes == this || MatRes == MatB, FNCol, FNRow,
              [&](double* C, int64_t /*ldc equals the operands' stride*/) {
                const double* a = FData.data();
                const double* b = MatB->FData.data();
                for (size_t i = 0; i < count; ++i) C[i] = a[i] * b[i];
              });
  Changed();
  return true;
}

namespace {
// GemmExact whose scratch allocation failure becomes the matrix error.
template <class... Args>
void GemmCheckedImpl(const std::string& Name, Args... args) {
  try {
    detail::GemmExact(args...);
  } catch (const std::bad_alloc&) {
    detail::RaiseMatrixNoMemory(Name);
  }
}
}  // namespace

bool TMatrix::Square(TMatrix* MatRes, double Norm) {
  if (MatRes == nullptr || Norm == 0.0) return false;
  const auto GemmChecked = [this](auto... args) { GemmCheckedImpl(Name(), args...); };
  const int n = FNCol;
  const int m = FNRow;
  const bool aliased = MatRes == this;
  // The cross product is computed in strips of result rows, upper triangle and
  // diagonal blocks only, straight into the result's storage (or into scratch
  // when the result is this matrix). Progress and abort are handled per column
  // of A, as if the strip's columns were done one by one.
  std::vector<double> scratch;
  double* R = nullptr;
  int64_t ldr = 0;
  if (aliased) {
    scratch = detail::AllocMatrixBlock<double>(Name(), std::max(n, 1), std::max(n, 1));
    R = scratch.data();
    ldr = std::max(n, 1);
  } else {
    MatRes->Resize(n, n);
    R = MatRes->ColPtr(1);
    ldr = MatRes->Stride();
  }
  const double* A = ColPtr(1);
  const int64_t lda = Stride();
  constexpr int kStrip = 64;
  bool result = true;
  for (int i0 = 0; i0 < n && result; i0 += kStrip) {
    const int i1 = std::min(i0 + kStrip, n);
    int stop = i1;
    for (int i = i0; i < i1; ++i) {
      if (AbortMathProc) {
        stop = i;
        result = false;
        break;
      }
      StepProgress();
    }
    if (stop > i0) {
      // Rows i0..stop-1 of A^T A, columns i0..n-1: cell (i, j) = sum over r of
      // A[r][i] A[r][j], ascending r.
      GemmChecked(stop - i0, n - i0, m, A + static_cast<size_t>(i0) * static_cast<size_t>(lda), lda, true,
                  A + static_cast<size_t>(i0) * static_cast<size_t>(lda), lda, false,
                  R + i0 + static_cast<size_t>(i0) * static_cast<size_t>(ldr), ldr);
      for (int i = i0; i < stop; ++i) {
        for (int j = i; j < n; ++j) {
          const double v = R[i + static_cast<size_t>(j) * static_cast<size_t>(ldr)] / Norm;
          R[i + static_cast<size_t>(j) * static_cast<size_t>(ldr)] = v;
          R[j + static_cast<size_t>(i) * static_cast<size_t>(ldr)] = v;
        }
      }
    }
  }
  if (aliased) {
    // The result block replaces the storage, as a resize to n x n would.
    const bool sizeChanged = FNCol != n || FNRow != n;
    MatRes->FData.swap(scratch);
    MatRes->FNCol = n;
    MatRes->FNRow = n;
    MatRes->FAllocCols = std::max(n, 1);
    MatRes->FAllocRows = std::max(n, 1);
    if (sizeChanged) MatRes->Changed();
  }
  return result;
}

double TMatrix::Trace() const {
  if (FNCol != FNRow || FNCol < 1) return 0.0;
  double sum = 0.0;
  for (int i = 1; i <= FNCol; ++i) sum += FData[Index(i, i)];
  return sum;
}

double TMatrix::Sum(int LoC, int LoR, int HiC, int HiR) const {
  MakeValidColRange(LoC, HiC);
  MakeValidRowRange(LoR, HiR);
  double sum = 0.0;
  for (int c = LoC; c <= HiC; ++c) {
    const double* col = ColPtr(c);
    for (int r = LoR; r <= HiR; ++r) sum += col[r - 1];
  }
  return sum;
}

void TMatrix::Diff(int Order) {
  if (Order < 1 || Order > 10 || Order >= FNRow) return;
  for (int pass = 0; pass < Order; ++pass) {
    for (int c = 1; c <= FNCol; ++c) {
      double* col = ColPtr(c);
      for (int r = 0; r + 1 < FNRow; ++r) col[r] = col[r + 1] - col[r];
    }
  }
  Resize(FNCol, FNRow - Order);
}

void TMatrix::EdgeVector(TOrientation Orient, TEdgeOp EdgeOp, TVector* DestVec) const {
  if (DestVec == nullptr) return;
  const bool perRow = static_cast<uint8_t>(Orient) == 0;
  const int count = perRow ? FNRow : FNCol;   // one result each
  const int length = perRow ? FNCol : FNRow;  // elements folded into each
  double start = 0.0;
  if (EdgeOp == eopMin) start = static_cast<double>(uc_MaxDouble);
  if (EdgeOp == eopMax) start = -static_cast<double>(uc_MaxDouble);
  std::vector<double> acc(static_cast<size_t>(count), start);
  // Columns outer: each result folds its elements in ascending index order.
  for (int c = 1; c <= FNCol; ++c) {
    const double* col = ColPtr(c);
    for (int r = 1; r <= FNRow; ++r) {
      const double x = col[r - 1];
      double& a = acc[static_cast<size_t>(perRow ? r - 1 : c - 1)];
      switch (EdgeOp) {
        case eopMin:
          if (x < a) a = x;
          break;
        case eopMax:
          if (x > a) a = x;
          break;
        default: a += x; break;
      }
    }
  }
  if (EdgeOp == eopMean)
    for (double& a : acc) a = length > 0 ? a / length : 0.0;
  DestVec->SetVecSize(count);
  StoreVector(DestVec, acc);
}

}  // namespace dari
