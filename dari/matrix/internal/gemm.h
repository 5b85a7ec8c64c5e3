// The exact-order matrix product kernel of the matrix module, for reuse by the
// linear algebra and later modules. Every result cell is the sum over ascending
// i of its products, started from +0.0 and accumulated in double without fused
// multiply-add, so the result is bit-identical to the plain triple loop
//   for c, r: s = 0; for i = 0..k-1: s += opA(r, i) * opB(i, c); C(r, c) = s
// whatever the code path. Not part of the installed interface.
#pragma once

#include <cstdint>

namespace dari::detail {

// Code paths of the kernel. Auto picks the widest one the processor supports.
enum class TGemmPath : uint8_t { Auto, Generic, Avx2, Avx512 };

// True when Path can run on this processor (Auto and Generic always can).
bool GemmPathAvailable(TGemmPath Path);
// The path Auto resolves to.
TGemmPath GemmAutoPath();
// "generic", "avx2", "avx512" (Auto: the name of the path it resolves to).
const char* GemmPathName(TGemmPath Path);

// C (m x n, column-major, column stride ldc) := opA (m x k) * opB (k x n), where
// opA(r, i) = TransA ? A[i + r lda] : A[r + i lda] and
// opB(i, c) = TransB ? B[c + i ldb] : B[i + c ldb] (0-based).
// k = 0 gives zeros. C must not overlap A or B. A path that the processor does
// not support falls back to Auto.
void GemmExact(int64_t m, int64_t n, int64_t k, const double* A, int64_t lda, bool TransA, const double* B,
               int64_t ldb, bool TransB, double* C, int64_t ldc, TGemmPath Path = TGemmPath::Auto);

}  // namespace dari::detail
