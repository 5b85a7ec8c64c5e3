// Exact-order matrix product: packed, cache-blocked and register-blocked in the
// manner of the classic high-performance product, with one restriction that
// keeps it exact: every result cell is accumulated in a single register lane
// over ascending i. Blocking over i stays exact because a cell is loaded,
// accumulated in order and stored back as a double between blocks. Vectors run
// across independent result rows, never across the terms of one sum, and the
// file is compiled without contraction, so no path uses fused multiply-add.
#include "dari/matrix/internal/gemm.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace dari::detail {

namespace {

template <int W>
struct VecOf {
  typedef double type __attribute__((vector_size(W * sizeof(double))));
};

// One MR x NR tile of C (MR = W * MV rows, NR columns) accumulates kc terms:
// Ap holds the tile's rows of opA packed MR per term, Bp its columns of opB
// packed NR per term.
template <int W, int MV, int NR>
[[gnu::always_inline]] inline void MicroKernel(int64_t kc, const double* __restrict Ap,
                                               const double* __restrict Bp, double* C, int64_t ldc) {
  using V = typename VecOf<W>::type;
  constexpr int MR = W * MV;
  V acc[NR][MV];
  for (int j = 0; j < NR; ++j)
    for (int v = 0; v < MV; ++v) std::memcpy(&acc[j][v], C + j * ldc + v * W, sizeof(V));
  for (int64_t p = 0; p < kc; ++p) {
    V a[MV];
    for (int v = 0; v < MV; ++v) std::memcpy(&a[v], Ap + p * MR + v * W, sizeof(V));
    for (int j = 0; j < NR; ++j) {
      const double b = Bp[p * NR + j];
      for (int v = 0; v < MV; ++v) acc[j][v] += a[v] * b;
    }
  }
  for (int j = 0; j < NR; ++j)
    for (int v = 0; v < MV; ++v) std::memcpy(C + j * ldc + v * W, &acc[j][v], sizeof(V));
}

// Packs the panel of an operand: lines l0..l0+count-1 (rows of opA, or columns
// of opB), terms p0..p0+kc-1, in strips of L lines, each strip term-major; lines
// beyond count are zero. LinesAlongStorage says whether consecutive lines are
// adjacent in storage (rows of an untransposed A; columns of a transposed B) or
// consecutive terms are (the other two cases), so one routine packs both operands.
template <int L>
[[gnu::always_inline]] inline void PackPanel(const double* X, int64_t ldx, bool LinesAlongStorage,
                                             int64_t l0, int64_t count, int64_t p0, int64_t kc,
                                             double* dst0) {
  for (int64_t s = 0; s < count; s += L) {
    const int64_t lines = std::min<int64_t>(L, count - s);
    double* dst = dst0 + s * kc;
    if (LinesAlongStorage) {
      for (int64_t p = 0; p < kc; ++p) {
        const double* src = X + (l0 + s) + (p0 + p) * ldx;
        int64_t ll = 0;
        for (; ll < lines; ++ll) dst[p * L + ll] = src[ll];
        for (; ll < L; ++ll) dst[p * L + ll] = 0.0;
      }
    } else {
      for (int64_t ll = 0; ll < lines; ++ll) {
        const double* src = X + p0 + (l0 + s + ll) * ldx;
        for (int64_t p = 0; p < kc; ++p) dst[p * L + ll] = src[p];
      }
      for (int64_t ll = lines; ll < L; ++ll)
        for (int64_t p = 0; p < kc; ++p) dst[p * L + ll] = 0.0;
    }
  }
}

struct TAlignedFree {
  void operator()(double* p) const { ::operator delete[](p, std::align_val_t(64)); }
};
using TBuffer = std::unique_ptr<double[], TAlignedFree>;

TBuffer AllocBuffer(int64_t count) {
  return TBuffer(static_cast<double*>(
      ::operator new[](static_cast<size_t>(count) * sizeof(double), std::align_val_t(64))));
}

template <int W, int MV, int NR, int64_t MC, int64_t KC, int64_t NC>
[[gnu::always_inline]] inline void GemmDriver(int64_t m, int64_t n, int64_t k, const double* A, int64_t lda,
                                              bool TransA, const double* B, int64_t ldb, bool TransB,
                                              double* C, int64_t ldc) {
  constexpr int MR = W * MV;
  static_assert(MC % MR == 0, "MC must be a multiple of MR");
  for (int64_t c = 0; c < n; ++c) std::fill(C + c * ldc, C + c * ldc + m, 0.0);
  if (k == 0 || m == 0 || n == 0) return;

  const int64_t nPanel = std::min<int64_t>(NC, (n + NR - 1) / NR * NR);
  const int64_t mBlock = std::min<int64_t>(MC, (m + MR - 1) / MR * MR);
  const int64_t kBlock = std::min<int64_t>(KC, k);
  TBuffer bufA = AllocBuffer(mBlock * kBlock);
  TBuffer bufB = AllocBuffer(nPanel * kBlock);
  alignas(64) double tile[MR * NR];

  for (int64_t jc = 0; jc < n; jc += NC) {
    const int64_t nc = std::min<int64_t>(NC, n - jc);
    for (int64_t pc = 0; pc < k; pc += KC) {
      const int64_t kc = std::min<int64_t>(KC, k - pc);
      PackPanel<NR>(B, ldb, TransB, jc, nc, pc, kc, bufB.get());
      for (int64_t ic = 0; ic < m; ic += MC) {
        const int64_t mc = std::min<int64_t>(MC, m - ic);
        PackPanel<MR>(A, lda, !TransA, ic, mc, pc, kc, bufA.get());
        for (int64_t jr = 0; jr < nc; jr += NR) {
          const int64_t cols = std::min<int64_t>(NR, nc - jr);
          const double* Bp = bufB.get() + jr * kc;
          for (int64_t ir = 0; ir < mc; ir += MR) {
            const int64_t rows = std::min<int64_t>(MR, mc - ir);
            const double* Ap = bufA.get() + ir * kc;
            double* Ct = C + (ic + ir) + (jc + jr) * ldc;
            if (rows == MR && cols == NR) {
              MicroKernel<W, MV, NR>(kc, Ap, Bp, Ct, ldc);
            } else {
              // Edge tile: work on a full-size copy; the padded cells are never
              // stored back.
              for (int64_t j = 0; j < NR; ++j)
                for (int64_t r = 0; r < MR; ++r)
                  tile[j * MR + r] = (j < cols && r < rows) ? Ct[r + j * ldc] : 0.0;
              MicroKernel<W, MV, NR>(kc, Ap, Bp, tile, MR);
              for (int64_t j = 0; j < cols; ++j)
                for (int64_t r = 0; r < rows; ++r) Ct[r + j * ldc] = tile[j * MR + r];
            }
          }
        }
      }
    }
  }
}

using TGemmFn = void (*)(int64_t, int64_t, int64_t, const double*, int64_t, bool, const double*, int64_t,
                         bool, double*, int64_t);

void GemmGeneric(int64_t m, int64_t n, int64_t k, const double* A, int64_t lda, bool TransA, const double* B,
                 int64_t ldb, bool TransB, double* C, int64_t ldc) {
  GemmDriver<2, 2, 6, 128, 256, 3072>(m, n, k, A, lda, TransA, B, ldb, TransB, C, ldc);
}

#if defined(__x86_64__) || defined(__i386__)
#define DARI_GEMM_X86 1

__attribute__((target("avx2"))) void GemmAvx2(int64_t m, int64_t n, int64_t k, const double* A, int64_t lda,
                                              bool TransA, const double* B, int64_t ldb, bool TransB,
                                              double* C, int64_t ldc) {
  GemmDriver<4, 2, 6, 128, 256, 3072>(m, n, k, A, lda, TransA, B, ldb, TransB, C, ldc);
}

__attribute__((target("avx512f"))) void GemmAvx512(int64_t m, int64_t n, int64_t k, const double* A,
                                                   int64_t lda, bool TransA, const double* B, int64_t ldb,
                                                   bool TransB, double* C, int64_t ldc) {
  GemmDriver<8, 2, 12, 128, 256, 3072>(m, n, k, A, lda, TransA, B, ldb, TransB, C, ldc);
}
#endif

bool CpuHas(TGemmPath Path) {
#ifdef DARI_GEMM_X86
  // The processor model may be asked for before the runtime's own start-up
  // code ran (from another file's static initialiser).
  __builtin_cpu_init();
  switch (Path) {
    case TGemmPath::Avx2: return __builtin_cpu_supports("avx2");
    case TGemmPath::Avx512: return __builtin_cpu_supports("avx512f");
    default: return true;
  }
#else
  return Path == TGemmPath::Auto || Path == TGemmPath::Generic;
#endif
}

// Auto prefers AVX-512 on Intel processors only: processors that execute
// 512-bit operations as two 256-bit halves (AMD Zen 4) ran the AVX2 kernel
// faster in our measurements. All paths give the same bits, so this choice
// affects speed only.
TGemmPath ResolveAuto() {
  static const TGemmPath path = [] {
#ifdef DARI_GEMM_X86
    if (CpuHas(TGemmPath::Avx512) && __builtin_cpu_is("intel")) return TGemmPath::Avx512;
#endif
    if (CpuHas(TGemmPath::Avx2)) return TGemmPath::Avx2;
    return TGemmPath::Generic;
  }();
  return path;
}

TGemmFn FunctionOf(TGemmPath Path) {
  switch (Path) {
#ifdef DARI_GEMM_X86
    case TGemmPath::Avx512: return GemmAvx512;
    case TGemmPath::Avx2: return GemmAvx2;
#endif
    default: return GemmGeneric;
  }
}

}  // namespace

bool GemmPathAvailable(TGemmPath Path) {
  return CpuHas(Path);
}

TGemmPath GemmAutoPath() {
  return ResolveAuto();
}

const char* GemmPathName(TGemmPath Path) {
  if (Path == TGemmPath::Auto) Path = ResolveAuto();
  switch (Path) {
    case TGemmPath::Avx512: return "avx512";
    case TGemmPath::Avx2: return "avx2";
    default: return "generic";
  }
}

void GemmExact(int64_t m, int64_t n, int64_t k, const double* A, int64_t lda, bool TransA, const double* B,
               int64_t ldb, bool TransB, double* C, int64_t ldc, TGemmPath Path) {
  if (m <= 0 || n <= 0) return;
  if (Path == TGemmPath::Auto || !CpuHas(Path)) Path = ResolveAuto();
  FunctionOf(Path)(m, n, std::max<int64_t>(k, 0), A, lda, TransA, B, ldb, TransB, C, ldc);
}

}  // namespace dari::detail
