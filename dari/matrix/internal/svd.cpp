// Golub-Reinsch singular value decomposition on column-major storage:
// Householder bidiagonalisation, accumulation of the right- and left-hand
// transformations, and diagonalisation of the bidiagonal form by implicitly
// shifted QR sweeps (at most 30 per singular value).
//
// Every element receives the same operations in the same order as the classic
// element-by-element formulation; the work is only arranged so that the inner
// loops run down columns (contiguous memory) and independent dot products are
// interleaved. Sums keep their ascending index order.
#include "dari/matrix/internal/svd.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "dari/base/progress.h"

namespace dari::detail {
namespace {

// |x| when y >= 0, else -|x|.
inline double Sign(double x, double y) {
  return y >= 0.0 ? std::fabs(x) : -std::fabs(x);
}

// Progress step and abort test at the start of an outer step.
inline bool StepAndCheckAbort() {
  StepProgress();
  return AbortMathProc.load(std::memory_order_relaxed);
}

// out[t] = sum_{k=0}^{len-1} x[k] * cols[t][k], for t = 0..count-1, each sum in
// ascending k starting from 0. Four sums run side by side for throughput; each
// keeps its own order, so the result is that of four separate loops.
[[gnu::always_inline]] inline void MultiDot(const double* x, int len, const double* const* cols, int count,
                                            double* out) {
  int t = 0;
  for (; t + 4 <= count; t += 4) {
    const double* c0 = cols[t];
    const double* c1 = cols[t + 1];
    const double* c2 = cols[t + 2];
    const double* c3 = cols[t + 3];
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
    for (int k = 0; k < len; ++k) {
      const double xk = x[k];
      s0 += xk * c0[k];
      s1 += xk * c1[k];
      s2 += xk * c2[k];
      s3 += xk * c3[k];
    }
    out[t] = s0;
    out[t + 1] = s1;
    out[t + 2] = s2;
    out[t + 3] = s3;
  }
  for (; t < count; ++t) {
    const double* c0 = cols[t];
    double s0 = 0.0;
    for (int k = 0; k < len; ++k) s0 += x[k] * c0[k];
    out[t] = s0;
  }
}

// Plane rotation of two columns: x' = x c + z s, z' = z c - x s.
[[gnu::always_inline]] inline void RotateColumns(double* __restrict x, double* __restrict z, int len,
                                                 double c, double s) {
  for (int k = 0; k < len; ++k) {
    const double xv = x[k];
    const double zv = z[k];
    x[k] = xv * c + zv * s;
    z[k] = zv * c - xv * s;
  }
}

// The rotations of one QR sweep, recorded so that they can be applied to the
// columns of U (A) and V in one pass per block of rows: rotation t acts on
// columns first + t and first + t + 1, strictly in ascending t for every row,
// which is exactly the order of applying them column pair by column pair.
// The carried column stays in registers between rotations.
template <int W>
[[gnu::always_inline]] inline void ApplyRotationChain(double* M, int64_t ld, int rows, int first,
                                                      const double* cs, const double* sn, int count) {
  if (count <= 0 || rows <= 0) return;
  // Blocks of 8 rows held as 8 / W vectors of W lanes (W = 2 for SSE2, 4 for
  // AVX2): lanes are independent rows, so each element gets the scalar
  // arithmetic.
  typedef double V __attribute__((vector_size(W * sizeof(double))));
  constexpr int kBlock = 8;
  constexpr int NV = kBlock / W;
  int r0 = 0;
  for (; r0 + kBlock <= rows; r0 += kBlock) {
    V carry[NV];
    const double* colFirst = M + static_cast<int64_t>(first) * ld + r0;
    for (int q = 0; q < NV; ++q) std::memcpy(&carry[q], colFirst + q * W, sizeof(V));
    for (int t = 0; t < count; ++t) {
      double* cur = M + static_cast<int64_t>(first + t) * ld + r0;
      const double* next = cur + ld;
      const double c = cs[t];
      const double s = sn[t];
      for (int q = 0; q < NV; ++q) {
        V z;
        std::memcpy(&z, next + q * W, sizeof(V));
        const V x = carry[q] * c + z * s;
        carry[q] = z * c - carry[q] * s;
        std::memcpy(cur + q * W, &x, sizeof(V));
      }
    }
    double* last = M + static_cast<int64_t>(first + count) * ld + r0;
    for (int q = 0; q < NV; ++q) std::memcpy(last + q * W, &carry[q], sizeof(V));
  }
  for (int r = r0; r < rows; ++r) {
    double carry = M[static_cast<int64_t>(first) * ld + r];
    for (int t = 0; t < count; ++t) {
      double* cur = M + static_cast<int64_t>(first + t) * ld + r;
      const double zv = cur[ld];
      *cur = carry * cs[t] + zv * sn[t];
      carry = zv * cs[t] - carry * sn[t];
    }
    M[static_cast<int64_t>(first + count) * ld + r] = carry;
  }
}

template <int Lanes>
[[gnu::always_inline]] inline bool SvdImpl(double* A, int64_t lda, int m, int n, double* V, int64_t ldv,
                                           double* W) {
  if (n <= 0) return true;
  const auto a = [A, lda](int r, int c) -> double& { return A[static_cast<int64_t>(c) * lda + r]; };
  const auto v = [V, ldv](int r, int c) -> double& { return V[static_cast<int64_t>(c) * ldv + r]; };
  const auto acol = [A, lda](int c) { return A + static_cast<int64_t>(c) * lda; };
  const auto vcol = [V, ldv](int c) { return V + static_cast<int64_t>(c) * ldv; };

  // A NaN or an infinity can never pass the convergence tests: refuse it at once
  // instead of running every sweep to its limit.
  for (int c = 0; c < n; ++c)
    for (int r = 0; r < m; ++r)
      if (!std::isfinite(a(r, c))) return false;

  std::vector<double> e(static_cast<size_t>(n), 0.0);
  std::vector<double> sums(static_cast<size_t>(std::max(m, n)), 0.0);
  std::vector<double> rowbuf(static_cast<size_t>(n), 0.0);
  std::vector<const double*> colptrs(static_cast<size_t>(std::max(m, n)), nullptr);
  std::vector<double> rotC(static_cast<size_t>(n), 0.0), rotS(static_cast<size_t>(n), 0.0);
  std::vector<double> rotCA(static_cast<size_t>(n), 0.0), rotSA(static_cast<size_t>(n), 0.0);

  double g = 0.0, scale = 0.0, anorm = 0.0;
  int l = 0;

  // 1. Householder reduction to bidiagonal form.
  for (int i = 0; i < n; ++i) {
    if (StepAndCheckAbort()) return false;
    l = i + 1;
    e[static_cast<size_t>(i)] = scale * g;
    g = 0.0;
    double s = 0.0;
    scale = 0.0;
    if (i < m) {
      double* ci = acol(i);
      for (int k = i; k < m; ++k) scale += std::fabs(ci[k]);
      if (scale != 0.0) {
        for (int k = i; k < m; ++k) {
          ci[k] /= scale;
          s += ci[k] * ci[k];
        }
        double f = ci[i];
        g = -Sign(std::sqrt(s), f);
        const double h = f * g - s;
        ci[i] = f - g;
        const int cnt = n - l;
        for (int j = 0; j < cnt; ++j) colptrs[static_cast<size_t>(j)] = acol(l + j) + i;
        MultiDot(ci + i, m - i, colptrs.data(), cnt, sums.data());
        for (int j = 0; j < cnt; ++j) {
          f = sums[static_cast<size_t>(j)] / h;
          double* cj = acol(l + j);
          for (int k = i; k < m; ++k) cj[k] += f * ci[k];
        }
        for (int k = i; k < m; ++k) ci[k] *= scale;
      }
    }
    W[i] = scale * g;
    g = 0.0;
    s = 0.0;
    scale = 0.0;
    if (i < m && i != n - 1) {
      for (int k = l; k < n; ++k) scale += std::fabs(a(i, k));
      if (scale != 0.0) {
        for (int k = l; k < n; ++k) {
          a(i, k) /= scale;
          s += a(i, k) * a(i, k);
        }
        const double f = a(i, l);
        g = -Sign(std::sqrt(s), f);
        const double h = f * g - s;
        a(i, l) = f - g;
        for (int k = l; k < n; ++k) e[static_cast<size_t>(k)] = a(i, k) / h;
        // Rows j = l..m-1: s_j = sum_k a(j,k) a(i,k) (ascending k), then
        // a(j,k) += s_j e[k]. All rows at once, column by column.
        if (l < m) {
          double* sj = sums.data();
          for (int j = l; j < m; ++j) sj[j] = 0.0;
          for (int k = l; k < n; ++k) {
            const double aik = a(i, k);
            const double* ck = acol(k);
            for (int j = l; j < m; ++j) sj[j] += ck[j] * aik;
          }
          for (int k = l; k < n; ++k) {
            const double ek = e[static_cast<size_t>(k)];
            double* ck = acol(k);
            for (int j = l; j < m; ++j) ck[j] += sj[j] * ek;
          }
        }
        for (int k = l; k < n; ++k) a(i, k) *= scale;
      }
    }
    anorm = std::max(anorm, std::fabs(W[i]) + std::fabs(e[static_cast<size_t>(i)]));
  }
  if (!std::isfinite(anorm)) return false;

  // 2. Accumulation of the right-hand transformations.
  for (int i = n - 1; i >= 0; --i) {
    if (StepAndCheckAbort()) return false;
    if (i < n - 1) {
      if (g != 0.0) {
        const double ail = a(i, l);
        double* vi = vcol(i);
        for (int j = l; j < n; ++j) vi[j] = (a(i, j) / ail) / g;
        for (int k = l; k < n; ++k) rowbuf[static_cast<size_t>(k)] = a(i, k);
        const int cnt = n - l;
        for (int j = 0; j < cnt; ++j) colptrs[static_cast<size_t>(j)] = vcol(l + j) + l;
        MultiDot(rowbuf.data() + l, n - l, colptrs.data(), cnt, sums.data());
        for (int j = 0; j < cnt; ++j) {
          const double sv = sums[static_cast<size_t>(j)];
          double* vj = vcol(l + j);
          for (int k = l; k < n; ++k) vj[k] += sv * vi[k];
        }
      }
      for (int j = l; j < n; ++j) {
        v(i, j) = 0.0;
        v(j, i) = 0.0;
      }
    }
    v(i, i) = 1.0;
    g = e[static_cast<size_t>(i)];
    l = i;
  }

  // 3. Accumulation of the left-hand transformations. Rows beyond m do not
  // exist (m < n); their steps only count progress.
  for (int i = n - 1; i >= 0; --i) {
    if (StepAndCheckAbort()) return false;
    if (i >= m) continue;
    l = i + 1;
    g = W[i];
    for (int j = l; j < n; ++j) a(i, j) = 0.0;
    double* ci = acol(i);
    if (g != 0.0) {
      g = 1.0 / g;
      const int cnt = n - l;
      for (int j = 0; j < cnt; ++j) colptrs[static_cast<size_t>(j)] = acol(l + j) + l;
      MultiDot(ci + l, m - l, colptrs.data(), cnt, sums.data());
      const double aii = ci[i];
      for (int j = 0; j < cnt; ++j) {
        const double f = (sums[static_cast<size_t>(j)] / aii) * g;
        double* cj = acol(l + j);
        for (int k = i; k < m; ++k) cj[k] += f * ci[k];
      }
      for (int j = i; j < m; ++j) ci[j] *= g;
    } else {
      for (int j = i; j < m; ++j) ci[j] = 0.0;
    }
    ci[i] += 1.0;
  }

  // 4. Diagonalisation of the bidiagonal form.
  bool result = true;
  for (int k = n - 1; k >= 0; --k) {
    if (StepAndCheckAbort()) return false;
    for (int its = 1; its <= 30; ++its) {
      bool cancel = false;
      for (l = k; l >= 0; --l) {
        // e[0] is always 0: the first row ends the test in any case.
        if (l == 0 || std::fabs(e[static_cast<size_t>(l)]) + anorm == anorm) break;
        if (std::fabs(W[l - 1]) + anorm == anorm) {
          cancel = true;
          break;
        }
      }
      if (cancel) {
        const int nm = l - 1;
        double c = 0.0, s = 1.0;
        for (int i = l; i <= k; ++i) {
          const double f = s * e[static_cast<size_t>(i)];
          e[static_cast<size_t>(i)] = c * e[static_cast<size_t>(i)];
          if (std::fabs(f) + anorm != anorm) {
            g = W[i];
            double h = std::sqrt(f * f + g * g);
            W[i] = h;
            h = 1.0 / h;
            c = g * h;
            s = -f * h;
            RotateColumns(acol(nm), acol(i), m, c, s);
          }
        }
      }
      double z = W[k];
      if (l == k) {
        if (z < 0.0) {
          W[k] = -z;
          double* vk = vcol(k);
          for (int j = 0; j < n; ++j) vk[j] = -vk[j];
        }
        break;
      }
      if (its == 30) result = false;
      double x = W[l];
      const int nm = k - 1;
      double y = W[nm];
      g = e[static_cast<size_t>(nm)];
      double h = e[static_cast<size_t>(k)];
      double f = ((y - z) * (y + z) + (g - h) * (g + h)) / (2.0 * h * y);
      g = std::sqrt(f * f + 1.0);
      f = ((x - z) * (x + z) + h * (y / (f + Sign(g, f)) - h)) / x;
      double c = 1.0, s = 1.0;
      // The rotation angles depend only on W and e, never on U or V: record
      // them and apply each chain to U and V in one blocked pass afterwards.
      for (int j = l; j <= nm; ++j) {
        const int i = j + 1;
        g = e[static_cast<size_t>(i)];
        y = W[i];
        h = s * g;
        g = c * g;
        z = std::sqrt(f * f + h * h);
        e[static_cast<size_t>(j)] = z;
        c = f / z;
        s = h / z;
        f = x * c + g * s;
        g = g * c - x * s;
        h = y * s;
        y = y * c;
        rotC[static_cast<size_t>(j - l)] = c;
        rotS[static_cast<size_t>(j - l)] = s;
        z = std::sqrt(f * f + h * h);
        W[j] = z;
        if (z != 0.0) {
          z = 1.0 / z;
          c = f * z;
          s = h * z;
        }
        f = c * g + s * y;
        x = c * y - s * g;
        rotCA[static_cast<size_t>(j - l)] = c;
        rotSA[static_cast<size_t>(j - l)] = s;
      }
      ApplyRotationChain<Lanes>(V, ldv, n, l, rotC.data(), rotS.data(), k - l);
      ApplyRotationChain<Lanes>(A, lda, m, l, rotCA.data(), rotSA.data(), k - l);
      e[static_cast<size_t>(l)] = 0.0;
      e[static_cast<size_t>(k)] = f;
      W[k] = x;
    }
  }
  return result;
}

// Code paths: the same operations on every element, compiled for the plain
// instruction set and for AVX2 (wider vectors, no fused multiply-add), so the
// results are the same bits on every path.
bool SvdGeneric(double* A, int64_t lda, int m, int n, double* V, int64_t ldv, double* W) {
  return SvdImpl<2>(A, lda, m, n, V, ldv, W);
}

#if defined(__x86_64__) || defined(__i386__)
#define DARI_SVD_X86 1
__attribute__((target("avx2"))) bool SvdAvx2(double* A, int64_t lda, int m, int n, double* V, int64_t ldv,
                                             double* W) {
  return SvdImpl<4>(A, lda, m, n, V, ldv, W);
}
#endif

}  // namespace

bool SingValDecompStorage(double* A, int64_t lda, int m, int n, double* V, int64_t ldv, double* W,
                          TGemmPath Path) {
#ifdef DARI_SVD_X86
  static const bool avx2 = __builtin_cpu_supports("avx2");
  if (avx2 && Path != TGemmPath::Generic) return SvdAvx2(A, lda, m, n, V, ldv, W);
#endif
  (void)Path;
  return SvdGeneric(A, lda, m, n, V, ldv, W);
}

bool SingValDecompCore(TMatrix* A, TMatrix* V, TVector* W) {
  if (A == nullptr || V == nullptr || W == nullptr) return false;
  const int m = A->NrOfRows();
  const int n = A->NrOfColumns();
  if (n == 0) {
    A->Changed();
    return true;
  }
  // V and W of the caller's size receive the result directly; any other size
  // works in scratch and receives what fits.
  const bool directV = V->NrOfColumns() == n && V->NrOfRows() == n;
  const bool directW = W->NrOfElem() == n;
  std::vector<double> vScratch, wScratch;
  double* vp;
  int64_t ldv;
  double* wp;
  try {
    if (directV) {
      vp = V->ColPtr(1);
      ldv = V->Stride();
    } else {
      vScratch.assign(static_cast<size_t>(n) * static_cast<size_t>(n), 0.0);
      vp = vScratch.data();
      ldv = n;
    }
    if (directW) {
      wp = W->Storage().data();
    } else {
      wScratch.assign(static_cast<size_t>(n), 0.0);
      wp = wScratch.data();
    }
  } catch (const std::bad_alloc&) {
    RaiseMatrixNoMemory(A->Name());
  }
  bool ok;
  try {
    ok = SingValDecompStorage(A->ColPtr(1), A->Stride(), m, n, vp, ldv, wp);
  } catch (const std::bad_alloc&) {
    RaiseMatrixNoMemory(A->Name());
  }
  if (!directV) {
    const int vc = std::min(n, V->NrOfColumns());
    const int vr = std::min(n, V->NrOfRows());
    for (int c = 0; c < vc; ++c)
      std::memcpy(V->ColPtr(c + 1), vp + static_cast<int64_t>(c) * n,
                  static_cast<size_t>(vr) * sizeof(double));
  }
  if (!directW) {
    auto ws = W->Storage();
    const size_t cnt = std::min(ws.size(), static_cast<size_t>(n));
    std::copy(wp, wp + cnt, ws.begin());
  }
  W->SetIsEmpty(false);
  A->Changed();
  V->Changed();
  W->Changed();
  return ok;
}

}  // namespace dari::detail
