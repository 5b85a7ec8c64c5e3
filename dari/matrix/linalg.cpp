// Linear algebra of TMatrix: Crout LU decomposition with implicit partial
// pivoting, determinant, in-place inversion, Cholesky decomposition, diagonal
// balancing and the four matrix norms.
//
// The elimination is Crout's column-by-column scheme: column j receives, in
// ascending k, the updates a[i][j] -= a[i][k] a[k][j] of every earlier column,
// then its pivot is chosen and it is divided by the pivot. Here those updates
// are applied as column operations (down the contiguous storage, across rows),
// and the earlier columns are applied to a block of columns at a time so that
// each is read once per block; every element still receives its subtractions
// one at a time in ascending k, so the factors are those of the element-wise
// formulation. The permutation sign travels as a value, never through a global,
// so decompositions on different threads do not disturb each other.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "dari/base/progress.h"
#include "dari/matrix/internal/linalg_kernels.h"
#include "dari/matrix/internal/svd.h"
#include "dari/matrix/matrix.h"

namespace dari {
namespace {

using detail::TGemmPath;

// Pivots of smaller magnitude are replaced by this value and the decomposition
// is reported as failed.
constexpr double kTinyPivot = 1e-100;

// Balancing stops when a sweep's largest factor is below this value.
constexpr double kBalanceStop = 1.05;
// ... or after this many sweeps: matrices whose factors never settle (NaN or
// infinite elements) would otherwise sweep for ever.
constexpr int kBalanceMaxSweeps = 200;

// Columns of the elimination that share one pass over the finished columns.
constexpr int kLUBlock = 32;

inline bool AbortRequested() {
  return AbortMathProc.load(std::memory_order_relaxed);
}

// x[i] -= l[i] f for i in [0, len).
[[gnu::always_inline]] inline void AxpySub(double* __restrict x, const double* __restrict l, double f,
                                           int len) {
  for (int i = 0; i < len; ++i) x[i] -= l[i] * f;
}

// x[i] = (((x[i] - l0[i] f0) - l1[i] f1) - l2[i] f2) - l3[i] f3: four
// consecutive updates of one element, in their order.
[[gnu::always_inline]] inline void AxpySub4(double* __restrict x, const double* __restrict l0,
                                            const double* __restrict l1, const double* __restrict l2,
                                            const double* __restrict l3, double f0, double f1, double f2,
                                            double f3, int len) {
  for (int i = 0; i < len; ++i) {
    double t = x[i] - l0[i] * f0;
    t -= l1[i] * f1;
    t -= l2[i] * f2;
    x[i] = t - l3[i] * f3;
  }
}

// Row scaling of the implicit pivoting: scale[i] = 1 / max_j |a[i][j]|.
// False when a row is zero (its scale stays 0). Columns are scanned in storage
// order; the maximum does not depend on the order.
bool ComputeRowScale(const double* a, int64_t lda, int n, std::vector<double>& scale) {
  std::vector<double>& big = scale;
  std::fill(big.begin(), big.end(), 0.0);
  for (int j = 0; j < n; ++j) {
    const double* col = a + j * lda;
    for (int i = 0; i < n; ++i) {
      const double t = std::fabs(col[i]);
      if (t > big[static_cast<size_t>(i)]) big[static_cast<size_t>(i)] = t;
    }
  }
  bool ok = true;
  for (int j = 0; j < n && ok; ++j) {
    const double* col = a + j * lda;
    for (int i = 0; i < n; ++i) {
      if (!std::isfinite(col[i])) ok = false;  // NaN or infinity: no decomposition
    }
  }
  for (int i = 0; i < n; ++i) {
    if (big[static_cast<size_t>(i)] == 0.0)
      ok = false;
    else
      big[static_cast<size_t>(i)] = 1.0 / big[static_cast<size_t>(i)];
  }
  return ok;
}

enum class TLUStatus { ok, singular, aborted };

// Crout elimination in place on the n x n column-major block a (stride lda),
// with the row scales from ComputeRowScale. Records the pivot row of column j
// in index[j] (0-based) and returns the permutation sign in Sign. A pivot below
// kTinyPivot (or NaN or infinite) is replaced by it and makes the status singular; the elimination
// still completes. With Progress set, each column starts with a progress step
// and an abort test.
[[gnu::always_inline]] inline TLUStatus CroutEliminateImpl(double* a, int64_t lda, int n,
                                                           std::vector<double>& scale,
                                                           std::vector<int>& index, int& Sign,
                                                           bool Progress) {
  Sign = 1;
  TLUStatus status = TLUStatus::ok;
  const auto col = [a, lda](int c) { return a + static_cast<int64_t>(c) * lda; };
  for (int j0 = 0; j0 < n; j0 += kLUBlock) {
    const int j1 = std::min(n, j0 + kLUBlock);
    if (Progress) {
      StepProgress();
      if (AbortRequested()) return TLUStatus::aborted;
    }
    // Updates of the block's columns by the finished columns k < j0, four at a
    // time: rows k+1..k+3 take their (fewer) updates one by one first, then the
    // rows below take all four in order.
    int k = 0;
    for (; k + 4 <= j0; k += 4) {
      const double* l0 = col(k);
      const double* l1 = col(k + 1);
      const double* l2 = col(k + 2);
      const double* l3 = col(k + 3);
      for (int c = j0; c < j1; ++c) {
        double* x = col(c);
        x[k + 1] -= l0[k + 1] * x[k];
        x[k + 2] -= l0[k + 2] * x[k];
        x[k + 2] -= l1[k + 2] * x[k + 1];
        x[k + 3] -= l0[k + 3] * x[k];
        x[k + 3] -= l1[k + 3] * x[k + 1];
        x[k + 3] -= l2[k + 3] * x[k + 2];
        const int from = k + 4;
        AxpySub4(x + from, l0 + from, l1 + from, l2 + from, l3 + from, x[k], x[k + 1], x[k + 2], x[k + 3],
                 n - from);
      }
    }
    for (; k < j0; ++k) {
      const double* lk = col(k);
      for (int c = j0; c < j1; ++c) {
        double* x = col(c);
        AxpySub(x + k + 1, lk + k + 1, x[k], n - k - 1);
      }
    }
    // Finish the block column by column.
    for (int j = j0; j < j1; ++j) {
      if (Progress && j > j0) {
        StepProgress();
        if (AbortRequested()) return TLUStatus::aborted;
      }
      double* x = col(j);
      for (int kk = j0; kk < j; ++kk) AxpySub(x + kk + 1, col(kk) + kk + 1, x[kk], n - kk - 1);
      double big = 0.0;
      int imax = j;
      for (int i = j; i < n; ++i) {
        const double t = scale[static_cast<size_t>(i)] * std::fabs(x[i]);
        if (t >= big) {
          big = t;
          imax = i;
        }
      }
      if (imax != j) {
        for (int c = 0; c < n; ++c) std::swap(col(c)[imax], col(c)[j]);
        Sign = -Sign;
        scale[static_cast<size_t>(imax)] = scale[static_cast<size_t>(j)];
      }
      index[static_cast<size_t>(j)] = imax;
      // A pivot that is tiny, NaN or infinite (an overflow in the elimination)
      // fails the decomposition.
      if (!(std::fabs(x[j]) >= kTinyPivot) || std::isinf(x[j])) {
        status = TLUStatus::singular;
        x[j] = kTinyPivot;
      }
      if (j < n - 1) {
        const double p = x[j];
        for (int i = j + 1; i < n; ++i) x[i] /= p;
      }
    }
  }
  return status;
}

template <int W>
struct VecOf {
  typedef double type __attribute__((vector_size(W * sizeof(double))));
};

// Solves the packed factors (t: row-major copy, t[i*n+k] = a[i][k]) for the
// unit vectors e_{jFirst}..e_{jFirst+count-1} at once (count <= W * NV) and
// writes the solutions as columns jFirst.. of res (n x n, column-major). x is an
// n x (W * NV) panel, one row per position, the vectors side by side, so that
// the sums of the different vectors run in separate vector lanes.
//
// Forward substitution: the right-hand side is permuted by the recorded row
// exchanges, then b[i] -= a[i][k] b[k] for k from the first non-zero position
// on, in ascending k. The panel starts all its vectors at the earliest such
// position of the panel: the extra leading terms multiply exact zeros, which
// leaves every value unchanged as long as the factors are finite (the caller
// uses panels of one vector otherwise). Back substitution: b[i] := (b[i] -
// sum_{k>i} a[i][k] b[k], ascending k) / a[i][i].
template <int W, int NV>
[[gnu::always_inline]] inline void SolveUnitPanelImpl(const double* t, int n, const int* index, int jFirst,
                                                      int count, double* x, double* res) {
  using V = typename VecOf<W>::type;
  constexpr int P = W * NV;
  const size_t un = static_cast<size_t>(n);
  std::fill(x, x + un * P, 0.0);
  for (int r = 0; r < count; ++r) x[static_cast<size_t>(jFirst + r) * P + static_cast<size_t>(r)] = 1.0;
  for (int i = 0; i < n; ++i) {
    const int ip = index[i];
    if (ip != i)
      for (int r = 0; r < P; ++r)
        std::swap(x[static_cast<size_t>(ip) * P + r], x[static_cast<size_t>(i) * P + r]);
  }
  int kmin = n;
  for (int i = 0; i < n && kmin == n; ++i)
    for (int r = 0; r < count; ++r)
      if (x[static_cast<size_t>(i) * P + r] != 0.0) {
        kmin = i;
        break;
      }
  for (int i = kmin + 1; i < n; ++i) {
    V s[NV];
    double* xi = x + static_cast<size_t>(i) * P;
    for (int v = 0; v < NV; ++v) std::memcpy(&s[v], xi + v * W, sizeof(V));
    const double* ti = t + static_cast<size_t>(i) * un;
    for (int k = kmin; k < i; ++k) {
      const double f = ti[k];
      const double* xk = x + static_cast<size_t>(k) * P;
      for (int v = 0; v < NV; ++v) {
        V xv;
        std::memcpy(&xv, xk + v * W, sizeof(V));
        s[v] -= f * xv;
      }
    }
    for (int v = 0; v < NV; ++v) std::memcpy(xi + v * W, &s[v], sizeof(V));
  }
  for (int i = n - 1; i >= 0; --i) {
    V s[NV];
    double* xi = x + static_cast<size_t>(i) * P;
    for (int v = 0; v < NV; ++v) std::memcpy(&s[v], xi + v * W, sizeof(V));
    const double* ti = t + static_cast<size_t>(i) * un;
    for (int k = i + 1; k < n; ++k) {
      const double f = ti[k];
      const double* xk = x + static_cast<size_t>(k) * P;
      for (int v = 0; v < NV; ++v) {
        V xv;
        std::memcpy(&xv, xk + v * W, sizeof(V));
        s[v] -= f * xv;
      }
    }
    const double d = ti[i];
    for (int v = 0; v < NV; ++v) {
      s[v] = s[v] / d;
      std::memcpy(xi + v * W, &s[v], sizeof(V));
    }
  }
  for (int r = 0; r < count; ++r) {
    double* dst = res + static_cast<size_t>(jFirst + r) * un;
    for (int i = 0; i < n; ++i) dst[i] = x[static_cast<size_t>(i) * P + r];
  }
}

// Code paths. Every path performs the same IEEE operations on every element
// (vectors only run across independent results, and nothing is contracted into
// fused multiply-adds), so the choice changes the speed, never the bits.
constexpr int kPanelGeneric = 16;  // 8 vectors of 2
constexpr int kPanelAvx2 = 32;     // 8 vectors of 4

TLUStatus CroutGeneric(double* a, int64_t lda, int n, std::vector<double>& scale, std::vector<int>& index,
                       int& Sign, bool Progress) {
  return CroutEliminateImpl(a, lda, n, scale, index, Sign, Progress);
}
void SolveGeneric(const double* t, int n, const int* index, int jFirst, int count, double* x, double* res) {
  SolveUnitPanelImpl<2, 8>(t, n, index, jFirst, count, x, res);
}
void SolveSingle(const double* t, int n, const int* index, int jFirst, int count, double* x, double* res) {
  SolveUnitPanelImpl<1, 1>(t, n, index, jFirst, count, x, res);
}

#if defined(__x86_64__) || defined(__i386__)
#define DARI_LINALG_X86 1
__attribute__((target("avx2"))) TLUStatus CroutAvx2(double* a, int64_t lda, int n, std::vector<double>& scale,
                                                    std::vector<int>& index, int& Sign, bool Progress) {
  return CroutEliminateImpl(a, lda, n, scale, index, Sign, Progress);
}
__attribute__((target("avx2"))) void SolveAvx2(const double* t, int n, const int* index, int jFirst,
                                               int count, double* x, double* res) {
  SolveUnitPanelImpl<4, 8>(t, n, index, jFirst, count, x, res);
}
#endif

bool HasAvx2() {
#ifdef DARI_LINALG_X86
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
#else
  return false;
#endif
}

// The AVX2 code runs for Auto, Avx2 and Avx512 when the processor has AVX2.
bool UseAvx2(TGemmPath Path) {
  return Path != TGemmPath::Generic && HasAvx2();
}

TLUStatus CroutEliminate(double* a, int64_t lda, int n, std::vector<double>& scale, std::vector<int>& index,
                         int& Sign, bool Progress, TGemmPath Path = TGemmPath::Auto) {
#ifdef DARI_LINALG_X86
  if (UseAvx2(Path)) return CroutAvx2(a, lda, n, scale, index, Sign, Progress);
#endif
  return CroutGeneric(a, lda, n, scale, index, Sign, Progress);
}

}  // namespace

namespace detail {

double DeterminantStorage(const double* A, int64_t lda, int n, TGemmPath Path) {
  std::vector<double> lu(static_cast<size_t>(n) * static_cast<size_t>(n));
  std::vector<double> scale(static_cast<size_t>(n));
  std::vector<int> index(static_cast<size_t>(n));
  for (int c = 0; c < n; ++c)
    std::memcpy(lu.data() + static_cast<size_t>(c) * static_cast<size_t>(n), A + c * lda,
                static_cast<size_t>(n) * sizeof(double));
  if (!ComputeRowScale(lu.data(), n, n, scale)) return 0.0;
  int sign = 1;
  if (CroutEliminate(lu.data(), n, n, scale, index, sign, false, Path) != TLUStatus::ok) return 0.0;
  double det = sign;
  for (int i = 0; i < n; ++i)
    det *= lu[static_cast<size_t>(i) * static_cast<size_t>(n) + static_cast<size_t>(i)];
  return det;
}

bool InvertStorage(double* a, int64_t lda, int n, TGemmPath Path) {
  const bool avx2 = UseAvx2(Path);
  const int kPanel = avx2 ? kPanelAvx2 : kPanelGeneric;
  std::vector<double> scale(static_cast<size_t>(n));
  std::vector<int> index(static_cast<size_t>(n));
  std::vector<double> t(static_cast<size_t>(n) * static_cast<size_t>(n));
  std::vector<double> panel(static_cast<size_t>(n) * static_cast<size_t>(kPanel));
  std::vector<double> res(static_cast<size_t>(n) * static_cast<size_t>(n));

  if (AbortRequested()) return false;
  if (!ComputeRowScale(a, lda, n, scale)) return false;
  int sign = 1;
  if (CroutEliminate(a, lda, n, scale, index, sign, true, Path) != TLUStatus::ok) return false;
  // Row-major copy of the factors for the substitutions, which read rows.
  bool finite = true;
  for (int c = 0; c < n; ++c) {
    const double* src = a + c * lda;
    for (int r = 0; r < n; ++r) {
      t[static_cast<size_t>(r) * static_cast<size_t>(n) + static_cast<size_t>(c)] = src[r];
      finite = finite && std::isfinite(src[r]);
    }
  }
  for (int j0 = 0; j0 < n;) {
    const int width = finite ? std::min(kPanel, n - j0) : 1;
    for (int r = 0; r < width; ++r) {
      StepProgress();
      if (AbortRequested()) return false;
    }
    if (!finite) SolveSingle(t.data(), n, index.data(), j0, width, panel.data(), res.data());
#ifdef DARI_LINALG_X86
    else if (avx2)
      SolveAvx2(t.data(), n, index.data(), j0, width, panel.data(), res.data());
#endif
    else
      SolveGeneric(t.data(), n, index.data(), j0, width, panel.data(), res.data());
    j0 += width;
  }
  for (int c = 0; c < n; ++c)
    std::memcpy(a + c * lda, res.data() + static_cast<size_t>(c) * static_cast<size_t>(n),
                static_cast<size_t>(n) * sizeof(double));
  return true;
}
}  // namespace detail

bool TMatrix::LUdecomposition(TMatrix* MatL, TMatrix* MatU) const {
  const int n = FNCol;
  if (FNCol != FNRow || MatL == nullptr || MatU == nullptr) return false;
  // The elimination runs on a copy, so that MatL or MatU may be this matrix.
  std::vector<double> lu, scale;
  std::vector<int> index;
  try {
    lu.resize(static_cast<size_t>(n) * static_cast<size_t>(n));
    scale.resize(static_cast<size_t>(n));
    index.resize(static_cast<size_t>(n));
  } catch (const std::bad_alloc&) {
    RaiseNoMemory();
  }
  for (int c = 1; c <= n; ++c)
    std::memcpy(lu.data() + static_cast<size_t>(c - 1) * static_cast<size_t>(n), ColPtr(c),
                static_cast<size_t>(n) * sizeof(double));

  bool result = ComputeRowScale(lu.data(), n, n, scale);
  int sign = 1;
  if (result) result = CroutEliminate(lu.data(), n, n, scale, index, sign, false) == TLUStatus::ok;

  MatL->ResizeAndClear(n, n);
  MatU->Resize(n, n);
  // MatU: the packed factors (or A itself after a zero row), split when the
  // decomposition succeeded; MatL: zero, or L with its unit diagonal.
  for (int c = 1; c <= n; ++c) {
    double* u = MatU->ColPtr(c);
    const double* src = lu.data() + static_cast<size_t>(c - 1) * static_cast<size_t>(n);
    std::memcpy(u, src, static_cast<size_t>(n) * sizeof(double));
    if (result) {
      double* l = MatL->ColPtr(c);
      for (int r = c + 1; r <= n; ++r) {
        l[r - 1] = u[r - 1];
        u[r - 1] = 0.0;
      }
      l[c - 1] = 1.0;
    }
  }
  MatU->Changed();
  MatL->Changed();
  return result;
}

double TMatrix::Determinant() const {
  if (FNCol != FNRow) return 0.0;
  try {
    return detail::DeterminantStorage(ColPtr(1), Stride(), FNCol);
  } catch (const std::bad_alloc&) {
    RaiseNoMemory();
  }
}

bool TMatrix::Invert() {
  if (FNCol != FNRow || FNCol == 0) return false;
  bool result;
  try {
    result = detail::InvertStorage(ColPtr(1), Stride(), FNCol);
  } catch (const std::bad_alloc&) {
    RaiseNoMemory();
  }
  Changed();
  return result;
}

bool TMatrix::CholeskyDecomp(TMatrix* MatL) {
  const int n = FNCol;
  if (FNCol != FNRow || MatL == nullptr) return false;
  std::vector<double> d;
  try {
    d.resize(static_cast<size_t>(n));
  } catch (const std::bad_alloc&) {
    RaiseNoMemory();
  }
  // L[j][i] (j > i) is stored at row i of column j, so that L's row i is the
  // upper part of column i and every sum is a product of two columns.
  bool result = true;
  int done = 0;  // columns of L completed
  for (int i = 1; i <= n && result; ++i) {
    const double* ci = ColPtr(i);
    for (int j = i; j <= n; ++j) {
      double* cj = ColPtr(j);
      double s = ci[j - 1];  // A[j][i]: the lower triangle or the diagonal
      for (int k = i - 1; k >= 1; --k) s -= ci[k - 1] * cj[k - 1];
      if (j == i) {
        // A pivot that is not positive (or NaN) ends the decomposition here:
        // nothing is ever divided by it.
        if (!(s > 0.0)) {
          result = false;
          break;
        }
        d[static_cast<size_t>(i - 1)] = std::sqrt(s);
      } else {
        cj[i - 1] = s / d[static_cast<size_t>(i - 1)];
      }
    }
    if (result) done = i;
  }
  MatL->Resize(n, n);
  for (int c = 1; c <= n; ++c) {
    double* l = MatL->ColPtr(c);
    if (c <= done) {
      l[c - 1] = d[static_cast<size_t>(c - 1)];
      for (int r = c + 1; r <= n; ++r) l[r - 1] = ColPtr(r)[c - 1];
    } else {
      for (int r = c; r <= n; ++r) l[r - 1] = 0.0;
    }
  }
  MatL->Changed();
  Changed();
  return result;
}

bool TMatrix::Balance() {
  const int n = FNCol;
  if (FNCol != FNRow) return false;
  if (n == 0) return true;
  double* a = ColPtr(1);
  const int64_t lda = Stride();
  const auto at = [a, lda](int r, int c) -> double& { return a[static_cast<int64_t>(c) * lda + r]; };
  for (int sweep = 0; sweep < kBalanceMaxSweeps; ++sweep) {
    double fmax = 0.0;
    for (int i = 0; i < n; ++i) {
      double r = 0.0, c = 0.0;
      for (int j = 0; j < n; ++j)
        if (j != i) r += std::fabs(at(i, j));
      const double* ci = a + static_cast<int64_t>(i) * lda;
      for (int j = 0; j < n; ++j)
        if (j != i) c += std::fabs(ci[j]);
      // A zero row or column sum has no usable factor (0 or a division by 0);
      // such a row is left as it is, and so is one whose factor is not finite.
      if (c == 0.0 || r == 0.0) continue;
      const double f = std::sqrt(r / c);
      if (!(f > 0.0) || !std::isfinite(f)) continue;
      for (int j = 0; j < n; ++j)
        if (j != i) at(i, j) /= f;
      double* cm = a + static_cast<int64_t>(i) * lda;
      for (int j = 0; j < n; ++j)
        if (j != i) cm[j] *= f;
      fmax = std::max(fmax, f);
    }
    if (fmax < kBalanceStop) break;
  }
  return true;
}

double TMatrix::Norm(TNormType nt) const {
  const int nc = FNCol;
  const int nr = FNRow;
  switch (nt) {
    case ntColwise: {
      double best = 0.0;
      for (int c = 1; c <= nc; ++c) {
        const double* x = ColPtr(c);
        double s = 0.0;
        for (int r = 0; r < nr; ++r) s += std::fabs(x[r]);
        if (s > best) best = s;
      }
      return best;
    }
    case ntRowwise: {
      std::vector<double> sums;
      try {
        sums.assign(static_cast<size_t>(nr), 0.0);
      } catch (const std::bad_alloc&) {
        RaiseNoMemory();
      }
      for (int c = 1; c <= nc; ++c) {
        const double* x = ColPtr(c);
        for (int r = 0; r < nr; ++r) sums[static_cast<size_t>(r)] += std::fabs(x[r]);
      }
      double best = 0.0;
      for (double s : sums)
        if (s > best) best = s;
      return best;
    }
    case ntFrobenius: {
      double s = 0.0;
      for (int c = 1; c <= nc; ++c) {
        const double* x = ColPtr(c);
        for (int r = 0; r < nr; ++r) s += x[r] * x[r];
      }
      return std::sqrt(s);
    }
    case ntSpectral: {
      if (nc == 0) return 0.0;
      std::vector<double> a, v, w;
      try {
        a.resize(static_cast<size_t>(nc) * static_cast<size_t>(std::max(nr, 1)));
        v.resize(static_cast<size_t>(nc) * static_cast<size_t>(nc));
        w.resize(static_cast<size_t>(nc));
      } catch (const std::bad_alloc&) {
        RaiseNoMemory();
      }
      const int ld = std::max(nr, 1);
      for (int c = 1; c <= nc; ++c)
        std::memcpy(a.data() + static_cast<size_t>(c - 1) * static_cast<size_t>(ld), ColPtr(c),
                    static_cast<size_t>(nr) * sizeof(double));
      bool ok;
      try {
        ok = detail::SingValDecompStorage(a.data(), ld, nr, nc, v.data(), nc, w.data());
      } catch (const std::bad_alloc&) {
        RaiseNoMemory();
      }
      if (!ok) throw DARIMatrixError("near singular covariance matrix");
      double best = 0.0;
      for (double x : w)
        if (x > best) best = x;
      return best;
    }
  }
  return 0.0;
}

}  // namespace dari
