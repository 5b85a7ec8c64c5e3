// Eigenvalues and eigenvectors of a real symmetric matrix by Jacobi rotations,
// and principal components. The result of the last decomposition is kept in
// process-wide state and read element by element with GetEigenResult until
// RemoveEigenMatrix releases it. Not thread-safe: one decomposition at a time.
#pragma once

#include "dari/matrix/matrix.h"

namespace dari {

// Decomposes the symmetric n x n Matrix (n = NrOfColumns) into the eigen state.
// Only the diagonal and the strict upper triangle are read; the upper triangle
// is driven to zero (one OnChange at the end), diagonal and lower triangle stay.
// Eigenvalues come in the order of the diagonal, unsorted; eigenvectors have
// length 1. Clears AbortMathProc first; one progress step per pass and per
// rotation pair. False, state untouched, for a null or non-square matrix or
// more than 10000 columns. False, without a pass and with the matrix
// unchanged, when the diagonal or upper triangle holds a NaN or an infinity;
// the state then holds the diagonal and unit vectors. False after 100 passes
// without convergence or on abort, the state holding the partial result.
// Raises DARIMath2Error "CalcEigVec: not enough memory" when the state cannot
// be allocated (the state is then empty).
bool CalcEigVec(TMatrix* Matrix);

// Item 0: eigenvalue number Pair; Item 1..n: component Item of eigenvector
// number Pair (both 1-based). 0 when no result is stored or an index is outside.
double GetEigenResult(int Pair, int Item);

// The order of the last decomposition attempted (0 before the first); kept by
// RemoveEigenMatrix.
int GetEigenSize();

// Releases the stored eigenvalues and eigenvectors.
void RemoveEigenMatrix();

// Principal components of the columns FirstCol..LastCol of Data (explicit
// bounds: 0, 0 is not expanded here) over the rows FirstRow..LastRow (0, 0 =
// all): CalcCovar with Mode into a scratch matrix, CalcEigVec on it, then,
// when Normalize is set, every eigenvalue divided by the sum of their absolute
// values (the share of each component). The pairs are then ordered: positive
// eigenvalues first in descending order, the others after them. Read the
// result with GetEigenResult: eigenvalue k with Item 0, loading of variable r
// in component k with Item r. False when either step fails.
bool CalcPrincComp(const TMatrix* Data, int FirstCol, int LastCol, int FirstRow, int LastRow,
                   int Mode, bool Normalize);
// The same with Normalize true.
bool CalcPrincComp(const TMatrix* Data, int FirstCol, int LastCol, int FirstRow, int LastRow,
                   int Mode);

}  // namespace dari
