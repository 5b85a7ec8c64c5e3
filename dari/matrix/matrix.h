// TMatrix: the library's two-dimensional container of doubles, addressed
// Elem(c, r) with the column index first, both 1-based. In statistical use the
// columns are variables and the rows objects. A component: it has an optional
// owner and a Name that its error messages quote.
//
// Events: OnChange fires after every completed modification (once per bulk
// operation, once per element written through SetVal; products write their
// result cells through the result's SetVal). OnSortExchange fires for every
// exchange made by the sorting operations; OnCalcDistance supplies a user
// distance of two rows.
#pragma once

#include <cstdint>
#include <string>

#include "dari/base/types.h"
#include "dari/matrix/internal/matrix_base.h"
#include "dari/matrix/matrix_error.h"
#include "dari/vector/int_vector.h"
#include "dari/vector/vector.h"

namespace dari {

class TMatrix : public detail::TMatrixBase<double> {
 public:
  // A 1 x 1 matrix holding 0, DataID empty, Precision(1) = 15, Precision(2) = -1.
  explicit TMatrix(TComponent* AOwner = nullptr) : TMatrixBase(AOwner) {}
  std::string ClassName() const override { return "TMatrix"; }

  // ---- Container (matrix.cpp) ----

  // Two stored precision slots: ix > 1 addresses slot 2, anything else slot 1.
  // Written values are clamped into -1..25. Only stored and copied here.
  int Precision(int ix) const { return GetFPrecis(ix); }
  void SetPrecision(int ix, int value) { SetFPrecis(ix, value); }
  int GetFPrecis(int ix) const { return ix > 1 ? FPrecis[1] : FPrecis[0]; }
  void SetFPrecis(int ix, int value);

  const TOnCalcDistanceEvent& OnCalcDistance() const { return FOnCalcDist; }
  void SetOnCalcDistance(TOnCalcDistanceEvent Handler) { FOnCalcDist = std::move(Handler); }

  // From another TMatrix: size, DataID, values, both precision slots and the
  // three event handlers, without an event. Any other source raises EConvertError.
  void Assign(const TPersistent* Source) override;

  // Becomes a copy of MatSource's size and values, each stored through SetVal
  // (one OnChange per element when a handler is set), then one more OnChange.
  // DataID, precision and handlers are not copied; a null source does nothing.
  void Clone(const TMatrix* MatSource) { CloneCore(MatSource); }

  // Copies the block SourceColLo..SourceColHi x SourceRowLo..SourceRowHi of
  // MatSource (bounds clamped into the source, reversed bounds exchanged) so that
  // its first cell lands at (DestCol, DestRow); cells outside this matrix are
  // skipped, it is never enlarged. Writes go through SetVal, then one OnChange.
  // The source may be this matrix, overlapping blocks included.
  void CopyFrom(const TMatrix* MatSource, int SourceColLo, int SourceRowLo, int SourceColHi, int SourceRowHi,
                int DestCol, int DestRow) {
    CopyBlockFrom(MatSource, SourceColLo, SourceRowLo, SourceColHi, SourceRowHi, DestCol, DestRow);
  }

  // Copies the vector's elements Source1stElem..SourceLastElem (vector range
  // rule) down column DestCol from row DestRow on.
  void CopyFromVec(const TVector* VecSource, int Source1stElem, int SourceLastElem, int DestCol,
                   int DestRow) {
    CopyFromVec(dimRows, VecSource, Source1stElem, SourceLastElem, DestCol, DestRow);
  }
  // dimColumns: along row DestRow from column DestCol on; dimRows: down column
  // DestCol from row DestRow on. Writes go through SetVal (cells outside are
  // skipped), then one OnChange (also for an unknown Dim, which writes nothing).
  // A null vector does nothing.
  void CopyFromVec(TDims Dim, const TVector* VecSource, int Source1stElem, int SourceLastElem, int DestCol,
                   int DestRow);

