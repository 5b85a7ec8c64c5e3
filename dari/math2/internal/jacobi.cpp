// Cyclic Jacobi method for real symmetric matrices: threshold rotations in the
// first three sweeps, eigenvalue corrections accumulated per sweep, rotations
// applied in place to the upper triangle.
//
// Layout for speed. A rotation of the pair (p, q) combines "line p" (the
// elements A{j,p}, j != p) with "line q". In the column-major upper triangle a
// line is a column part (j < k) plus a row part (j > k), and the row part is
// strided. Line p takes part in every rotation of a p step, so it is gathered
// into a contiguous buffer at the start of the step and scattered back at its
// end; of line q only the row part j > q stays strided. The eigenvectors are
// stored one per contiguous block.
//
// Batching. The angle of a rotation depends only on the diagonal and on line p
// element q, which the earlier rotations of the step change only through their
// row parts (j > q). Those are applied at once; the contiguous parts (line p
// against column q for j < q, eigenvector p against eigenvector q) wait until
// four rotations are collected and then pass over memory together, line p and
// eigenvector p staying in registers. Every element still receives the same
// rotations by the same formula in the same order as in the textbook loops,
// so the results are the same to the last bit.
#include "dari/math2/internal/jacobi.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "dari/base/progress.h"

namespace dari::detail {
namespace {

// The rotation loops run on the widest vectors the processor offers. Without
// fused multiply-add (-ffp-contract=off) every lane computes what the scalar
// code computes, so the clones give the same bits.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define DARI_JACOBI_CLONES __attribute__((target_clones("avx512f", "avx2", "default")))
#else
#define DARI_JACOBI_CLONES
#endif

// x' = x - s (y + x tau), y' = y + s (x - y tau) for the contiguous pairs x[j], y[j].
DARI_JACOBI_CLONES
void RotatePairs(double* __restrict x, double* __restrict y, int64_t count, double s,
                 double tau) {
  for (int64_t j = 0; j < count; ++j) {
    const double xj = x[j];
    const double yj = y[j];
    x[j] = xj - s * (yj + xj * tau);
    y[j] = yj + s * (xj - yj * tau);
  }
}

// Four rotations in a row of x against y0, y1, y2, y3: per element exactly
// the four RotatePairs calls in that order, with x kept in a register.
DARI_JACOBI_CLONES
void RotatePairs4(double* __restrict x, double* __restrict y0, double* __restrict y1,
                  double* __restrict y2, double* __restrict y3, const double* s,
                  const double* tau, int64_t count) {
  const double s0 = s[0], s1 = s[1], s2 = s[2], s3 = s[3];
  const double t0 = tau[0], t1 = tau[1], t2 = tau[2], t3 = tau[3];
  for (int64_t j = 0; j < count; ++j) {
    double xj = x[j];
    double yj = y0[j];
    double nx = xj - s0 * (yj + xj * t0);
    y0[j] = yj + s0 * (xj - yj * t0);
    xj = nx;
    yj = y1[j];
    nx = xj - s1 * (yj + xj * t1);
    y1[j] = yj + s1 * (xj - yj * t1);
    xj = nx;
    yj = y2[j];
    nx = xj - s2 * (yj + xj * t2);
    y2[j] = yj + s2 * (xj - yj * t2);
    xj = nx;
    yj = y3[j];
    nx = xj - s3 * (yj + xj * t3);
    y3[j] = yj + s3 * (xj - yj * t3);
    x[j] = nx;
  }
}

// The same with y strided: y[j * stride].
DARI_JACOBI_CLONES
void RotatePairsStrided(double* __restrict x, double* __restrict y, int64_t stride,
                        int64_t count, double s, double tau) {
  for (int64_t j = 0; j < count; ++j) {
    const double xj = x[j];
    const double yj = y[j * stride];
    x[j] = xj - s * (yj + xj * tau);
    y[j * stride] = yj + s * (xj - yj * tau);
  }
}

// Rotations of one p step whose contiguous parts are still to be applied.
struct TPendingRotations {
  static constexpr int kMax = 4;
  int Count = 0;
  int Q[kMax];
  double S[kMax];
  double Tau[kMax];
};

// Applies the pending rotations (p, Q[0]) < (p, Q[1]) < ... to the parts that
// were deferred: line p against column Q[r] of the upper triangle for rows
// j < Q[r], j != p, and eigenvector p against eigenvector Q[r]. Rows below
// Q[0] take all rotations in one fused pass; rows Q[0] <= j < Q[r] take
// rotation r afterwards, in order. Each element thus sees the rotations in
// their original order.
void ApplyPending(TPendingRotations& pend, int p, double* lp, double* A, int64_t lda, double* V,
                  size_t un) {
  const int k = pend.Count;
  if (k == 0) return;
  pend.Count = 0;
  const int qa = pend.Q[0];
  double* col[TPendingRotations::kMax];
  double* vec[TPendingRotations::kMax];
  for (int r = 0; r < k; ++r) {
    col[r] = A + static_cast<int64_t>(pend.Q[r]) * lda;
    vec[r] = V + static_cast<size_t>(pend.Q[r]) * un;
  }
  double* vp = V + static_cast<size_t>(p) * un;
  const int64_t n = static_cast<int64_t>(un);
  if (k == TPendingRotations::kMax) {
    RotatePairs4(lp, col[0], col[1], col[2], col[3], pend.S, pend.Tau, p);
    RotatePairs4(lp + p + 1, col[0] + p + 1, col[1] + p + 1, col[2] + p + 1, col[3] + p + 1,
                 pend.S, pend.Tau, qa - p - 1);
    RotatePairs4(vp, vec[0], vec[1], vec[2], vec[3], pend.S, pend.Tau, n);
  } else {
    for (int r = 0; r < k; ++r) {
      RotatePairs(lp, col[r], p, pend.S[r], pend.Tau[r]);
      RotatePairs(lp + p + 1, col[r] + p + 1, qa - p - 1, pend.S[r], pend.Tau[r]);
      RotatePairs(vp, vec[r], n, pend.S[r], pend.Tau[r]);
    }
  }
  for (int r = 1; r < k; ++r)
    RotatePairs(lp + qa, col[r] + qa, pend.Q[r] - qa, pend.S[r], pend.Tau[r]);
}

}  // namespace

bool JacobiEigen(double* A, int64_t lda, int n, double* D, double* V) {
  const size_t un = static_cast<size_t>(n > 0 ? n : 0);
  std::vector<double> b(un), z(un, 0.0), line(un, 0.0);  // may throw bad_alloc

  auto at = [A, lda](int64_t r, int64_t c) -> double& { return A[c * lda + r]; };

  for (size_t k = 0; k < un * un; ++k) V[k] = 0.0;
  for (int k = 0; k < n; ++k) {
    V[static_cast<size_t>(k) * un + static_cast<size_t>(k)] = 1.0;
    b[static_cast<size_t>(k)] = D[k] = at(k, k);
  }

  // A NaN or an infinity can never be rotated away (an infinity turns the
  // angles of everything it meets into NaN or 0): refuse such a matrix at
  // once, leaving the starting point (diagonal, unit vectors).
  for (int c = 0; c < n; ++c)
    for (int r = 0; r <= c; ++r)
      if (!std::isfinite(at(r, c))) return false;

  bool result = true;
  bool converged = false;
  int s = 1;
  while (!converged && !AbortMathProc.load(std::memory_order_relaxed)) {
    StepProgress();
    // Sum of the strict upper triangle, rows outer.
    double sm = 0.0;
    for (int p = 0; p < n - 1; ++p)
      for (int q = p + 1; q < n; ++q) sm += std::fabs(at(p, q));

    if (sm == 0.0) {
      converged = true;
    } else {
      const double dn = static_cast<double>(n);
      const double tresh = s < 4 ? 0.2 * sm / (dn * dn) : 0.0;
      for (int p = 0; p < n - 1; ++p) {
        if (AbortMathProc.load(std::memory_order_relaxed)) break;
        double* lp = line.data();
        // Gather line p: column part, then row part.
        for (int j = 0; j < p; ++j) lp[j] = at(j, p);
        for (int j = p + 1; j < n; ++j) lp[j] = at(p, j);
        TPendingRotations pend;

        for (int q = p + 1; q < n; ++q) {
          if (AbortMathProc.load(std::memory_order_relaxed)) break;
          StepProgress();
          const double apq = lp[q];
          const double g = 200.0 * std::fabs(apq);
          if (s > 4 && std::fabs(D[p]) + g == std::fabs(D[p]) &&
              std::fabs(D[q]) + g == std::fabs(D[q])) {
            lp[q] = 0.0;
          } else if (std::fabs(apq) > tresh) {
            double h = D[q] - D[p];
            double t;
            if (std::fabs(h) + g == std::fabs(h)) {
              t = apq / h;
            } else {
              const double theta = h / apq / 2.0;
              t = 1.0 / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
              if (theta < 0.0) t = -t;
            }
            const double c = 1.0 / std::sqrt(t * t + 1.0);
            const double sn = t * c;
            const double tau = sn / (1.0 + c);
            h = t * apq;
            z[static_cast<size_t>(p)] -= h;
            z[static_cast<size_t>(q)] += h;
            D[p] -= h;
            D[q] += h;
            lp[q] = 0.0;

            // j > q: (A[p][j], A[q][j]), A[q][j] in row q, lda apart. These
            // elements feed the angles of the next rotations, so they are
            // rotated now; the parts with j < q (line p against column q of
            // the upper triangle) and the eigenvectors wait in a batch.
            if (q + 1 < n)
              RotatePairsStrided(lp + q + 1, A + static_cast<int64_t>(q + 1) * lda + q, lda,
                                 n - q - 1, sn, tau);
            pend.Q[pend.Count] = q;
            pend.S[pend.Count] = sn;
            pend.Tau[pend.Count] = tau;
            if (++pend.Count == TPendingRotations::kMax) ApplyPending(pend, p, lp, A, lda, V, un);
          }
          // Otherwise the element stays: it is below this sweep's threshold and
          // is rotated away in a later sweep.
        }
        ApplyPending(pend, p, lp, A, lda, V, un);
        // Scatter line p back.
        for (int j = 0; j < p; ++j) at(j, p) = lp[j];
        for (int j = p + 1; j < n; ++j) at(p, j) = lp[j];
      }
      for (size_t k = 0; k < un; ++k) {
        b[k] += z[k];
        D[k] = b[k];
        z[k] = 0.0;
      }
    }
    ++s;
    if (s > 100) {
      result = false;
      break;
    }
  }
  if (AbortMathProc.load(std::memory_order_relaxed)) result = false;
  return result;
}

}  // namespace dari::detail
