// Covariance-type matrices of the variables (columns) of a data matrix over a
// range of its objects (rows): raw cross products, covariance, correlation,
// squared correlation and mean squared difference.
#pragma once

#include "dari/matrix/matrix.h"

namespace dari {

// Fills the top-left nv x nv block of Result (nv = LastCol - FirstCol + 1) with
// a covariance-type matrix of the columns FirstCol..LastCol of Data over the N
// rows FirstRow..LastRow. Bounds 0, 0 stand for all columns (rows). Mode:
//   0  sum x_i x_j / (N - 1)                     (raw cross products)
//   1  sum (x_i - m_i)(x_j - m_j) / (N - 1)      (covariance)
//   2  covariance / sqrt(v_i v_j), diagonal 1    (correlation; a zero
//      denominator counts as 1e-38)
//   3  the mode-2 value squared, diagonal not reset
//   4  sum (x_i - x_j)^2 / (N - 1)               (mean squared difference)
//   other: 0
// Sums run over ascending rows. Result is not resized; its cells are written
// through SetVal (one OnChange each). Clears AbortMathProc first, then one
// progress step per row for the means (modes > 0) and N steps per result cell;
// an abort request is honoured before every result row after the first.
// Returns false, writing nothing, for a null matrix, bounds outside Data or
// reversed, a Result smaller than nv x nv, or fewer than 2 rows; false also
// when aborted (cells written so far stay). Data and Result may be one matrix.
bool CalcCovar(const TMatrix* Data, TMatrix* Result, int FirstCol, int LastCol, int FirstRow,
               int LastRow, int Mode);

}  // namespace dari
