#include "dari/math1/array_stats.h"

#include <gtest/gtest.h>

#include <limits>

#include "dari/base/constants.h"

namespace dari {
namespace {

const double kMax = static_cast<double>(uc_MaxDouble);

TEST(MinMaxOfArray, TiesKeepTheFirstPosition) {
  const TDoubleArray a{4, 1, 9, 1, 9};
  double mn, mx;
  int imn, imx;
  ASSERT_EQ(MinMaxOfArray(a, 0, 4, mn, mx, imn, imx), 0);
  EXPECT_EQ(mn, 1);
  EXPECT_EQ(imn, 1);
  EXPECT_EQ(mx, 9);
  EXPECT_EQ(imx, 2);
  ASSERT_EQ(MinMaxOfArray(a, 3, 3, mn, mx, imn, imx), 0);
  EXPECT_EQ(mn, 1);
  EXPECT_EQ(mx, 1);
  EXPECT_EQ(imn, 3);
  EXPECT_EQ(imx, 3);
}

TEST(MinMaxOfArray, BadRangesAnswerMinusOneWithStartValues) {
  const TDoubleArray a{4, 1, 9, 1, 9};
  const TDoubleArray empty;
  struct Case {
    const TDoubleArray* data;
    int first, last;
  } cases[] = {{&a, 0, 5}, {&a, -1, 2}, {&a, 3, 1}, {&empty, 0, 0}};
  for (const Case& c : cases) {
    double mn = 7, mx = 7;
    int imn = 7, imx = 7;
    EXPECT_EQ(MinMaxOfArray(*c.data, c.first, c.last, mn, mx, imn, imx), -1) << c.first << ".." << c.last;
    EXPECT_EQ(mn, kMax);
    EXPECT_EQ(mx, -kMax);
    EXPECT_EQ(imn, 0);
    EXPECT_EQ(imx, 0);
  }
}

TEST(MeanVarOfArray, DivisorNMinusOneAndVarianceOneForFewElements) {
  const TDoubleArray a{2, 4, 6};
  double mean, var;
  ASSERT_EQ(MeanVarOfArray(a, 0, 2, mean, var), 0);
  EXPECT_DOUBLE_EQ(mean, 4);
  EXPECT_DOUBLE_EQ(var, 4);  // ((2-4)^2 + 0 + (6-4)^2) / 2
  ASSERT_EQ(MeanVarOfArray(a, 1, 2, mean, var), 0);
  EXPECT_DOUBLE_EQ(mean, 5);
  EXPECT_EQ(var, 1.0);
  ASSERT_EQ(MeanVarOfArray(a, 2, 2, mean, var), 0);
  EXPECT_DOUBLE_EQ(mean, 6);
  EXPECT_EQ(var, 1.0);
}

TEST(MeanVarOfArray, RoundingNeverGivesANegativeVariance) {
  // Equal large values: the textbook formula may cancel to a tiny negative number.
  const TDoubleArray a(1001, 1e8 + 0.1);
  double mean, var;
  ASSERT_EQ(MeanVarOfArray(a, 0, 1000, mean, var), 0);
  EXPECT_GE(var, 0);
  EXPECT_NEAR(var, 0, 1e-3);
}

TEST(MeanVarOfArray, ReversedOrOutsideRangesAnswerMinusOne) {
  const TDoubleArray a{2, 4, 6};
  const TDoubleArray empty;
  struct Case {
    const TDoubleArray* data;
    int first, last;
  } cases[] = {{&a, 2, 1}, {&a, 0, 3}, {&a, -1, 1}, {&empty, 0, 0}, {&empty, 0, -1}};
  for (const Case& c : cases) {
    double mean = 7, var = 7;
    EXPECT_EQ(MeanVarOfArray(*c.data, c.first, c.last, mean, var), -1) << c.first << ".." << c.last;
    EXPECT_EQ(mean, 0);
    EXPECT_EQ(var, 0);
  }
}

TEST(MinMaxOfArray2D, VisitsIOuterJInner) {
  const TDouble2DArray a{{1, 5}, {0, 5}};
  double mn, mx;
  int mi, mj, xi, xj;
  ASSERT_EQ(MinMaxOfArray(a, 0, 0, 1, 1, mn, mx, mi, mj, xi, xj), 0);
  EXPECT_EQ(mn, 0);
  EXPECT_EQ(mi, 1);
  EXPECT_EQ(mj, 0);
  EXPECT_EQ(mx, 5);
  EXPECT_EQ(xi, 0);
  EXPECT_EQ(xj, 1);
}

TEST(MeanVarOfArray2D, SubRangeOfARectangle) {
  const TDouble2DArray a{{9, 1, 2}, {9, 3, 4}, {9, 9, 9}};
  double mean, var;
  ASSERT_EQ(MeanVarOfArray(a, 0, 1, 1, 2, mean, var), 0);
  EXPECT_DOUBLE_EQ(mean, 2.5);       // 1, 2, 3, 4
  EXPECT_DOUBLE_EQ(var, 5.0 / 3.0);  // sum of squared deviations 5, divisor 3
}

// Ragged and empty arrays: every inner array the range touches is checked, not
// only the first, so nothing is read past an end (AddressSanitizer would catch it).
TEST(ArrayStats2D, RaggedOrEmptyArraysAnswerMinusOne) {
  const TDouble2DArray ragged{{1, 2, 3}, {4}, {5, 6, 7}};
  const TDouble2DArray emptyOuter;
  const TDouble2DArray emptyInner{{}, {}};
  struct Case {
    const TDouble2DArray* data;
    int fi, fj, li, lj;
  } cases[] = {
      {&ragged, 0, 0, 2, 2},  // row 1 too short
      {&ragged, 1, 1, 1, 1},  // row 1 has no index 1
      {&ragged, 0, 2, 1, 1},  // reversed j
      {&ragged, 2, 0, 1, 0},  // reversed i
      {&ragged, 0, 0, 3, 0},  // i beyond the outer array
      {&emptyOuter, 0, 0, 0, 0}, {&emptyInner, 0, 0, 1, 0},
  };
  for (const Case& c : cases) {
    double mn, mx, mean = 7, var = 7;
    int mi, mj, xi, xj;
    EXPECT_EQ(MinMaxOfArray(*c.data, c.fi, c.fj, c.li, c.lj, mn, mx, mi, mj, xi, xj), -1);
    EXPECT_EQ(mn, kMax);
    EXPECT_EQ(mx, -kMax);
    EXPECT_EQ(MeanVarOfArray(*c.data, c.fi, c.fj, c.li, c.lj, mean, var), -1);
    EXPECT_EQ(mean, 0);
    EXPECT_EQ(var, 0);
  }
  // Rows that are long enough for the range are fine even when others are not.
  double mean, var;
  ASSERT_EQ(MeanVarOfArray(ragged, 0, 0, 2, 0, mean, var), 0);
  EXPECT_DOUBLE_EQ(mean, 10.0 / 3.0);  // 1, 4, 5
}

TEST(KahanSum, KeepsTheBitsPlainSummationLoses) {
  TKahanSum k;
  EXPECT_EQ(k.Sum, 0);
  EXPECT_EQ(k.cps, 0);
  k.Add(1.0);
  double plain = 1.0;
  for (int i = 0; i < 10000000; ++i) {
    k.Add(1e-16);
    plain += 1e-16;
  }
  EXPECT_EQ(plain, 1.0);  // each 1e-16 is below half an ulp of 1
  EXPECT_NEAR(k.Sum, 1.000000001, 1e-15);
  k.Reset();
  EXPECT_EQ(k.Sum, 0);
  EXPECT_EQ(k.cps, 0);
}

TEST(KahanSum, StrictCopyAgreesWithTheInlineAdd) {
  // The out-of-line copy serves callers compiled with fast-math; both must give
  // the same bits.
  TKahanSum a, b;
  for (int i = 1; i <= 1000; ++i) {
    const double x = 1.0 / i - (i % 3 == 0 ? 1e8 : 0.0);
    a.Add(x);
    b.AddStrict(x);
  }
  EXPECT_EQ(a.Sum, b.Sum);
  EXPECT_EQ(a.cps, b.cps);
}

TEST(KahanSum, IsAComponentDestroyedByItsOwner) {
  TComponent owner;
  auto* k = new TKahanSum(&owner);
  EXPECT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(k->ClassName(), "TKahanSum");
}

}  // namespace
}  // namespace dari
