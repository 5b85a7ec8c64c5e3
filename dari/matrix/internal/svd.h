// Singular value decomposition shared inside the library: the spectral norm of
// TMatrix, and (from module math2) the pseudo-inverse and the polynomial fits.
// One implementation, working on column-major storage. Not part of the
// installed interface.
#pragma once

#include <cstdint>

#include "dari/matrix/internal/gemm.h"
#include "dari/matrix/matrix.h"

namespace dari::detail {

// Decomposes the m x n matrix A = U diag(W) V^T in place: on return A holds U
// (m x n), W the n singular values (non-negative, unsorted) and V the n x n
// matrix V. W (n elements) and V (n x n) are sized by the caller; a V or W of
// another size receives what fits of the result. A, V and W each fire OnChange
// once at the end. One progress step (and abort test) per column in each of the
// four phases. False when aborted through AbortMathProc, when a value did not
// converge in 30 sweeps, or at once when A holds a NaN or an infinity (such a
// matrix can never converge). A, V and W must be distinct objects.
bool SingValDecompCore(TMatrix* A, TMatrix* V, TVector* W);

// The same on raw storage: A is m x n column-major with column stride lda >= m
// (U on return), V is n x n with column stride ldv >= n, W holds n values.
// Path selects the code (all give the same bits): Avx512 runs the AVX2 code,
// and a path the processor lacks falls back to Auto. Throws std::bad_alloc.
bool SingValDecompStorage(double* A, int64_t lda, int m, int n, double* V, int64_t ldv, double* W,
                          TGemmPath Path = TGemmPath::Auto);

}  // namespace dari::detail
