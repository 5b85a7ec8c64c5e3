#include "dari/matrix/matrix.h"

#include <algorithm>
#include <cstring>

#include "dari/base/crc32.h"
#include "dari/math1/random.h"
#include "dari/platform/uniform_random.h"

namespace dari {

void TMatrix::SetFPrecis(int ix, int value) {
  FPrecis[ix > 1 ? 1 : 0] = std::clamp(value, -1, 25);
}

void TMatrix::Assign(const TPersistent* Source) {
  if (const auto* other = dynamic_cast<const TMatrix*>(Source)) {
    AssignCore(*other);
    FPrecis[0] = other->FPrecis[0];
    FPrecis[1] = other->FPrecis[1];
    FOnCalcDist = other->FOnCalcDist;
  } else {
    TMatrixBase::Assign(Source);
  }
}

void TMatrix::AssignTo(TPersistent* Dest) const {
  if (auto* other = dynamic_cast<TMatrix*>(Dest)) {
    other->Assign(this);
  } else {
    TMatrixBase::AssignTo(Dest);
  }
}

void TMatrix::CopyFromVec(TDims Dim, const TVector* VecSource, int Source1stElem, int SourceLastElem,
                          int DestCol, int DestRow) {
  if (VecSource == nullptr) return;
  if (Dim == dimColumns || Dim == dimRows) {
    int lo = Source1stElem;
    int hi = SourceLastElem;
    VecSource->MakeValidElemRange(lo, hi);
    // Element e goes to the cell at offset e - lo from (DestCol, DestRow) along
    // the chosen direction; the offsets are formed in 64 bits.
    const int64_t start = Dim == dimColumns ? DestCol : DestRow;
    const int64_t extent = Dim == dimColumns ? FNCol : FNRow;
    const int64_t fixed = Dim == dimColumns ? DestRow : DestCol;
    const int64_t fixedExtent = Dim == dimColumns ? FNRow : FNCol;
    if (fixed >= 1 && fixed <= fixedExtent) {
      const int64_t shift = start - lo;
      const int64_t first = std::max<int64_t>(lo, 1 - shift);
      const int64_t last = std::min<int64_t>(hi, extent - shift);
      for (int64_t e = first; e <= last; ++e) {
        const double value = VecSource->GetVal(static_cast<int>(e));
        const int pos = static_cast<int>(e + shift);
        if (Dim == dimColumns) {
          SetVal(pos, static_cast<int>(fixed), value);
        } else {
          SetVal(static_cast<int>(fixed), pos, value);
        }
      }
    }
  }
  Changed();
}

void TMatrix::CopyRowToVec(TVector* DestVec, int Row, int FirstCol, int LastCol) const {
  if (DestVec == nullptr) return;
  MakeValidColRange(FirstCol, LastCol);
  DestVec->Fill(0.0);
  if (FNRow < 1) return;  // no row to copy: the zeros stand
  Row = std::clamp(Row, 1, FNRow);
  const int count = std::min(LastCol - FirstCol + 1, DestVec->NrOfElem());
  for (int i = 0; i < count; ++i) DestVec->SetVal(i + 1, FData[Index(FirstCol + i, Row)]);
}

void TMatrix::CopyColToVec(TVector* DestVec, int Col, int FirstRow, int LastRow) const {
  if (DestVec == nullptr) return;
  MakeValidRowRange(FirstRow, LastRow);
  DestVec->Fill(0.0);
  if (FNCol < 1) return;
  Col = std::clamp(Col, 1, FNCol);
  const int count = std::min(LastRow - FirstRow + 1, DestVec->NrOfElem());
  if (count <= 0) return;
  const double* src = ColPtr(Col) + (FirstRow - 1);
  if (!DestVec->OnChange()) {
    std::copy(src, src + count, DestVec->Storage().begin());
  } else {
    for (int i = 0; i < count; ++i) DestVec->SetVal(i + 1, src[i]);
  }
}

void TMatrix::FillRandomUniform(double RangeLow, double RangeHigh) {
  const double width = RangeHigh - RangeLow;
  for (int c = 1; c <= FNCol; ++c)
    for (double& x : Column(c)) x = RangeLow + UniformRandom() * width;
  Changed();
}

void TMatrix::FillRandomGauss(double Mean, double StdDev) {
  for (int c = 1; c <= FNCol; ++c)
    for (double& x : Column(c)) x = GRandom() * StdDev + Mean;
  Changed();
}

std::string TMatrix::CRCofData() const {
  detail::TCrc8Registers regs;
  for (int c = 1; c <= FNCol; ++c) {
    for (double x : Column(c)) {
      uint64_t bits;
      std::memcpy(&bits, &x, sizeof bits);
      regs.FeedWord64(bits);
    }
  }
  return regs.Result();
}

}  // namespace dari
