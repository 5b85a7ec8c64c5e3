// Tests of the descriptive statistics and in-place normalisations of TVector and
// TIntVector. Expected values are hand-computed or closed forms, named per case.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <initializer_list>
#include <limits>

#include "dari/base/progress.h"
#include "dari/vector/int_vector.h"
#include "dari/vector/vector.h"
#include "dari/vector/vector_test_support.h"

namespace dari {
namespace {

using testing_support::SetValues;
template <class V>
using VectorStats = testing_support::VectorFixture<V>;

using testing_support::VectorTypes;
TYPED_TEST_SUITE(VectorStats, VectorTypes);

TYPED_TEST(VectorStats, MeanVarUsesDivisorNMinusOneAndVarianceOneBelowThreeValues) {
  double mean, var;
  this->Set({2, 4});
  this->v.MeanVar(0, 0, mean, var);
  EXPECT_DOUBLE_EQ(mean, 3.0);
  EXPECT_DOUBLE_EQ(var, 1.0);
  this->Set({1, 2, 3, 4});
  this->v.MeanVar(0, 0, mean, var);
  EXPECT_DOUBLE_EQ(mean, 2.5);
  EXPECT_DOUBLE_EQ(var, 5.0 / 3.0);  // squared deviations 2.25+0.25+0.25+2.25 over 3
  this->v.MeanVar(4, 2, mean, var);  // 2, 3, 4
  EXPECT_DOUBLE_EQ(mean, 3.0);
  EXPECT_DOUBLE_EQ(var, 1.0);
  this->Set({50000, 50000, 50000});
  this->v.MeanVar(0, 0, mean, var);
  EXPECT_DOUBLE_EQ(mean, 50000.0);
  EXPECT_DOUBLE_EQ(var, 0.0);
  EXPECT_EQ(this->events, 0);
}

TEST(IntVectorMeanVar, SquaresBeyondThirtyTwoBitsDoNotOverflow) {
  TIntVector v;
  SetValues(v, {2000000000, -2000000000, 2000000000});
  double mean, var;
  v.MeanVar(0, 0, mean, var);
  // Deviations 4e9/3, -8e9/3, 4e9/3: squares sum to 96e18/9, over n - 1 = 2.
  EXPECT_NEAR(mean, 2e9 / 3, 1e-6);
  EXPECT_NEAR(var / (48e18 / 9), 1.0, 1e-12);
}

TYPED_TEST(VectorStats, MinMaxKeepsTheFirstIndexOnTies) {
  this->Set({3, 1, 1, 5, 5});
  typename TestFixture::T mn, mx;
  int mnIx, mxIx;
  this->v.MinMax(0, 0, mn, mx, mnIx, mxIx);
  EXPECT_EQ(mn, 1);
  EXPECT_EQ(mnIx, 2);
  EXPECT_EQ(mx, 5);
  EXPECT_EQ(mxIx, 4);
  this->v.MinMax(4, 1, mn, mx);  // 3, 1, 1, 5 without indices
  EXPECT_EQ(mn, 1);
  EXPECT_EQ(mx, 5);
}

TEST(MinMaxStartValues, ValuesBeyondTheStartValuesAreNotReported) {
  TIntVector iv;
  iv.SetVal(1, -2147483647 - 1);
  int32_t mn, mx;
  int mnIx, mxIx;
  iv.MinMax(0, 0, mn, mx, mnIx, mxIx);
  EXPECT_EQ(mn, -2147483647 - 1);
  EXPECT_EQ(mnIx, 1);
  EXPECT_EQ(mx, -2147483647);
  EXPECT_EQ(mxIx, 0);

  TVector v;
  v.SetVal(1, 1.75e308);
  double dmn, dmx;
  v.MinMax(0, 0, dmn, dmx, mnIx, mxIx);
  EXPECT_EQ(dmn, 1.7e308);
  EXPECT_EQ(mnIx, 0);
  EXPECT_EQ(dmx, 1.75e308);
  EXPECT_EQ(mxIx, 1);
}

TYPED_TEST(VectorStats, SumOverRanges) {
  this->Set({1, 2, 3, 4, 5});
  EXPECT_EQ(this->v.Sum(0, 0), 15);
  EXPECT_EQ(this->v.Sum(4, 2), 9);
  EXPECT_EQ(this->v.Sum(-7, 1), 1);
}

TEST(IntVectorSum, WrapsAroundInTwosComplement) {
  TIntVector v;
  SetValues(v, {2147483647, 1, 5});
  EXPECT_EQ(v.Sum(0, 0), -2147483647 - 1 + 5);
}

TEST(VectorSum, AccumulatesInEightLanesCombinedPairwise) {
  // 1e16 followed by seven ones. In index order each 1 is lost against 1e16 (the
  // spacing of doubles there is 2); in the lanes the ones are first summed with
  // each other: (1e16 + 1) + 2 + 4 = 1e16 + 6 by the rounding of each step.
  TVector v;
  SetValues(v, {1e16, 1, 1, 1, 1, 1, 1, 1});
  EXPECT_EQ(v.Sum(0, 0), 1e16 + 6);
  // The lane of a term follows its offset in the range, not its index.
  TVector w;
  SetValues(w, {5, 1e16, 1, 1, 1, 1, 1, 1, 1});
  EXPECT_EQ(w.Sum(2, 9), 1e16 + 6);
}

TYPED_TEST(VectorStats, PercentileInterpolatesClampsAndKeepsTheOrder) {
  this->Set({5, 3, 1, 4, 2});
  EXPECT_DOUBLE_EQ(this->v.Percentile(25, 0, 0), 2.0);
  EXPECT_DOUBLE_EQ(this->v.Percentile(150, 0, 0), 5.0);
  EXPECT_DOUBLE_EQ(this->v.Percentile(-5, 0, 0), 1.0);
  EXPECT_DOUBLE_EQ(this->v.Percentile(50, 0, 0), 3.0);
  EXPECT_DOUBLE_EQ(this->v.Percentile(10, 0, 0), 1.4);  // p = 0.4 between 1 and 2
  EXPECT_DOUBLE_EQ(this->v.Percentile(50, 4, 5), 3.0);  // of 4 and 2
  EXPECT_EQ(this->v.Elem(1), 5);  // the vector itself is not reordered
  EXPECT_EQ(this->v.Elem(3), 1);
  EXPECT_EQ(this->events, 0);
}

TYPED_TEST(VectorStats, PercentileSortsWithProgressStepsButNotForNanProb) {
  this->Set({2, 1});
  const double before = ProcStat;
  this->v.Percentile(50, 0, 0);
  EXPECT_EQ(ProcStat - before, 2.0);  // two passes of the comb sort over 2 values
  EXPECT_TRUE(std::isnan(this->v.Percentile(std::numeric_limits<double>::quiet_NaN(), 0, 0)));
  EXPECT_EQ(ProcStat - before, 2.0);
}

TYPED_TEST(VectorStats, Quartiles) {
  struct Case {
    std::initializer_list<double> values;
    double q1, q2, q3;
  };
  // n = 8: positions 2.25, 4.5, 6.75. n = 4: 1.25, 2.5, 3.75. n = 2 and 3: the upper
  // quartile is the largest value (position beyond n - 1), never at or below the median.
  const Case cases[] = {{{8, 1, 7, 2, 6, 3, 5, 4}, 2.25, 4.5, 6.75},
                        {{4, 3, 2, 1}, 1.25, 2.5, 3.75},
                        {{3, 1}, 1, 2, 3},
                        {{2, 3, 1}, 1, 2, 3},
                        {{7}, 7, 7, 7}};
  for (const Case& c : cases) {
    this->Set(c.values);
    double q1 = -1, q2 = -1, q3 = -1;
    EXPECT_TRUE(this->v.Quartiles(0, 0, q1, q2, q3));
    EXPECT_DOUBLE_EQ(q1, c.q1) << c.values.size();
    EXPECT_DOUBLE_EQ(q2, c.q2) << c.values.size();
    EXPECT_DOUBLE_EQ(q3, c.q3) << c.values.size();
  }
  EXPECT_EQ(this->v.Elem(1), 7);
  this->Set({2, 3, 1});
  double q1, q2, q3;
  this->v.Quartiles(0, 0, q1, q2, q3);
  EXPECT_EQ(this->v.Elem(1), 2);  // not reordered
}

TYPED_TEST(VectorStats, ModeTakesTheLongestRunAndTheSmallestOnTies) {
  this->Set({3, 1, 3, 2, 2});
  EXPECT_EQ(this->v.Mode(0, 0), 2);
  EXPECT_EQ(this->v.Elem(1), 3);  // not reordered
  this->Set({4, 7, 9});
  EXPECT_EQ(this->v.Mode(0, 0), 4);
  this->Set({9, 1, 9, 1, 9});
  EXPECT_EQ(this->v.Mode(0, 0), 9);
  EXPECT_EQ(this->v.Mode(1, 4), 1);
}

TYPED_TEST(VectorStats, GeometricAndHarmonicMeans) {
  this->Set({2, 8});
  EXPECT_DOUBLE_EQ(this->v.GeometricMean(0, 0), 4.0);
  this->Set({1, 0, 4});
  EXPECT_EQ(this->v.GeometricMean(0, 0), 0.0);
  this->Set({1, 2, 4});
  EXPECT_DOUBLE_EQ(this->v.HarmonicMean(0, 0), 3.0 / 1.75);
  this->v.SetName("v");
  this->Set({0, 2, -1});
  try {
    this->v.GeometricMean(0, 0);  // a zero does not hide a later negative value
    FAIL();
  } catch (const DARIVectorError& e) {
    EXPECT_STREQ(e.what(), "Component \"v\": negative argument passed to GeometricMean");
  }
  EXPECT_EQ(this->v.GeometricMean(1, 2), 0.0);
  try {
    this->v.HarmonicMean(1, 2);
    FAIL();
  } catch (const DARIVectorError& e) {
    EXPECT_STREQ(e.what(), "Component \"v\": negative or zero argument passed to HarmonicMean");
  }
}

TYPED_TEST(VectorStats, SkewKurtOfAKnownSample) {
  // (0, 0, 0, 0, 1): population moments about the mean 0.2 over the sample
  // standard deviation sqrt(0.2): skewness 0.096 / 0.2^1.5, kurtosis 2.08 - 3;
  // the sample-corrected values are sqrt(5) and 5.
  this->Set({0, 0, 1, 0, 0});
  double s, k;
  this->v.SkewKurt(0, 0, s, k);
  EXPECT_NEAR(s, 0.096 / std::pow(0.2, 1.5), 1e-12);
  EXPECT_NEAR(k, -0.92, 1e-12);
  this->v.SkewKurtSample(0, 0, s, k);
  EXPECT_NEAR(s, std::sqrt(5.0), 1e-12);
  EXPECT_NEAR(k, 5.0, 1e-12);
  this->Set({1, 2, 9});  // three values: 0 and 0
  this->v.SkewKurt(0, 0, s, k);
  EXPECT_EQ(s, 0.0);
  EXPECT_EQ(k, 0.0);
  this->v.SkewKurtSample(0, 0, s, k);
  EXPECT_EQ(s, 0.0);
  EXPECT_EQ(k, 0.0);
  this->Set({4, 4, 4, 4, 4});  // constant: the power sums, all 0
  this->v.SkewKurt(0, 0, s, k);
  EXPECT_EQ(s, 0.0);
  EXPECT_EQ(k, 0.0);
  EXPECT_EQ(this->events, 0);
}

// ---- Histograms -----------------------------------------------------------------------

struct HistoResult {
  bool ok;
  int under, over, maxCnt;
};

TEST(VectorHistogram, CountsBinsUnderflowAndOverflow) {
  TVector v;
  SetValues(v, {-0.5, 11, 3.7, 3.2, 0, 9.99, 10, 10.5});
  TIntVector h;
  int hEvents = 0;
  h.SetOnChange([&](TObject*) { ++hEvents; });
  int under = -1, over = -1, maxCnt = -1;
  ASSERT_TRUE(v.Histogram(1, 8, 0, 10, 1, &h, under, over, maxCnt));
  EXPECT_EQ(h.NrOfElem(), 10);
  EXPECT_EQ(h.Elem(4), 2);   // 3.7 and 3.2
  EXPECT_EQ(h.Elem(1), 1);   // 0
  EXPECT_EQ(h.Elem(10), 1);  // 9.99
  EXPECT_EQ(h.Elem(11), 0);
  // 10 and 10.5 lie below LastBin + BinWidth = 11 but beyond the ten bins: overflow,
  // together with 11.
  EXPECT_EQ(under, 1);
  EXPECT_EQ(over, 3);
  EXPECT_EQ(maxCnt, 2);
  EXPECT_GT(hEvents, 0);  // the histogram vector fires its own events
}

TEST(VectorHistogram, EveryValueIsCountedOnce) {
  // round(10.4 / 1) = 10 bins over [0, 10); values up to 11.4 used to be lost.
  TVector v;
  v.Resize(200);
  for (int i = 1; i <= 200; ++i) v.SetVal(i, -2.0 + 0.07 * i);
  v.SetVal(7, std::numeric_limits<double>::quiet_NaN());
  TIntVector h;
  int under, over, maxCnt;
  ASSERT_TRUE(v.Histogram(0, 200, 0.0, 10.4, 1.0, &h, under, over, maxCnt));
  // FirstElem 0 reads one value 0 from outside the vector: 201 values.
  EXPECT_EQ(h.Sum(0, 0) + under + over, 201);
}

TEST(VectorHistogram, RefusesBadWidthsAndBinCountsTouchingNothing) {
  TVector v;
  SetValues(v, {1, 2, 3});
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double first, last, width;
  };
  const Case cases[] = {{0, 10, 0.01},   {0, 10, 0},     {0, 10, -1},   {0, 10, nan},
                        {5, 5, 1},       {0, 0.4, 1},    {0, 1e300, 1}, {0, inf, 1},
                        {nan, 10, 1},    {0, 10, 1e-320}};
  for (const Case& c : cases) {
    TIntVector h;
    h.Resize(3);
    h.Fill(7);
    int hEvents = 0;
    h.SetOnChange([&](TObject*) { ++hEvents; });
    int under = -1, over = -1, maxCnt = -1;
    EXPECT_FALSE(v.Histogram(1, 3, c.first, c.last, c.width, &h, under, over, maxCnt))
        << c.first << " " << c.last << " " << c.width;
    EXPECT_EQ(h.NrOfElem(), 3);
    EXPECT_EQ(h.Elem(2), 7);
    EXPECT_EQ(hEvents, 0);
    EXPECT_EQ(under, -1);
  }
  int under, over, maxCnt;
  EXPECT_FALSE(v.Histogram(1, 3, 0, 10, 1, nullptr, under, over, maxCnt));
}

TEST(VectorHistogram, ReadsTheRangeAsPassedWithoutWalkingHugeRanges) {
  TVector v;
  SetValues(v, {1.5, 2.5});
  TIntVector h;
  int under, over, maxCnt;
  ASSERT_TRUE(v.Histogram(-1, 4, 0, 3, 1, &h, under, over, maxCnt));
  EXPECT_EQ(h.Elem(1), 4);  // the four positions -1, 0, 3, 4 read 0
  EXPECT_EQ(h.Elem(2), 1);
  EXPECT_EQ(h.Elem(3), 1);
  ASSERT_TRUE(v.Histogram(3, 2, 0, 3, 1, &h, under, over, maxCnt));  // empty range
  EXPECT_EQ(h.Sum(0, 0) + under + over + maxCnt, 0);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(v.Histogram(-2147483647 - 1, 2147483647, 0, 3, 1, &h, under, over, maxCnt));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_EQ(h.Elem(1), 2147483647);  // 2^32 - 2 zeros, saturated
  EXPECT_EQ(maxCnt, 2147483647);
}

TEST(IntVectorHistogram, CountsWithItsOwnBinRules) {
  TIntVector v;
  SetValues(v, {-1, 0, 9, 10, 5, 5});
  TIntVector h;
  int under, over, maxCnt;
  ASSERT_TRUE(v.Histogram(1, 6, 0, 9, 1, &h, under, over, maxCnt));
  ASSERT_EQ(h.NrOfElem(), 10);
  EXPECT_EQ(h.Elem(1), 1);
  EXPECT_EQ(h.Elem(6), 2);
  EXPECT_EQ(h.Elem(10), 1);  // 9 lands in bin 10
  EXPECT_EQ(under, 1);
  EXPECT_EQ(over, 1);  // 10
  EXPECT_EQ(maxCnt, 2);
  // A width <= 0 is taken as 1.
  ASSERT_TRUE(v.Histogram(1, 6, 0, 9, -4, &h, under, over, maxCnt));
  EXPECT_EQ(h.NrOfElem(), 10);
  EXPECT_EQ(h.Elem(6), 2);
}

TEST(IntVectorHistogram, ValuesPastTheLastBinAreOverflow) {
  // 11 div 3 = 3 bins over 0..8; 9 and 10 lie below LastBin + BinWidth = 13 but
  // beyond the bins.
  TIntVector v;
  SetValues(v, {0, 8, 9, 10, 12, 13});
  TIntVector h;
  int under, over, maxCnt;
  ASSERT_TRUE(v.Histogram(1, 6, 0, 10, 3, &h, under, over, maxCnt));
  ASSERT_EQ(h.NrOfElem(), 3);
  EXPECT_EQ(h.Elem(1), 1);
  EXPECT_EQ(h.Elem(3), 1);
  EXPECT_EQ(under, 0);
  EXPECT_EQ(over, 4);
  EXPECT_EQ(h.Sum(0, 0) + under + over, 6);
}

TEST(IntVectorHistogram, InvalidBinCountsRaiseAndExtremeBinsDoNotOverflow) {
  TIntVector v;
  v.SetName("iv");
  SetValues(v, {2147483647, -2147483647 - 1});
  TIntVector h;
  int under, over, maxCnt;
  const int32_t kMin = -2147483647 - 1, kMax = 2147483647;
  const int32_t bad[][3] = {{0, 600, 1}, {5, 4, 1}, {0, 9, 20}, {kMin, kMax, 1}, {kMax, kMin, 1}};
  for (const auto& b : bad) {
    try {
      v.Histogram(0, 0, b[0], b[1], b[2], &h, under, over, maxCnt);
      FAIL() << b[0] << " " << b[1] << " " << b[2];
    } catch (const DARIVectorError& e) {
      EXPECT_STREQ(e.what(), "Component \"iv.Histogram\": invalid number of bins");
    }
  }
  ASSERT_TRUE(v.Histogram(1, 2, kMax, kMax, 1, &h, under, over, maxCnt));
  EXPECT_EQ(h.Elem(1), 1);
  EXPECT_EQ(under, 1);
  EXPECT_THROW(v.Histogram(0, 0, kMax - 2, kMax, kMax, &h, under, over, maxCnt),
               DARIVectorError);  // 3 div kMax = 0 bins
}

TEST(IntVectorHistogram, MayCountIntoItself) {
  TIntVector v;
  SetValues(v, {1, 1, 2, 3});
  int under, over, maxCnt;
  ASSERT_TRUE(v.Histogram(1, 4, 1, 3, 1, &v, under, over, maxCnt));
  ASSERT_EQ(v.NrOfElem(), 3);
  EXPECT_EQ(v.Elem(1), 2);
  EXPECT_EQ(v.Elem(2), 1);
  EXPECT_EQ(v.Elem(3), 1);
}

// ---- In-place normalisations (TVector only) -----------------------------------------

TEST(VectorNormalise, StandardizeMeanCenterAndQNormalizeFireNoEvent) {
  TVector v;
  int events = 0;
  SetValues(v, {1, 2, 3, 4, 5});
  v.SetOnChange([&](TObject*) { ++events; });
  double mean, sd;
  v.Standardize(mean, sd);
  EXPECT_DOUBLE_EQ(mean, 3.0);
  EXPECT_DOUBLE_EQ(sd, std::sqrt(2.5));
  EXPECT_DOUBLE_EQ(v.Elem(1), -2.0 / std::sqrt(2.5));
  EXPECT_DOUBLE_EQ(v.Elem(3), 0.0);

  SetValues(v, {1, 2, 6});
  events = 0;
  EXPECT_DOUBLE_EQ(v.MeanCenter(), 3.0);
  EXPECT_DOUBLE_EQ(v.Elem(1), -2.0);
  EXPECT_DOUBLE_EQ(v.Elem(3), 3.0);

  SetValues(v, {5, 1, 4, 2, 3});
  events = 0;
  double median, diff;
  v.QNormalize(25, median, diff);  // median 3, 25th percentile 2
  EXPECT_DOUBLE_EQ(median, 3.0);
  EXPECT_DOUBLE_EQ(diff, 1.0);
  EXPECT_DOUBLE_EQ(v.Elem(1), 2.0);
  EXPECT_DOUBLE_EQ(v.Elem(2), -2.0);
  EXPECT_EQ(events, 0);
}

TEST(VectorNormalise, DegenerateSpreadsLeaveOrOnlyShiftTheValues) {
  TVector v;
  SetValues(v, {2, 4});  // variance 1 by convention: only shifted
  double mean, sd;
  v.Standardize(mean, sd);
  EXPECT_EQ(sd, 1.0);
  EXPECT_EQ(v.Elem(1), -1.0);
  EXPECT_EQ(v.Elem(2), 1.0);
  SetValues(v, {5, 5, 5});
  v.Standardize(mean, sd);
  EXPECT_EQ(sd, 0.0);
  EXPECT_EQ(v.Elem(1), 5.0);
  double median, diff;
  v.QNormalize(10, median, diff);
  EXPECT_EQ(diff, 0.0);
  EXPECT_EQ(v.Elem(2), 5.0);
}

}  // namespace
}  // namespace dari
