// Tests of the statistics and normalisations of TMatrix.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "dari/base/constants.h"
#include "dari/matrix/matrix.h"
#include "dari/platform/uniform_random.h"

namespace dari {
namespace {

// One column holding the given values (rows 1..n).
void Column(TMatrix& m, const std::vector<double>& v) {
  m.Resize(1, static_cast<int>(v.size()));
  for (size_t i = 0; i < v.size(); ++i) m.SetVal(1, static_cast<int>(i) + 1, v[i]);
}

// nc x nr matrix holding 1, 2, 3, ... in column order.
void Counting(TMatrix& m, int nc, int nr) {
  m.Resize(nc, nr);
  double x = 1;
  for (int c = 1; c <= nc; ++c)
    for (int r = 1; r <= nr; ++r) m.SetVal(c, r, x++);
}

template <class F>
std::string MessageOf(F f) {
  try {
    f();
  } catch (const DARIMatrixError& e) {
    return e.what();
  }
  return "no exception";
}

// ----------------------------------------------------------------- MeanVar

TEST(MeanVar, HandComputedCases) {
  TMatrix m;
  double mean, var;
  Column(m, {1, 3});
  m.MeanVar(0, 0, 0, 0, mean, var);
  EXPECT_EQ(mean, 2.0);
  EXPECT_EQ(var, 1.0);  // fewer than three values
  Column(m, {1, 2, 3, 4});
  m.MeanVar(0, 0, 0, 0, mean, var);
  EXPECT_EQ(mean, 2.5);
  EXPECT_DOUBLE_EQ(var, 5.0 / 3.0);
}

TEST(MeanVar, LargeRangeOfConsecutiveIntegers) {
  // Values 1..N: mean (N + 1) / 2, variance N (N + 1) / 12; exact in double.
  TMatrix m;
  Counting(m, 37, 101);
  double mean, var;
  m.MeanVar(0, 0, 0, 0, mean, var);
  const double N = 37 * 101;
  EXPECT_EQ(mean, (N + 1) / 2);
  EXPECT_DOUBLE_EQ(var, N * (N + 1) / 12);
  // Sub-range: columns 2..3, rows 5..6 hold 106, 107, 207, 208.
  m.MeanVar(3, 6, 2, 5, mean, var);
  EXPECT_EQ(mean, (106 + 107 + 207 + 208) / 4.0);
}

TEST(MeanVar, EmptyMatrixKeepsStartValues) {
  TMatrix m;
  m.Resize(0, 4);
  double mean = 7, var = 7;
  m.MeanVar(0, 0, 0, 0, mean, var);
  EXPECT_EQ(mean, 0.0);
  EXPECT_EQ(var, 0.0);
  m.Resize(3, 0);
  m.MeanVar(1, 1, 3, 3, mean, var);
  EXPECT_EQ(mean, 0.0);
  EXPECT_EQ(var, 0.0);
}

TEST(MeanVec, ColumnAndRowMeans) {
  TMatrix m;
  Counting(m, 3, 2);  // columns (1,2), (3,4), (5,6)
  TVector v;
  m.MeanVec(dimColumns, &v);
  ASSERT_EQ(v.NrOfElem(), 3);
  EXPECT_EQ(v.Elem(1), 1.5);
  EXPECT_EQ(v.Elem(3), 5.5);
  m.MeanVec(dimRows, &v);
  ASSERT_EQ(v.NrOfElem(), 2);
  EXPECT_EQ(v.Elem(1), 3.0);
  EXPECT_EQ(v.Elem(2), 4.0);
  m.MeanVec(dimRows, nullptr);  // nothing happens
}

// ------------------------------------------------------ MinMax, CountValues

TEST(MinMax, RangeAndEmptyMatrix) {
  TMatrix m;
  Counting(m, 4, 3);
  double lo, hi;
  m.MinMax(2, 2, 3, 3, lo, hi);  // 5, 6, 8, 9
  EXPECT_EQ(lo, 5.0);
  EXPECT_EQ(hi, 9.0);
  m.Resize(0, 0);
  m.MinMax(0, 0, 0, 0, lo, hi);
  EXPECT_EQ(lo, static_cast<double>(uc_MaxReal));
  EXPECT_EQ(hi, -static_cast<double>(uc_MaxReal));
}

TEST(CountValues, InclusiveBoundsAndItsOwnParameterOrder) {
  TMatrix m;
  Counting(m, 4, 3);
  EXPECT_EQ(m.CountValues(0, 0, 0, 0, 3, 7), 5);
  // (LowCol, HighCol, LowRow, HighRow): columns 1..2, rows 2..3 hold 2, 3, 5, 6.
  EXPECT_EQ(m.CountValues(1, 2, 2, 3, 0, 100), 4);
  EXPECT_EQ(m.CountValues(1, 2, 2, 3, 3, 5), 2);
}

// --------------------------------------------------------------- Percentile

TEST(Percentile, RankRuleWithoutInterpolation) {
  TMatrix m;
  Column(m, {4, 2, 3, 1});
  EXPECT_EQ(m.Percentile(50, 0, 0, 0, 0), 3.0);
  EXPECT_EQ(m.Elem(1, 1), 4.0);  // the matrix is not reordered
  Column(m, {5, 1, 4, 2, 3});
  EXPECT_EQ(m.Percentile(50, 0, 0, 0, 0), 3.0);
  EXPECT_EQ(m.Percentile(100, 0, 0, 0, 0), 5.0);
  EXPECT_EQ(m.Percentile(0, 0, 0, 0, 0), 1.0);
  EXPECT_EQ(m.Percentile(-5, 0, 0, 0, 0), 1.0);
  EXPECT_EQ(m.Percentile(250, 0, 0, 0, 0), 5.0);
  m.Resize(0, 5);
  EXPECT_EQ(m.Percentile(50, 0, 0, 0, 0), 0.0);
}

TEST(Percentile, SampledVersion) {
  TMatrix m;
  Counting(m, 10, 10);
  // Sample sizes 0, negative and not smaller than N give the exact value.
  const double exact = m.Percentile(30, 0, 0, 0, 0);
  EXPECT_EQ(exact, 31.0);
  EXPECT_EQ(m.Percentile(30, 0, 0, 0, 0, 0), exact);
  EXPECT_EQ(m.Percentile(30, 0, 0, 0, 0, -20), exact);
  EXPECT_EQ(m.Percentile(30, 0, 0, 0, 0, 100), exact);
  // A real sample can only return values of the range.
  const double s = m.Percentile(30, 3, 1, 4, 10, 15);
  EXPECT_GE(s, 21.0);
  EXPECT_LE(s, 40.0);
  EXPECT_EQ(s, std::floor(s));
  // A constant range gives its value; a range of zeros and negatives with the
  // quantile among the zeros gives 0.
  m.Fill(2.5);
  EXPECT_EQ(m.Percentile(70, 0, 0, 0, 0, 10), 2.5);
  for (int c = 1; c <= 10; ++c)
    for (int r = 1; r <= 10; ++r) m.SetVal(c, r, c <= 5 ? -1.0 : 0.0);
  EXPECT_EQ(m.Percentile(100, 0, 0, 0, 0, 30), 0.0);
}

TEST(Percentile, NaNValuesEndWithoutHanging) {
  TMatrix m;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  Column(m, {nan, 3, nan, 1, 2, nan});
  for (double p : {0.0, 30.0, 50.0, 100.0}) m.Percentile(p, 0, 0, 0, 0);
  double q1, q2, q3;
  EXPECT_TRUE(m.Quartiles(0, 0, 0, 0, q1, q2, q3));
  m.Fill(nan);
  EXPECT_TRUE(std::isnan(m.Percentile(50, 0, 0, 0, 0)));
}

// ---------------------------------------------------------------- Quartiles

struct QuartileCase {
  std::vector<double> values;
  double q1, q2, q3;
};

TEST(Quartiles, TableOfCases) {
  const QuartileCase cases[] = {
      {{7, 1, 2, 6, 3, 5, 4}, 2, 4, 6},
      {{1, 2, 3, 4, 5, 6, 7, 8}, 2.25, 4.5, 6.75},
      {{2, 1}, 1, 1.5, 2},   // Q3 position 2.25 is beyond x1: takes x2
      {{3, 1, 2}, 1, 2, 3},  // Q3 position 3: takes x3, above the median
      {{5}, 5, 5, 5},
  };
  for (const auto& tc : cases) {
    TMatrix m;
    Column(m, tc.values);
    double q1 = -1, q2 = -1, q3 = -1;
    EXPECT_TRUE(m.Quartiles(0, 0, 0, 0, q1, q2, q3));
    EXPECT_EQ(q1, tc.q1) << tc.values.size();
    EXPECT_EQ(q2, tc.q2) << tc.values.size();
    EXPECT_EQ(q3, tc.q3) << tc.values.size();
  }
  TMatrix m;
  m.Resize(2, 0);
  double q1 = -1, q2 = -1, q3 = -1;
  EXPECT_FALSE(m.Quartiles(0, 0, 0, 0, q1, q2, q3));
  EXPECT_EQ(q1, 0.0);
  EXPECT_EQ(q3, 0.0);
}

// ------------------------------------------------- Geometric, harmonic mean

TEST(GeometricMean, ValuesZerosAndNegatives) {
  TMatrix m;
  Column(m, {1, 4, 16});
  EXPECT_NEAR(m.GeometricMean(0, 0, 0, 0), 4.0, 1e-14);
  Column(m, {1, 0, 16});
  EXPECT_EQ(m.GeometricMean(0, 0, 0, 0), 0.0);
  Column(m, {1, -1, 16});
  m.SetName("Geo");
  EXPECT_EQ(MessageOf([&] { m.GeometricMean(0, 0, 0, 0); }),
            "Component \"Geo\": negative argument passed to GeometricMean");
}

TEST(HarmonicMean, ValuesAndNonPositive) {
  TMatrix m;
  Column(m, {1, 2, 4});
  EXPECT_DOUBLE_EQ(m.HarmonicMean(0, 0, 0, 0), 12.0 / 7.0);
  Column(m, {1, 0, 4});
  m.SetName("H");
  EXPECT_EQ(MessageOf([&] { m.HarmonicMean(0, 0, 0, 0); }),
            "Component \"H\": negative or zero argument passed to HarmonicMean");
  m.Resize(0, 0);
  EXPECT_EQ(m.HarmonicMean(0, 0, 0, 0), 0.0);
  EXPECT_EQ(m.GeometricMean(0, 0, 0, 0), 0.0);
}

// -------------------------------------------------------- Skewness, kurtosis

TEST(SkewKurt, HandComputedFiveValues) {
  // 1, 2, 3, 4, 10: mean 4, deviations -3 -2 -1 0 6; sums of powers 0, 50,
  // 180, 1394; sd = sqrt(50 / 4).
  TMatrix m;
  Column(m, {1, 2, 3, 4, 10});
  double skew, kurt;
  m.SkewKurt(0, 0, 0, 0, skew, kurt);
  const double sd = std::sqrt(12.5);
  const double g1 = 180.0 / 5 / std::pow(sd, 3);
  const double g2 = 1394.0 / 5 / std::pow(sd, 4) - 3;
  EXPECT_NEAR(skew, g1, 1e-14);
  EXPECT_NEAR(kurt, g2, 1e-14);
  EXPECT_NEAR(skew, 0.8145870, 1e-7);
  m.SkewKurtSample(0, 0, 0, 0, skew, kurt);
  EXPECT_NEAR(skew, g1 * 25 / 4 / 3, 1e-13);
  EXPECT_NEAR(kurt, (g2 + 3) * 25 * 6 / 4 / 3 / 2 - 3.0 * 16 / 3 / 2, 1e-13);
}

TEST(SkewKurt, DegenerateRanges) {
  TMatrix m;
  double skew = -1, kurt = -1;
  Column(m, {1, 2, 9});
  m.SkewKurtSample(0, 0, 0, 0, skew, kurt);
  EXPECT_EQ(skew, 0.0);
  EXPECT_EQ(kurt, 0.0);
  Column(m, {0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1});  // constant: no NaN
  m.SkewKurt(0, 0, 0, 0, skew, kurt);
  EXPECT_TRUE(std::isfinite(skew));
  EXPECT_TRUE(std::isfinite(kurt));
  EXPECT_NEAR(skew, 0.0, 1e-40);
  Column(m, {5});
  m.SkewKurt(0, 0, 0, 0, skew, kurt);
  EXPECT_EQ(skew, 0.0);
  EXPECT_EQ(kurt, 0.0);
  m.Resize(0, 0);
  m.SkewKurt(0, 0, 0, 0, skew, kurt);
  EXPECT_EQ(skew, 0.0);
}

// ---------------------------------------------------------------- Histogram

TEST(Histogram, BinsUnderflowAndOverflow) {
  TMatrix m;
  Column(m, {0, -0.5, 11, 10.5, 9.99, 3.2, 3.7, 10});
  TIntVector h;
  int under = -1, over = -1, maxCnt = -1;
  ASSERT_TRUE(m.Histogram(0, 0, 0, 0, 0, 10, 1, &h, under, over, maxCnt));
  ASSERT_EQ(h.NrOfElem(), 10);
  EXPECT_EQ(h.Elem(1), 1);   // 0
  EXPECT_EQ(h.Elem(4), 2);   // 3.2, 3.7
  EXPECT_EQ(h.Elem(10), 1);  // 9.99
  EXPECT_EQ(under, 1);       // -0.5
  // 11 beyond LastBin + BinWidth; 10 and 10.5 fall in bin 11, past the last
  // bin: counted as overflow, not dropped.
  EXPECT_EQ(over, 3);
  EXPECT_EQ(maxCnt, 2);
  int total = under + over;
  for (int i = 1; i <= h.NrOfElem(); ++i) total += h.Elem(i);
  EXPECT_EQ(total, 8);  // every value is counted once
}

TEST(Histogram, RefusalsTouchNothing) {
  TMatrix m;
  Column(m, {1, 2, 3});
  TIntVector h;
  h.Resize(3);
  h.Fill(7);
  int under = -1, over = -1, maxCnt = -1;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Bad {
    double first, last, width;
  };
  for (const Bad& b :
       {Bad{0, 600, 1}, Bad{0, 10, 0}, Bad{0, 10, -1}, Bad{0, 10, nan}, Bad{5, 5, 1}, Bad{0, nan, 1}}) {
    EXPECT_FALSE(m.Histogram(0, 0, 0, 0, b.first, b.last, b.width, &h, under, over, maxCnt));
    EXPECT_EQ(h.NrOfElem(), 3);
    EXPECT_EQ(h.Elem(2), 7);
    EXPECT_EQ(under, -1);
    EXPECT_EQ(maxCnt, -1);
  }
  EXPECT_FALSE(m.Histogram(0, 0, 0, 0, 0, 10, 1, nullptr, under, over, maxCnt));
}

// ---------------------------------------------------------------- Correlate

TEST(Correlate, SelfNegatedConstantAndMismatch) {
  TMatrix a, b;
  SeedUniformRandom(4);
  a.Resize(3, 5);
  a.FillRandomUniform(-1, 1);
  EXPECT_NEAR(a.Correlate(&a), 1.0, 1e-14);
  b.Assign(&a);
  b.SMult(-1);
  EXPECT_NEAR(a.Correlate(&b), -1.0, 1e-14);
  b.Fill(3);
  EXPECT_EQ(a.Correlate(&b), 0.0);
  // Hand-computed: x = 1, 2, 3, 4; y = 2, 1, 4, 3: r = 3 / 5.
  TMatrix x, y;
  Column(x, {1, 2, 3, 4});
  Column(y, {2, 1, 4, 3});
  EXPECT_NEAR(x.Correlate(&y), 0.6, 1e-15);
  b.Resize(5, 3);
  a.SetName("C");
  EXPECT_EQ(MessageOf([&] { a.Correlate(&b); }), "Component \"C\": matrices do not match");
  EXPECT_EQ(MessageOf([&] { a.Correlate(nullptr); }), "Component \"C\": matrices do not match");
}

// ------------------------------------------------------------ Normalisation

TEST(StandardizeColumns, NormalConstantAndTwoRowColumns) {
  TMatrix m;
  m.Resize(3, 4);
  const double col1[] = {1, 2, 3, 6};
  for (int r = 1; r <= 4; ++r) {
    m.SetVal(1, r, col1[r - 1]);
    m.SetVal(2, r, 5.0);  // constant
    m.SetVal(3, r, r);
  }
  int events = 0;
  m.SetOnChange([&](TObject*) { ++events; });
  TVector means, sds;
  means.Resize(3);
  sds.Resize(2);  // not resized: element 3 is not written
  m.StandardizeColumns(&means, &sds);
  EXPECT_EQ(events, 1);
  EXPECT_EQ(means.Elem(1), 3.0);
  EXPECT_DOUBLE_EQ(sds.Elem(1), std::sqrt(14.0 / 3.0));  // deviations -2 -1 0 3
  EXPECT_EQ(sds.Elem(2), 0.0);
  EXPECT_EQ(sds.NrOfElem(), 2);
  EXPECT_DOUBLE_EQ(m.Elem(1, 4), 3.0 / std::sqrt(14.0 / 3.0));
  EXPECT_EQ(m.Elem(2, 3), 5.0);  // constant column unchanged

  TMatrix two;
  two.Resize(1, 2);
  two.SetVal(1, 1, 1);
  two.SetVal(1, 2, 5);
  two.StandardizeColumns(nullptr, nullptr);
  EXPECT_EQ(two.Elem(1, 1), -2.0);  // variance counts as 1: only centred
  EXPECT_EQ(two.Elem(1, 2), 2.0);
}

TEST(StandardizeRows, EachRowGetsMeanZeroAndUnitVariance) {
  TMatrix m;
  Counting(m, 4, 2);  // row 1: 1 3 5 7; row 2: 2 4 6 8
  TVector means, sds;
  means.Resize(2);
  sds.Resize(2);
  m.StandardizeRows(&means, &sds);
  EXPECT_EQ(means.Elem(1), 4.0);
  EXPECT_EQ(means.Elem(2), 5.0);
  EXPECT_DOUBLE_EQ(sds.Elem(1), std::sqrt(20.0 / 3.0));
  EXPECT_DOUBLE_EQ(m.Elem(4, 2), 3.0 / std::sqrt(20.0 / 3.0));
}

TEST(MeanCenter, ColumnsAndRowsResizeTheirVector) {
  TMatrix m;
  Counting(m, 3, 2);
  TVector means;
  m.MeanCenterColumns(&means);
  ASSERT_EQ(means.NrOfElem(), 3);
  EXPECT_EQ(means.Elem(2), 3.5);
  EXPECT_EQ(m.Elem(2, 1), -0.5);
  Counting(m, 3, 2);
  m.MeanCenterRows(&means);
  ASSERT_EQ(means.NrOfElem(), 2);
  EXPECT_EQ(means.Elem(1), 3.0);  // 1, 3, 5
  EXPECT_EQ(m.Elem(3, 1), 2.0);
}

TEST(QNormalize, ColumnsAndRowsByRankPercentiles) {
  // Column 1..5: Percentile(25) has rank R(1.25) = 1 -> 2, median 3, d = 1.
  TMatrix m;
  m.Resize(2, 5);
  for (int r = 1; r <= 5; ++r) {
    m.SetVal(1, r, 6 - r);
    m.SetVal(2, r, 4.0);  // d = 0: unchanged
  }
  TVector med, diff;
  med.Resize(2);
  diff.Resize(2);
  m.QNormalizeColumns(25, &med, &diff);
  EXPECT_EQ(med.Elem(1), 3.0);
  EXPECT_EQ(diff.Elem(1), 1.0);
  EXPECT_EQ(m.Elem(1, 1), 2.0);  // (5 - 3) / 1
  EXPECT_EQ(m.Elem(2, 1), 4.0);
  EXPECT_EQ(diff.Elem(2), 0.0);

  TMatrix r;
  Counting(r, 5, 1);                   // one row 1..5
  r.QNormalizeRows(0, &med, nullptr);  // Percentile(0) = 1, median 3, d = 2
  EXPECT_EQ(med.Elem(1), 3.0);
  EXPECT_EQ(r.Elem(5, 1), 1.0);
  EXPECT_EQ(r.Elem(1, 1), -1.0);
}

}  // namespace
}  // namespace dari