  // Fills DestVec with 0, then copies row Row (clamped), columns FirstCol..LastCol
  // (made valid), to its elements 1, 2, ...; the vector is not resized and a
  // range longer than the vector is cut at its high end. Null does nothing.
  void CopyRowToVec(TVector* DestVec, int Row, int FirstCol, int LastCol) const;
  // The same for column Col (clamped), rows FirstRow..LastRow.
  void CopyColToVec(TVector* DestVec, int Col, int FirstRow, int LastRow) const;

  // Element := RangeLow + u (RangeHigh - RangeLow), u uniform on [0, 1) from the
  // process-wide generator, columns outer; one OnChange.
  void FillRandomUniform(double RangeLow, double RangeHigh);
  // Element := g StdDev + Mean with g from GRandom, columns outer; one OnChange.
  void FillRandomGauss(double Mean, double StdDev);

  // 64-character checksum: byte k of every element's IEEE double (columns
  // outer, least significant byte first) feeds CRC-32 register k; the eight
  // complemented registers in upper-case hex. Empty matrix: 64 zeros.
  std::string CRCofData() const;

  // ---- Arithmetic (matrix_arith.cpp) ----
  // Boolean results are false, with nothing changed, for a null object or sizes
  // that do not fit. Products give each cell the sum over ascending i of the
  // products, written through the result's SetVal; the result may be one of the
  // operands. "Notifies" below: this matrix fires OnChange once at the end.

  // A := A + B, A := A - B (same size); notifies.
  bool Add(const TMatrix* MatB);
  bool Subtract(const TMatrix* MatB);
  // Every element + Scalar, every element * Scalar; notifies.
  void SAdd(double Scalar);
  void SMult(double Scalar);

  // MatRes (columns of B x rows of A) := A B; needs NrOfColumns = rows of B.
  bool Multiply(const TMatrix* MatB, TMatrix* MatRes);
  // VecRes (NrOfRows elements, SetVecSize) := A VecB; needs NrOfColumns = elements of VecB.
  bool Multiply(const TVector* VecB, TVector* VecRes);
  // MatRes (rows of B x rows of A) := A B^T; needs NrOfColumns = columns of B.
  bool MultiplyTransposed(const TMatrix* MatB, TMatrix* MatRes);
  // MatRes (columns of B x columns of A) := A^T B; needs NrOfRows = rows of B.
  bool TransposeAndMultiply(const TMatrix* MatB, TMatrix* MatRes);
  // VecRes (NrOfColumns elements) := A^T VecB; needs NrOfRows = elements of VecB.
  bool TransposeAndMultiply(const TVector* VecB, TVector* VecRes);
  // MatRes := A * B element by element (same size).
  bool EMult(const TMatrix* MatB, TMatrix* MatRes);

  // MatRes (n x n) := A^T A / Norm, written straight into its storage (no
  // per-cell events, none from A). One progress step per column of A; an abort
  // request stops it with false (MatRes partly filled). Null MatRes or Norm = 0:
  // false, nothing changed.
  bool Square(TMatrix* MatRes, double Norm);

  // Exchanges rows and columns; notifies; true (see TMatrixBase::Transpose).
  using TMatrixBase::Transpose;

  // Diagonal sum of a non-empty square matrix, else 0.
  double Trace() const;
  // Sum over the valid column range LoC..HiC and row range LoR..HiR; 0 for an
  // empty matrix.
  double Sum(int LoC, int LoR, int HiC, int HiR) const;
  // Order-fold forward differences down every column, then NrOfRows shrinks by
  // Order (this notifies). Nothing unless 1 <= Order <= 10 and Order < NrOfRows.
  void Diff(int Order);
  // One aggregate per row (Orient ordinal 0: NrOfRows elements) or per column
  // (other values: NrOfColumns elements) into DestVec (SetVecSize, element
  // setter). eopMin starts at uc_MaxDouble, eopMax at -uc_MaxDouble; eopMean over
  // no elements gives 0. The matrix does not notify; a null vector does nothing.
  void EdgeVector(TOrientation Orient, TEdgeOp EdgeOp, TVector* DestVec) const;

