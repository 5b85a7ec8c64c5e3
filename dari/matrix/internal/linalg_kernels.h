// The storage-level kernels behind TMatrix::Invert and TMatrix::Determinant,
// with an explicit code path so that tests can run every path on one machine.
// All paths give the same bits. Not part of the installed interface.
#pragma once

#include <cstdint>

#include "dari/matrix/internal/gemm.h"

namespace dari::detail {

// Inverts the n x n column-major block A (column stride lda, n >= 1) in place by
// Crout elimination with implicit partial pivoting and one substitution per unit
// vector, with one progress step and abort test per column of the elimination
// and per unit vector. False for a zero row (A unchanged), a pivot below 1e-100
// or an abort (A then holds its eliminated factors). Throws std::bad_alloc.
// Avx512 runs the AVX2 code; a path the processor lacks falls back to Auto.
bool InvertStorage(double* A, int64_t lda, int n, TGemmPath Path = TGemmPath::Auto);

// Determinant of the n x n column-major block A by the same elimination on a
// copy; 0 when it fails (zero row or a pivot below 1e-100). Throws
// std::bad_alloc.
double DeterminantStorage(const double* A, int64_t lda, int n, TGemmPath Path = TGemmPath::Auto);

}  // namespace dari::detail
