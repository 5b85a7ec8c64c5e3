// The cyclic Jacobi eigen-decomposition of a real symmetric matrix on raw
// storage, behind CalcEigVec. Not part of the installed interface.
#pragma once

#include <cstdint>

namespace dari::detail {

// Decomposes the symmetric n x n matrix whose upper triangle and diagonal are
// held column-major in A (element row r, column c, 0-based, at A[c * lda + r];
// lda >= n). The strict lower triangle is never read or written, the diagonal is
// read only; the strict upper triangle is driven to zero (on a failed or aborted
// run it keeps the partly reduced values).
//
// D receives the n eigenvalues in the order of the diagonal and V (n * n) the
// eigenvectors, eigenvector k (0-based) contiguous at V[k * n .. k * n + n - 1].
// One progress step per pass and per visited pair; the passes stop on
// AbortMathProc. Returns true when the off-diagonal sum reached zero within 100
// passes and no abort was requested; false at once, with A untouched, D the
// diagonal and V the unit vectors, when the part read holds a NaN or infinity. Throws std::bad_alloc when its scratch
// storage (three arrays of n doubles) cannot be had, before anything is changed.
bool JacobiEigen(double* A, int64_t lda, int n, double* D, double* V);

}  // namespace dari::detail
