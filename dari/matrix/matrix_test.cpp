// Tests of the TMatrix container: size rules, element access, ranges, copies,
// fills, checksum and notification.
#include "dari/matrix/matrix.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "dari/platform/exceptions.h"

namespace dari {
namespace {

// Counts OnChange calls of a matrix.
struct ChangeCounter {
  int count = 0;
  void Attach(TMatrix& m) {
    m.SetOnChange([this](TObject*) { ++count; });
  }
};

// Fills m (Nc x Nr) with 10 * c + r so every cell tells where it came from.
void FillPattern(TMatrix& m, int Nc, int Nr) {
  m.Resize(Nc, Nr);
  for (int c = 1; c <= Nc; ++c)
    for (int r = 1; r <= Nr; ++r) m.SetElem(c, r, 10.0 * c + r);
}

TEST(MatrixContainer, NewMatrixIsOneByOneZero) {
  TMatrix m;
  EXPECT_EQ(m.NrOfColumns(), 1);
  EXPECT_EQ(m.NrOfRows(), 1);
  EXPECT_EQ(m.Elem(1, 1), 0.0);
  EXPECT_EQ(m.DataID(), "");
  EXPECT_EQ(m.Precision(1), 15);
  EXPECT_EQ(m.Precision(2), -1);
  EXPECT_EQ(m.ClassName(), "TMatrix");
}

TEST(MatrixContainer, OutOfRangeAccessReadsZeroAndWritesNothing) {
  TMatrix m;
  m.SetElem(1, 1, 5.0);
  ChangeCounter counter;
  counter.Attach(m);
  for (auto [c, r] : std::vector<std::pair<int, int>>{{0, 1}, {2, 1}, {1, 2}, {1, 0}, {-1, -1}}) {
    EXPECT_EQ(m.Elem(c, r), 0.0);
    m.SetElem(c, r, 7.0);
  }
  EXPECT_EQ(counter.count, 0);
  EXPECT_EQ(m.Elem(1, 1), 5.0);
  m.SetVal(1, 1, 6.0);
  EXPECT_EQ(counter.count, 1);
  EXPECT_EQ(m.GetVal(1, 1), 6.0);
}

TEST(MatrixContainer, ResizeKeepsOverlapAndZeroesNewCells) {
  TMatrix m;
  FillPattern(m, 2, 2);
  ASSERT_TRUE(m.Resize(3, 2));
  EXPECT_EQ(m.Elem(1, 1), 11.0);
  EXPECT_EQ(m.Elem(2, 2), 22.0);
  EXPECT_EQ(m.Elem(3, 1), 0.0);
  EXPECT_EQ(m.Elem(3, 2), 0.0);
  ASSERT_TRUE(m.Resize(3, 4));
  EXPECT_EQ(m.Elem(2, 1), 21.0);
  EXPECT_EQ(m.Elem(2, 3), 0.0);
  ASSERT_TRUE(m.Resize(1, 1));
  EXPECT_EQ(m.Elem(1, 1), 11.0);
  EXPECT_EQ(m.Elem(1, 2), 0.0);
}

TEST(MatrixContainer, NegativeSizeGivesZeroAndFirstColumnReappears) {
  TMatrix m;
  FillPattern(m, 2, 3);
  ASSERT_TRUE(m.Resize(-5, 3));
  EXPECT_EQ(m.NrOfColumns(), 0);
  EXPECT_EQ(m.NrOfRows(), 3);
  EXPECT_EQ(m.Elem(1, 1), 0.0);
  // One column stays allocated: its values come back when the matrix grows.
  ASSERT_TRUE(m.Resize(2, 3));
  EXPECT_EQ(m.Elem(1, 1), 11.0);
  EXPECT_EQ(m.Elem(1, 3), 13.0);
  EXPECT_EQ(m.Elem(2, 1), 0.0);
  // The same for rows, through the size property.
  m.SetNrOfRows(-1);
  EXPECT_EQ(m.NrOfRows(), 0);
  m.SetNrOfRows(2);
  EXPECT_EQ(m.Elem(1, 1), 11.0);
  EXPECT_EQ(m.Elem(1, 2), 0.0);
  m.SetNrOfColumns(4);
  EXPECT_EQ(m.NrOfColumns(), 4);
}

TEST(MatrixContainer, ResizeToSameSizeFiresNothingButResizeAndClearClears) {
  TMatrix m;
  FillPattern(m, 2, 2);
  ChangeCounter counter;
  counter.Attach(m);
  EXPECT_TRUE(m.Resize(2, 2));
  EXPECT_EQ(counter.count, 0);
  EXPECT_EQ(m.Elem(2, 2), 22.0);
  EXPECT_TRUE(m.ResizeAndClear(2, 2));
  EXPECT_EQ(m.Elem(2, 2), 0.0);
  EXPECT_EQ(m.Elem(1, 1), 0.0);
  EXPECT_EQ(counter.count, 1);
  EXPECT_TRUE(m.Resize(3, 3));
  EXPECT_EQ(counter.count, 2);
}

TEST(MatrixContainer, ResizeBeyondMemoryRaisesAndKeepsMatrix) {
  TMatrix m;
  m.SetName("M1");
  FillPattern(m, 2, 3);
  ChangeCounter counter;
  counter.Attach(m);
  // 8 TB, more than any test machine holds; then a byte count beyond size_t.
  for (auto [c, r] : std::vector<std::pair<int, int>>{{1000000, 1000000}, {INT_MAX, INT_MAX}}) {
    try {
      m.Resize(c, r);
      FAIL() << "no exception for " << c << " x " << r;
    } catch (const DARIMatrixError& e) {
      EXPECT_STREQ(e.what(), "Component \"M1\": not enough memory on heap");
    }
    EXPECT_EQ(m.NrOfColumns(), 2);
    EXPECT_EQ(m.NrOfRows(), 3);
    EXPECT_EQ(m.Elem(2, 3), 23.0);
  }
  EXPECT_EQ(counter.count, 0);
}

struct RangeCase {
  int lo, hi, wantLo, wantHi;
};

TEST(MatrixContainer, MakeValidRanges) {
  TMatrix m;
  m.Resize(4, 6);
  const RangeCase colCases[] = {{0, 0, 1, 4}, {-3, 9, 1, 4}, {3, 2, 2, 3}, {5, 6, 4, 4}, {0, 2, 1, 2}};
  for (const auto& t : colCases) {
    int lo = t.lo, hi = t.hi;
    m.MakeValidColRange(lo, hi);
    EXPECT_EQ(lo, t.wantLo) << t.lo << "," << t.hi;
    EXPECT_EQ(hi, t.wantHi) << t.lo << "," << t.hi;
  }
  const RangeCase rowCases[] = {{0, 0, 1, 6}, {-3, 9, 1, 6}, {5, 2, 2, 5}, {7, 8, 6, 6}};
  for (const auto& t : rowCases) {
    int lo = t.lo, hi = t.hi;
    m.MakeValidRowRange(lo, hi);
    EXPECT_EQ(lo, t.wantLo);
    EXPECT_EQ(hi, t.wantHi);
  }
}

TEST(MatrixContainer, RangesOfAnEmptyExtentAreEmpty) {
  TMatrix m;
  m.Resize(0, 0);
  for (auto [l, h] : std::vector<std::pair<int, int>>{{0, 0}, {1, 5}, {-2, 3}}) {
    int lo = l, hi = h;
    m.MakeValidColRange(lo, hi);
    EXPECT_GT(lo, hi);
    lo = l;
    hi = h;
    m.MakeValidRowRange(lo, hi);
    EXPECT_GT(lo, hi);
  }
}

TEST(MatrixContainer, PrecisionSlotsClamp) {
  TMatrix m;
  m.SetPrecision(1, 40);
  EXPECT_EQ(m.Precision(1), 25);
  m.SetPrecision(2, -7);
  EXPECT_EQ(m.Precision(2), -1);
  m.SetPrecision(0, 3);  // slot 1
  EXPECT_EQ(m.Precision(1), 3);
  EXPECT_EQ(m.GetFPrecis(-4), 3);
  m.SetFPrecis(9, 12);  // slot 2
  EXPECT_EQ(m.Precision(2), 12);
}

TEST(MatrixContainer, AssignCopiesEverythingIncludingHandlers) {
  TMatrix a, b;
  FillPattern(a, 3, 2);
  a.SetDataID("data");
  a.SetPrecision(1, 7);
  a.SetPrecision(2, 3);
  int calls = 0;
  a.SetOnChange([&](TObject*) { ++calls; });
  a.SetOnCalcDistance([](TObject*, int, int, double& d) { d = 42.0; });
  b.Assign(&a);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(b.NrOfColumns(), 3);
  EXPECT_EQ(b.NrOfRows(), 2);
  EXPECT_EQ(b.Elem(3, 2), 32.0);
  EXPECT_EQ(b.DataID(), "data");
  EXPECT_EQ(b.Precision(1), 7);
  EXPECT_EQ(b.Precision(2), 3);
  b.SetElem(1, 1, 0.0);  // the copied handler fires
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(a.Elem(1, 1), 11.0);
  double d = 0;
  b.OnCalcDistance()(&b, 1, 2, d);
  EXPECT_EQ(d, 42.0);
}

TEST(MatrixContainer, AssignFromOtherClassRaises) {
  TMatrix m;
  TVector v;
  EXPECT_THROW(m.Assign(&v), EConvertError);
}

TEST(MatrixContainer, CloneCopiesValuesThroughSetterButNotHandlersOrID) {
  TMatrix a, b;
  FillPattern(a, 2, 3);
  a.SetDataID("src");
  a.SetOnChange([](TObject*) {});
  ChangeCounter counter;
  counter.Attach(b);
  b.Clone(&a);
  // one for the resize, one per cell, one at the end
  EXPECT_EQ(counter.count, 1 + 6 + 1);
  EXPECT_EQ(b.Elem(2, 3), 23.0);
  EXPECT_EQ(b.DataID(), "");
  b.Clone(nullptr);
  EXPECT_EQ(counter.count, 8);
}

TEST(MatrixContainer, CopyFromWritesOnlyCellsThatFit) {
  TMatrix src, dst;
  FillPattern(src, 3, 3);
  dst.Resize(4, 4);
  ChangeCounter counter;
  counter.Attach(dst);
  dst.CopyFrom(&src, 1, 1, 3, 3, 3, 3);
  EXPECT_EQ(counter.count, 4 + 1);
  EXPECT_EQ(dst.Elem(3, 3), 11.0);
  EXPECT_EQ(dst.Elem(4, 3), 21.0);
  EXPECT_EQ(dst.Elem(3, 4), 12.0);
  EXPECT_EQ(dst.Elem(4, 4), 22.0);
  EXPECT_EQ(dst.Sum(1, 1, 4, 4), 11.0 + 21.0 + 12.0 + 22.0);
}

TEST(MatrixContainer, CopyFromClampsAndOrdersSourceBounds) {
  TMatrix src, dst;
  FillPattern(src, 3, 3);
  dst.Resize(3, 3);
  dst.CopyFrom(&src, 9, 0, 2, -4, 1, 1);  // columns 2..3, rows 1..1
  EXPECT_EQ(dst.Elem(1, 1), 21.0);
  EXPECT_EQ(dst.Elem(2, 1), 31.0);
  EXPECT_EQ(dst.Elem(1, 2), 0.0);
  dst.CopyFrom(nullptr, 1, 1, 1, 1, 1, 1);
  dst.CopyFrom(&src, 1, 1, 1, 1, INT_MAX, INT_MIN);  // far outside: nothing, no overflow
  EXPECT_EQ(dst.Elem(1, 1), 21.0);
}

TEST(MatrixContainer, CopyFromItselfWithOverlapCopiesTheOriginalBlock) {
  for (bool withHandler : {false, true}) {
    TMatrix m;
    FillPattern(m, 4, 4);
    int calls = 0;
    if (withHandler) m.SetOnChange([&](TObject*) { ++calls; });
    m.CopyFrom(&m, 1, 1, 3, 3, 2, 2);  // shift the 3 x 3 block by one down and right
    for (int c = 2; c <= 4; ++c)
      for (int r = 2; r <= 4; ++r) EXPECT_EQ(m.Elem(c, r), 10.0 * (c - 1) + (r - 1)) << c << r;
    EXPECT_EQ(m.Elem(1, 1), 11.0);
    m.CopyFrom(&m, 2, 2, 4, 4, 1, 1);  // and back up-left: the original 3 x 3 block again
    for (int c = 1; c <= 3; ++c)
      for (int r = 1; r <= 3; ++r) EXPECT_EQ(m.Elem(c, r), 10.0 * c + r);
    if (withHandler) {
      EXPECT_EQ(calls, 2 * (9 + 1));
    }
  }
}

TEST(MatrixContainer, CopyFromVecAlongRowAndColumn) {
  TVector v;
  v.Resize(4);
  for (int i = 1; i <= 4; ++i) v.SetElem(i, i * 1.5);
  TMatrix m;
  m.Resize(3, 3);
  ChangeCounter counter;
  counter.Attach(m);
  m.CopyFromVec(dimColumns, &v, 2, 4, 2, 1);  // elements 2..4 along row 1 from column 2
  EXPECT_EQ(m.Elem(2, 1), 3.0);
  EXPECT_EQ(m.Elem(3, 1), 4.5);
  EXPECT_EQ(counter.count, 2 + 1);
  m.CopyFromVec(&v, 0, 0, 1, 2);  // the whole vector down column 1 from row 2
  EXPECT_EQ(m.Elem(1, 2), 1.5);
  EXPECT_EQ(m.Elem(1, 3), 3.0);
  EXPECT_EQ(m.Elem(1, 1), 0.0);
  counter.count = 0;
  m.CopyFromVec(static_cast<TDims>(7), &v, 1, 4, 1, 1);  // unknown direction: only notifies
  EXPECT_EQ(counter.count, 1);
  EXPECT_EQ(m.Elem(1, 1), 0.0);
  m.CopyFromVec(dimRows, nullptr, 1, 4, 1, 1);
  EXPECT_EQ(counter.count, 1);
}

TEST(MatrixContainer, CopyRowAndColumnToVector) {
  TMatrix m;
  FillPattern(m, 5, 3);
  TVector shortVec, longVec;
  shortVec.Resize(2);
  longVec.Resize(7);
  longVec.Fill(9.0);
  m.CopyRowToVec(&shortVec, 2, 0, 0);
  EXPECT_EQ(shortVec.Elem(1), 12.0);
  EXPECT_EQ(shortVec.Elem(2), 22.0);
  m.CopyRowToVec(&longVec, 99, 1, 5);  // row clamped to 3
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(longVec.Elem(i), 10.0 * i + 3);
  EXPECT_EQ(longVec.Elem(6), 0.0);
  EXPECT_EQ(longVec.Elem(7), 0.0);
  m.CopyColToVec(&longVec, -3, 3, 2);  // column 1, rows 2..3
  EXPECT_EQ(longVec.Elem(1), 12.0);
  EXPECT_EQ(longVec.Elem(2), 13.0);
  EXPECT_EQ(longVec.Elem(3), 0.0);
  m.CopyColToVec(nullptr, 1, 1, 1);
  // An empty matrix leaves only the zeros.
  TMatrix e;
  e.Resize(0, 3);
  longVec.Fill(1.0);
  e.CopyRowToVec(&longVec, 1, 0, 0);
  e.CopyColToVec(&longVec, 1, 0, 0);
  EXPECT_EQ(longVec.Elem(1), 0.0);
}

TEST(MatrixContainer, FillsNotifyOnce) {
  TMatrix m;
  m.Resize(3, 2);
  ChangeCounter counter;
  counter.Attach(m);
  m.Fill(2.5);
  EXPECT_EQ(m.Sum(0, 0, 0, 0), 6 * 2.5);
  m.FillDiag(-1.0);
  EXPECT_EQ(m.Elem(1, 1), -1.0);
  EXPECT_EQ(m.Elem(2, 2), -1.0);
  EXPECT_EQ(m.Elem(3, 1), 2.5);
  m.FillRandomUniform(3.0, 4.0);
  for (int c = 1; c <= 3; ++c)
    for (int r = 1; r <= 2; ++r) {
      EXPECT_GE(m.Elem(c, r), 3.0);
      EXPECT_LT(m.Elem(c, r), 4.0);
    }
  m.FillRandomGauss(100.0, 0.0);
  EXPECT_EQ(m.Elem(3, 2), 100.0);
  EXPECT_EQ(counter.count, 4);
}

TEST(MatrixContainer, CRCofData) {
  TMatrix m;
  // CRC-32 of one zero byte is D202EF8D: every register sees exactly one.
  std::string zeroByte;
  for (int k = 0; k < 8; ++k) zeroByte += "D202EF8D";
  EXPECT_EQ(m.CRCofData(), zeroByte);
  TMatrix a, b;
  FillPattern(a, 3, 4);
  b.Resize(1, 1);
  b.Resize(3, 4);
  for (int c = 1; c <= 3; ++c)
    for (int r = 1; r <= 4; ++r) b.SetElem(c, r, a.Elem(c, r));
  EXPECT_EQ(a.CRCofData(), b.CRCofData());
  EXPECT_EQ(a.CRCofData().size(), 64u);
  b.ExchangeRows(1, 2);
  EXPECT_NE(a.CRCofData(), b.CRCofData());
  TMatrix e;
  e.Resize(0, 5);
  EXPECT_EQ(e.CRCofData(), std::string(64, '0'));
}

TEST(MatrixContainer, TransposeKeepsValuesAndHiddenCells) {
  TMatrix m;
  FillPattern(m, 2, 3);
  ChangeCounter counter;
  counter.Attach(m);
  ASSERT_TRUE(m.Transpose());
  EXPECT_EQ(m.NrOfColumns(), 3);
  EXPECT_EQ(m.NrOfRows(), 2);
  for (int c = 1; c <= 3; ++c)
    for (int r = 1; r <= 2; ++r) EXPECT_EQ(m.Elem(c, r), 10.0 * r + c);
  EXPECT_EQ(counter.count, 1);
  // 0 x 3: the hidden column becomes the hidden row.
  m.Resize(0, 2);
  ASSERT_TRUE(m.Transpose());
  EXPECT_EQ(m.NrOfColumns(), 2);
  EXPECT_EQ(m.NrOfRows(), 0);
  m.Resize(2, 1);  // the old first column (11, 21) comes back as the first row
  EXPECT_EQ(m.Elem(1, 1), 11.0);
  EXPECT_EQ(m.Elem(2, 1), 21.0);
}

TEST(MatrixContainer, OwnerDestroysMatrix) {
  TComponent owner;
  auto* m = new TMatrix(&owner);
  m->Resize(3, 3);
  EXPECT_EQ(owner.ComponentCount(), 1);
}

TEST(MatrixXmlTags, TableFollowsEnumeration) {
  EXPECT_EQ(MatXmlTagWords[xmlMatNumCols], "numcols");
  EXPECT_EQ(MatXmlTagWords[xmlMatNumLayers], "numplanes");
  EXPECT_EQ(MatXmlTagWords[xmlMatNumTimeSlots], "numtimeslots");
  EXPECT_EQ(MatXmlTagWords[xmlMatEnd], "/matrix");
  EXPECT_EQ(MatXmlTagWords[xmlInvalid], "invalidtag");
  EXPECT_EQ(sizeof(TMatXmlTag), 1u);
}

}  // namespace
}  // namespace dari