  // ExchangeColumns, ExchangeRows, MirrorColumns, MirrorRows: see TMatrixBase.

  // ---- Linear algebra (linalg.cpp) ----

  // Crout LU decomposition with implicit partial pivoting: MatL := L (unit
  // diagonal), MatU := U, L U = A with rows permuted. False for a non-square
  // matrix, a null object, a zero row or a pivot below 1e-100.
  bool LUdecomposition(TMatrix* MatL, TMatrix* MatU) const;
  // det(A), or 0 when the LU decomposition fails.
  double Determinant() const;
  // Replaces A by its inverse. False for a non-square, empty or singular matrix
  // (A then holds its eliminated factors) or on an abort request; OnChange fires.
  bool Invert();
  // Cholesky factor of a symmetric positive definite matrix into MatL; the strict
  // upper triangle of A receives L^T. False when not square or not positive definite.
  bool CholeskyDecomp(TMatrix* MatL);
  // Equilibrates off-diagonal row and column sums in place; false when not square.
  bool Balance();
  // Column-sum, row-sum, spectral or Frobenius norm; 0 for another value.
  // ntSpectral raises DARIMatrixError "near singular covariance matrix" when the
  // singular value decomposition fails.
  double Norm(TNormType nt) const;

  // ---- Statistics and normalisation (matrix_stats.cpp) ----
  // Ranges are made valid with MakeValidColRange / MakeValidRowRange first.

  void MeanVar(int LowCol, int LowRow, int HighCol, int HighRow, double& Mean, double& Variance) const;
  void MeanVec(TDims Dim, TVector* Means) const;
  void MinMax(int LowCol, int LowRow, int HighCol, int HighRow, double& Minimum, double& Maximum) const;
  double Percentile(double prob, int LowCol, int LowRow, int HighCol, int HighRow) const;
  double Percentile(double prob, int LowCol, int LowRow, int HighCol, int HighRow, int SampleSize) const;
  bool Quartiles(int LowCol, int LowRow, int HighCol, int HighRow, double& Q1, double& Q2, double& Q3) const;
  double GeometricMean(int LowCol, int LowRow, int HighCol, int HighRow) const;
  double HarmonicMean(int LowCol, int LowRow, int HighCol, int HighRow) const;
  void SkewKurt(int LowCol, int LowRow, int HighCol, int HighRow, double& Skewness, double& Kurtosis) const;
  void SkewKurtSample(int LowCol, int LowRow, int HighCol, int HighRow, double& Skewness,
                      double& Kurtosis) const;
  bool Histogram(int LoX, int LoY, int HiX, int HiY, double FirstBin, double LastBin, double BinWidth,
                 TIntVector* Histo, int& Underflow, int& Overflow, int& MaxCnt) const;
  int CountValues(int LowCol, int HighCol, int LowRow, int HighRow, double RangeLow, double RangeHigh) const;
  double Correlate(const TMatrix* OtherMat) const;
  void StandardizeColumns(TVector* Means, TVector* StdDevs);
  void StandardizeRows(TVector* Means, TVector* StdDevs);
  void MeanCenterColumns(TVector* Means);
  void MeanCenterRows(TVector* Means);
  void QNormalizeColumns(double RefQuant, TVector* Medians, TVector* QuantDiffs);
  void QNormalizeRows(double RefQuant, TVector* Medians, TVector* QuantDiffs);

 protected:
  void AssignTo(TPersistent* Dest) const override;

  // ---- Private helpers of linalg.cpp / matrix_stats.cpp (owned by that work) ----
  // (add helper declarations here)
  // ---- end of linalg / stats helpers ----

 private:
  int FPrecis[2] = {15, -1};
  TOnCalcDistanceEvent FOnCalcDist;
};

}  // namespace dari
