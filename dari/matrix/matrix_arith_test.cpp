// Tests of the TMatrix arithmetic and of the exact-order product kernel.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "dari/base/constants.h"
#include "dari/base/progress.h"
#include "dari/matrix/internal/gemm.h"
#include "dari/matrix/matrix.h"

namespace dari {
namespace {

// Sets m to the given rows (row-major literal), so tests read like the algebra.
void SetRows(TMatrix& m, std::initializer_list<std::initializer_list<double>> rows) {
  const int nr = static_cast<int>(rows.size());
  const int nc = static_cast<int>(rows.begin()->size());
  m.Resize(nc, nr);
  int r = 1;
  for (const auto& row : rows) {
    int c = 1;
    for (double v : row) m.SetElem(c++, r, v);
    ++r;
  }
}

void ExpectRows(const TMatrix& m, std::initializer_list<std::initializer_list<double>> rows) {
  ASSERT_EQ(m.NrOfRows(), static_cast<int>(rows.size()));
  ASSERT_EQ(m.NrOfColumns(), static_cast<int>(rows.begin()->size()));
  int r = 1;
  for (const auto& row : rows) {
    int c = 1;
    for (double v : row) EXPECT_EQ(m.Elem(c++, r), v) << "cell " << c - 1 << "," << r;
    ++r;
  }
}

void FillRandom(TMatrix& m, int Nc, int Nr, unsigned seed) {
  std::mt19937_64 gen(seed);
  std::uniform_real_distribution<double> dist(-1.0, 1.0);
  m.Resize(Nc, Nr);
  for (int c = 1; c <= Nc; ++c)
    for (int r = 1; r <= Nr; ++r) m.SetElem(c, r, dist(gen));
}

bool SameBits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(MatrixArith, AddSubtractAndScalars) {
  TMatrix a, b;
  SetRows(a, {{1, 2}, {3, 4}, {5, 6}});
  SetRows(b, {{10, 20}, {30, 40}, {50, 60}});
  int calls = 0;
  a.SetOnChange([&](TObject*) { ++calls; });
  EXPECT_TRUE(a.Add(&b));
  ExpectRows(a, {{11, 22}, {33, 44}, {55, 66}});
  EXPECT_TRUE(a.Subtract(&b));
  ExpectRows(a, {{1, 2}, {3, 4}, {5, 6}});
  a.SAdd(1);
  a.SMult(2);
  ExpectRows(a, {{4, 6}, {8, 10}, {12, 14}});
  EXPECT_EQ(calls, 4);
  TMatrix wrong;
  wrong.Resize(3, 2);
  EXPECT_FALSE(a.Add(&wrong));
  EXPECT_FALSE(a.Subtract(nullptr));
  EXPECT_EQ(calls, 4);
  EXPECT_TRUE(a.Add(&a));  // with itself: doubles
  ExpectRows(a, {{8, 12}, {16, 20}, {24, 28}});
}

TEST(MatrixArith, MultiplyShapesAndValues) {
  TMatrix a, b, res;
  SetRows(a, {{1, 2, 3}, {4, 5, 6}});                       // 3 columns, 2 rows
  SetRows(b, {{1, 0, 2, -1}, {0, 1, 1, 2}, {1, 1, 0, 3}});  // 4 columns, 3 rows
  ASSERT_TRUE(a.Multiply(&b, &res));
  ExpectRows(res, {{4, 5, 4, 12}, {10, 11, 13, 24}});
  TMatrix twoRows;
  SetRows(twoRows, {{1, 2}, {3, 4}});
  EXPECT_FALSE(a.Multiply(&twoRows, &res));
  ExpectRows(res, {{4, 5, 4, 12}, {10, 11, 13, 24}});
  EXPECT_FALSE(a.Multiply(static_cast<const TMatrix*>(nullptr), &res));
  EXPECT_FALSE(a.Multiply(&b, static_cast<TMatrix*>(nullptr)));
}

TEST(MatrixArith, ProductIntoAnOperandIsRight) {
  TMatrix a, b, expected;
  SetRows(a, {{1, 2}, {3, 4}});
  SetRows(b, {{5, 6}, {7, 8}});
  ASSERT_TRUE(a.Multiply(&b, &a));
  ExpectRows(a, {{19, 22}, {43, 50}});
  SetRows(a, {{1, 2}, {3, 4}});
  ASSERT_TRUE(a.Multiply(&b, &b));
  ExpectRows(b, {{19, 22}, {43, 50}});
  SetRows(a, {{1, 2}, {3, 4}});
  ASSERT_TRUE(a.Multiply(&a, &a));
  ExpectRows(a, {{7, 10}, {15, 22}});
  SetRows(a, {{1, 2, 3}, {4, 5, 6}});
  ASSERT_TRUE(a.MultiplyTransposed(&a, &a));  // A A^T, 2 x 2
  ExpectRows(a, {{14, 32}, {32, 77}});
  SetRows(a, {{1, 2}, {3, 4}});
  ASSERT_TRUE(a.TransposeAndMultiply(&a, &a));  // A^T A
  ExpectRows(a, {{10, 14}, {14, 20}});
  SetRows(a, {{1, 2}, {3, 4}});
  ASSERT_TRUE(a.EMult(&a, &a));
  ExpectRows(a, {{1, 4}, {9, 16}});
}

TEST(MatrixArith, ProductResultFiresOnePerCellAndOperandOnce) {
  TMatrix a, b, res;
  SetRows(a, {{1, 2, 3}, {4, 5, 6}});
  SetRows(b, {{1, 0}, {0, 1}, {1, 1}});
  int resCalls = 0, aCalls = 0;
  std::vector<double> seen;
  res.SetOnChange([&](TObject*) {
    ++resCalls;
    seen.push_back(res.Elem(2, 2));
  });
  a.SetOnChange([&](TObject*) { ++aCalls; });
  ASSERT_TRUE(a.Multiply(&b, &res));  // res 1x1 -> 2x2: one resize event and four cells
  EXPECT_EQ(resCalls, 1 + 4);
  EXPECT_EQ(aCalls, 1);
  ExpectRows(res, {{4, 5}, {10, 11}});
  // Cells arrive one by one: cell (2, 2) is the last one written.
  ASSERT_EQ(seen.size(), 5u);
  EXPECT_EQ(seen[3], 0.0);
  EXPECT_EQ(seen[4], 11.0);
  resCalls = 0;
  ASSERT_TRUE(a.MultiplyTransposed(&a, &res));  // same size: no resize event
  EXPECT_EQ(resCalls, 4);
  resCalls = 0;
  ASSERT_TRUE(a.EMult(&a, &a));  // a is the result here
  EXPECT_EQ(aCalls, 2 + 6 + 1);
}

TEST(MatrixArith, TransposedProducts) {
  TMatrix a, res;
  SetRows(a, {{1, 2, 3}, {4, 5, 6}});
  ASSERT_TRUE(a.MultiplyTransposed(&a, &res));
  ExpectRows(res, {{14, 32}, {32, 77}});
  ASSERT_TRUE(a.TransposeAndMultiply(&a, &res));
  ExpectRows(res, {{17, 22, 27}, {22, 29, 36}, {27, 36, 45}});
  TMatrix b;
  SetRows(b, {{1, 2, 3, 4}});
  EXPECT_FALSE(a.TransposeAndMultiply(&b, &res));  // rows differ
  EXPECT_FALSE(b.MultiplyTransposed(&a, &res));    // columns differ
  ExpectRows(res, {{17, 22, 27}, {22, 29, 36}, {27, 36, 45}});
}

TEST(MatrixArith, MatrixVectorProducts) {
  TMatrix a;
  SetRows(a, {{1, 2, 3}, {4, 5, 6}});
  TVector x, y;
  x.Resize(3);
  x.SetElem(1, 1);
  x.SetElem(2, 0);
  x.SetElem(3, -1);
  ASSERT_TRUE(a.Multiply(&x, &y));
  ASSERT_EQ(y.NrOfElem(), 2);
  EXPECT_EQ(y.Elem(1), -2.0);
  EXPECT_EQ(y.Elem(2), -2.0);
  TVector b;
  b.Resize(2);
  b.SetElem(1, 1);
  b.SetElem(2, 2);
  ASSERT_TRUE(a.TransposeAndMultiply(&b, &y));
  ASSERT_EQ(y.NrOfElem(), 3);
  EXPECT_EQ(y.Elem(1), 9.0);
  EXPECT_EQ(y.Elem(2), 12.0);
  EXPECT_EQ(y.Elem(3), 15.0);
  EXPECT_FALSE(a.Multiply(&b, &y));
  EXPECT_FALSE(a.TransposeAndMultiply(&x, &y));
  EXPECT_FALSE(a.Multiply(&x, static_cast<TVector*>(nullptr)));
  // The result may be the operand vector.
  ASSERT_TRUE(a.TransposeAndMultiply(&b, &b));
  EXPECT_EQ(b.NrOfElem(), 3);
  EXPECT_EQ(b.Elem(3), 15.0);
  // A vector result with a handler sees one event per element.
  int calls = 0;
  y.SetOnChange([&](TObject*) { ++calls; });
  ASSERT_TRUE(a.Multiply(&x, &y));
  EXPECT_EQ(calls, 1 + 2);  // resize 3 -> 2, then two elements
}

TEST(MatrixArith, WideVectorProductKeepsAscendingOrder) {
  // Nine columns exercise the four-column blocks and the tail of A^T b.
  TMatrix a;
  FillRandom(a, 9, 31, 5);
  TVector b, y;
  b.Resize(31);
  for (int i = 1; i <= 31; ++i) b.SetElem(i, std::sin(i));
  ASSERT_TRUE(a.TransposeAndMultiply(&b, &y));
  for (int c = 1; c <= 9; ++c) {
    double s = 0.0;
    for (int k = 1; k <= 31; ++k) s += a.Elem(c, k) * b.Elem(k);
    EXPECT_TRUE(SameBits(y.Elem(c), s)) << c;
  }
}

TEST(MatrixArith, EmptyOperandsTouchNothing) {
  TMatrix a, b, res;
  a.Resize(0, 3);                     // 0 columns, 3 rows
  b.Resize(4, 0);                     // 4 columns, 0 rows
  ASSERT_TRUE(a.Multiply(&b, &res));  // inner dimension 0: zeros
  ASSERT_EQ(res.NrOfColumns(), 4);
  ASSERT_EQ(res.NrOfRows(), 3);
  EXPECT_EQ(res.Sum(0, 0, 0, 0), 0.0);
  TMatrix c;
  c.Resize(3, 4);
  ASSERT_TRUE(b.Multiply(&c, &res));  // no rows: result 3 columns x 0 rows
  EXPECT_EQ(res.NrOfColumns(), 3);
  EXPECT_EQ(res.NrOfRows(), 0);
  EXPECT_FALSE(b.Multiply(&a, &res));  // 4 columns against 3 rows
  TMatrix sq;
  ASSERT_TRUE(b.Square(&sq, 1.0));
  EXPECT_EQ(sq.NrOfColumns(), 4);
  EXPECT_EQ(sq.Sum(0, 0, 0, 0), 0.0);
  EXPECT_EQ(a.Sum(0, 0, 0, 0), 0.0);
  EXPECT_EQ(a.Sum(1, 1, 5, 5), 0.0);
  EXPECT_EQ(a.Trace(), 0.0);
  a.SAdd(1.0);
  a.MirrorColumns();
  a.MirrorRows();
  a.Diff(1);
  EXPECT_EQ(a.NrOfRows(), 2);
}

TEST(MatrixArith, SquareEqualsTransposeAndMultiplyScaled) {
  TMatrix a, sq, ata;
  FillRandom(a, 70, 45, 11);  // more than one strip of result rows
  ASSERT_TRUE(a.Square(&sq, 1.0));
  ASSERT_TRUE(a.TransposeAndMultiply(&a, &ata));
  ASSERT_EQ(sq.NrOfColumns(), 70);
  ASSERT_EQ(sq.NrOfRows(), 70);
  for (int c = 1; c <= 70; ++c)
    for (int r = 1; r <= 70; ++r) ASSERT_TRUE(SameBits(sq.Elem(c, r), ata.Elem(c, r))) << c << "," << r;
  ASSERT_TRUE(a.Square(&sq, 4.0));
  EXPECT_EQ(sq.Elem(3, 5), ata.Elem(3, 5) / 4.0);
  EXPECT_EQ(sq.Elem(5, 3), ata.Elem(3, 5) / 4.0);
}

TEST(MatrixArith, SquareProgressAbortNormAndAliasing) {
  TMatrix a, r;
  SetRows(a, {{1, 2}, {3, 4}, {5, 6}});
  const double before = ProcStat;
  int notified = 0;
  MathFeedBackProc = [&](double) { ++notified; };
  ASSERT_TRUE(a.Square(&r, 2.0));
  MathFeedBackProc = nullptr;
  EXPECT_EQ(ProcStat - before, 2.0);
  EXPECT_EQ(notified, 2);
  ExpectRows(r, {{35.0 / 2, 44.0 / 2}, {44.0 / 2, 56.0 / 2}});
  // Norm 0: false, nothing computed or resized.
  TMatrix untouched;
  EXPECT_FALSE(a.Square(&untouched, 0.0));
  EXPECT_EQ(untouched.NrOfColumns(), 1);
  EXPECT_FALSE(a.Square(nullptr, 1.0));
  // Abort requested before the call: false after resizing the result.
  TMatrix aborted;
  AbortMathProc = true;
  EXPECT_FALSE(a.Square(&aborted, 1.0));
  AbortMathProc = false;
  EXPECT_EQ(aborted.NrOfColumns(), 2);
  EXPECT_EQ(aborted.NrOfRows(), 2);
  // Abort requested during the first step: column 1 is done, column 2 is not.
  TMatrix partial;
  MathFeedBackProc = [](double) { AbortMathProc = true; };
  EXPECT_FALSE(a.Square(&partial, 1.0));
  MathFeedBackProc = nullptr;
  AbortMathProc = false;
  EXPECT_EQ(partial.Elem(1, 1), 35.0);
  EXPECT_EQ(partial.Elem(2, 1), 44.0);
  EXPECT_EQ(partial.Elem(2, 2), 0.0);
  // Into itself.
  ASSERT_TRUE(a.Square(&a, 1.0));
  ExpectRows(a, {{35, 44}, {44, 56}});
}

TEST(MatrixArith, TraceSumAndRanges) {
  TMatrix a;
  SetRows(a, {{1, 2, 3}, {4, 5, 6}});
  EXPECT_EQ(a.Trace(), 0.0);  // 3 columns, 2 rows
  SetRows(a, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
  EXPECT_EQ(a.Trace(), 15.0);
  EXPECT_EQ(a.Sum(0, 0, 0, 0), 45.0);
  EXPECT_EQ(a.Sum(2, 1, 3, 2), 2 + 3 + 5 + 6);
  EXPECT_EQ(a.Sum(3, 2, 2, 1), 2 + 3 + 5 + 6);  // reversed bounds
  EXPECT_EQ(a.Sum(-4, 3, 99, 99), 7 + 8 + 9);
}

TEST(MatrixArith, Diff) {
  struct Case {
    int order;
    std::vector<double> want;
  };
  const Case cases[] = {{1, {3, 5, 7}},      {2, {2, 2}},        {3, {0}},           {4, {1, 4, 9, 16}},
                        {11, {1, 4, 9, 16}}, {0, {1, 4, 9, 16}}, {-1, {1, 4, 9, 16}}};
  for (const auto& t : cases) {
    TMatrix m;
    m.Resize(1, 4);
    for (int r = 1; r <= 4; ++r) m.SetElem(1, r, r * r);
    m.Diff(t.order);
    ASSERT_EQ(m.NrOfRows(), static_cast<int>(t.want.size())) << t.order;
    for (size_t i = 0; i < t.want.size(); ++i) EXPECT_EQ(m.Elem(1, static_cast<int>(i) + 1), t.want[i]);
  }
  // Two columns are differenced independently; the third difference of a cubic is 6.
  TMatrix m;
  m.Resize(2, 6);
  for (int r = 1; r <= 6; ++r) {
    m.SetElem(1, r, r);
    m.SetElem(2, r, r * r * r);
  }
  m.Diff(3);
  ASSERT_EQ(m.NrOfRows(), 3);
  for (int r = 1; r <= 3; ++r) {
    EXPECT_EQ(m.Elem(1, r), 0.0);
    EXPECT_EQ(m.Elem(2, r), 6.0);
  }
}

TEST(MatrixArith, EdgeVector) {
  TMatrix a;
  SetRows(a, {{1, 8}, {2, 7}, {3, 6}, {-4, 5}});  // 2 columns, 4 rows
  TVector v;
  a.EdgeVector(orVertical, eopMean, &v);  // any ordinal but 0: per column
  ASSERT_EQ(v.NrOfElem(), 2);
  EXPECT_EQ(v.Elem(1), 2.0 / 4);
  EXPECT_EQ(v.Elem(2), 26.0 / 4);
  a.EdgeVector(orHorizontal, eopMax, &v);  // per row
  ASSERT_EQ(v.NrOfElem(), 4);
  EXPECT_EQ(v.Elem(1), 8.0);
  EXPECT_EQ(v.Elem(4), 5.0);
  a.EdgeVector(orHorizontal, eopMin, &v);
  EXPECT_EQ(v.Elem(4), -4.0);
  a.EdgeVector(orVertical, eopSum, &v);
  ASSERT_EQ(v.NrOfElem(), 2);
  EXPECT_EQ(v.Elem(2), 26.0);
  // No columns: the start values stand, and a mean over nothing is 0.
  TMatrix e;
  e.Resize(0, 3);
  e.EdgeVector(orHorizontal, eopMin, &v);
  ASSERT_EQ(v.NrOfElem(), 3);
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(v.Elem(i), static_cast<double>(uc_MaxDouble));
  e.EdgeVector(orHorizontal, eopMax, &v);
  EXPECT_EQ(v.Elem(2), -static_cast<double>(uc_MaxDouble));
  e.EdgeVector(orHorizontal, eopMean, &v);
  EXPECT_EQ(v.Elem(1), 0.0);
  EXPECT_FALSE(std::isnan(v.Elem(1)));
  e.EdgeVector(orVertical, eopMean, nullptr);
}

TEST(MatrixArith, ExchangeAndMirror) {
  TMatrix a;
  SetRows(a, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}, {13, 14, 15}});
  int calls = 0;
  a.SetOnChange([&](TObject*) { ++calls; });
  a.MirrorRows();
  ExpectRows(a, {{13, 14, 15}, {10, 11, 12}, {7, 8, 9}, {4, 5, 6}, {1, 2, 3}});
  a.MirrorColumns();
  ExpectRows(a, {{15, 14, 13}, {12, 11, 10}, {9, 8, 7}, {6, 5, 4}, {3, 2, 1}});
  a.ExchangeColumns(1, 3);
  a.ExchangeRows(2, 5);
  ExpectRows(a, {{13, 14, 15}, {1, 2, 3}, {7, 8, 9}, {4, 5, 6}, {10, 11, 12}});
  EXPECT_EQ(calls, 4);
  // Indices outside the matrix: no change, no event.
  for (auto [i, j] : std::vector<std::pair<int, int>>{{0, 1}, {1, 4}, {-2, 2}, {2, 99}}) {
    a.ExchangeColumns(i, j);
  }
  for (auto [i, j] : std::vector<std::pair<int, int>>{{0, 1}, {1, 6}, {-2, 2}}) a.ExchangeRows(i, j);
  EXPECT_EQ(calls, 4);
  ExpectRows(a, {{13, 14, 15}, {1, 2, 3}, {7, 8, 9}, {4, 5, 6}, {10, 11, 12}});
}

// The plain triple loop every path must reproduce bit for bit.
void NaiveProduct(int64_t m, int64_t n, int64_t k, const double* A, int64_t lda, bool ta, const double* B,
                  int64_t ldb, bool tb, double* C, int64_t ldc) {
  for (int64_t c = 0; c < n; ++c)
    for (int64_t r = 0; r < m; ++r) {
      double s = 0.0;
      for (int64_t i = 0; i < k; ++i) {
        const double a = ta ? A[i + r * lda] : A[r + i * lda];
        const double b = tb ? B[c + i * ldb] : B[i + c * ldb];
        s += a * b;
      }
      C[r + c * ldc] = s;
    }
}

TEST(GemmKernel, EveryPathMatchesTheTripleLoopBitForBit) {
  using detail::TGemmPath;
  struct Shape {
    int64_t m, n, k;
  };
  // Odd sizes, and sizes that cross the cache blocks (256 terms, 128 rows).
  const Shape shapes[] = {{37, 29, 53}, {1, 1, 1}, {5, 3, 0}, {131, 13, 300}, {9, 70, 257}};
  std::mt19937_64 gen(42);
  std::uniform_real_distribution<double> dist(-1e3, 1e3);
  for (const auto& s : shapes) {
    for (int trans = 0; trans < 4; ++trans) {
      const bool ta = trans & 1, tb = trans & 2;
      const int64_t lda = (ta ? s.k : s.m) + 3;  // strides wider than the data
      const int64_t ldb = (tb ? s.n : s.k) + 2;
      const int64_t ldc = s.m + 1;
      std::vector<double> A(static_cast<size_t>(lda * (ta ? s.m : s.k) + 1));
      std::vector<double> B(static_cast<size_t>(ldb * (tb ? s.k : s.n) + 1));
      for (double& x : A) x = dist(gen) * std::pow(10.0, static_cast<int>(dist(gen)) % 9);
      for (double& x : B) x = dist(gen);
      std::vector<double> want(static_cast<size_t>(ldc * s.n), -7.0);
      NaiveProduct(s.m, s.n, s.k, A.data(), lda, ta, B.data(), ldb, tb, want.data(), ldc);
      for (TGemmPath path : {TGemmPath::Generic, TGemmPath::Avx2, TGemmPath::Avx512, TGemmPath::Auto}) {
        if (!detail::GemmPathAvailable(path)) continue;
        std::vector<double> got(want.size(), -7.0);
        detail::GemmExact(s.m, s.n, s.k, A.data(), lda, ta, B.data(), ldb, tb, got.data(), ldc, path);
        for (size_t i = 0; i < got.size(); ++i)
          ASSERT_TRUE(SameBits(got[i], want[i])) << detail::GemmPathName(path) << " " << s.m << "x" << s.n
                                                 << "x" << s.k << " trans " << trans << " at " << i;
      }
    }
  }
}

TEST(GemmKernel, MultiplyMatchesTripleLoopOnOddSizes) {
  TMatrix a, b, res;
  FillRandom(a, 53, 37, 1);  // 37 x 53 times 53 x 29
  FillRandom(b, 29, 53, 2);
  ASSERT_TRUE(a.Multiply(&b, &res));
  for (int c = 1; c <= 29; ++c)
    for (int r = 1; r <= 37; ++r) {
      double s = 0.0;
      for (int i = 1; i <= 53; ++i) s += a.Elem(i, r) * b.Elem(c, i);
      ASSERT_TRUE(SameBits(res.Elem(c, r), s));
    }
}

}  // namespace
}  // namespace dari
