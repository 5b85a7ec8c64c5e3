// Tests of the element-wise arithmetic, products and distances, searches,
// reordering and integration of TVector and TIntVector.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <tuple>
#include <vector>

#include "dari/base/progress.h"
#include "dari/platform/uniform_random.h"
#include "dari/vector/int_vector.h"
#include "dari/vector/vector.h"
#include "dari/vector/vector_test_support.h"

namespace dari {
namespace {

constexpr int32_t kIntMin = -2147483647 - 1;
constexpr int32_t kIntMax = 2147483647;

using testing_support::SetValues;
using testing_support::Values;
template <class V>
using VectorArith = testing_support::VectorFixture<V>;

using testing_support::VectorTypes;
TYPED_TEST_SUITE(VectorArith, VectorTypes);

using D = std::vector<double>;

TYPED_TEST(VectorArith, AddSubtractSMultAbsValFireOneEventEach) {
  this->Set({1, -2, 3});
  SetValues(this->w, {4, 5, 6});
  this->v.Add(&this->w);
  EXPECT_EQ(Values(this->v), (D{5, 3, 9}));
  this->v.Subtract(&this->w);
  this->v.Subtract(&this->w);
  EXPECT_EQ(Values(this->v), (D{-3, -7, -3}));
  this->v.SMult(-2);
  EXPECT_EQ(Values(this->v), (D{6, 14, 6}));
  this->v.Add(&this->v);  // with itself
  EXPECT_EQ(Values(this->v), (D{12, 28, 12}));
  this->v.SMult(-1);
  this->v.AbsVal();
  EXPECT_EQ(Values(this->v), (D{12, 28, 12}));
  EXPECT_EQ(this->events, 7);
}

TYPED_TEST(VectorArith, NullOperandsAndDifferentSizes) {
  this->Set({1, 2, 3});
  this->v.SetName("a");
  this->v.Add(nullptr);
  this->v.Subtract(nullptr);
  EXPECT_EQ(this->events, 0);
  EXPECT_EQ(this->v.DotProduct(nullptr), 0);
  EXPECT_EQ(this->v.EuclideanDistance(nullptr), 0.0);
  EXPECT_EQ(this->v.PearsonCorrCoeff(nullptr), 0.0);
  EXPECT_EQ(this->v.Correlate(nullptr, 0), 0);
  SetValues(this->w, {1, 2});
  for (int op = 0; op < 3; ++op) {
    try {
      if (op == 0) this->v.Add(&this->w);
      if (op == 1) this->v.Subtract(&this->w);
      if (op == 2) this->v.DotProduct(&this->w);
      FAIL() << op;
    } catch (const DARIVectorError& e) {
      EXPECT_STREQ(e.what(), "Component \"a\": vectors have different dimensions");
    }
  }
  try {
    this->v.EuclideanDistance(&this->w);
    FAIL();
  } catch (const DARIVectorError& e) {
    EXPECT_STREQ(e.what(), "EuclideanDistance: dimensions of vectors do not match");
  }
  EXPECT_EQ(this->v.PearsonCorrCoeff(&this->w), 0.0);
  EXPECT_EQ(Values(this->v), (D{1, 2, 3}));  // unchanged after the exceptions
  EXPECT_EQ(this->events, 0);
}

TEST(IntVectorArithmetic, ThirtyTwoBitResultsWrapAround) {
  TIntVector a, b;
  SetValues(a, {kIntMax, kIntMin, 65536});
  SetValues(b, {1, -1, 65536});
  // Products 2147483647, 2147483648 and 4294967296 sum to 8589934591, which is
  // -1 modulo 2^32.
  EXPECT_EQ(a.DotProduct(&b), -1);
  EXPECT_EQ(a.Correlate(&b, 0), -1);
  a.Add(&b);
  EXPECT_EQ(Values(a), (D{kIntMin, kIntMax, 131072}));
  a.Subtract(&b);
  EXPECT_EQ(Values(a), (D{kIntMax, kIntMin, 65536}));
  a.SMult(2);
  EXPECT_EQ(Values(a), (D{-2, 0, 131072}));
  SetValues(a, {kIntMin, -3});
  a.AbsVal();
  EXPECT_EQ(Values(a), (D{kIntMin, 3}));  // |-2^31| wraps to itself
}

TYPED_TEST(VectorArith, ProductsAndDistances) {
  this->Set({1, 2, 3});
  SetValues(this->w, {4, 6, 3});
  EXPECT_EQ(this->v.DotProduct(&this->w), 4 + 12 + 9);
  EXPECT_DOUBLE_EQ(this->v.EuclideanDistance(&this->w), 5.0);
  SetValues(this->w, {2, 4, 6});
  EXPECT_DOUBLE_EQ(this->v.PearsonCorrCoeff(&this->w), 1.0);
  SetValues(this->w, {3, 2, 1});
  EXPECT_DOUBLE_EQ(this->v.PearsonCorrCoeff(&this->w), -1.0);
  SetValues(this->w, {7, 7, 7});
  EXPECT_EQ(this->v.PearsonCorrCoeff(&this->w), 0.0);
  SetValues(this->w, {0, 0, 0});
  EXPECT_EQ(this->v.PearsonCorrCoeff(&this->w), 0.0);
  TypeParam one, other;
  EXPECT_EQ(one.PearsonCorrCoeff(&other), 0.0);  // n = 1
  EXPECT_EQ(this->events, 0);
}

TEST(IntVectorDistances, AreFormedWithoutOverflow) {
  TIntVector a, b;
  SetValues(a, {kIntMin, 0});
  SetValues(b, {kIntMax, 0});
  EXPECT_DOUBLE_EQ(a.EuclideanDistance(&b), 4294967295.0);
  SetValues(a, {kIntMin, kIntMax, 0});
  SetValues(b, {kIntMin, kIntMax, 1});
  // Pearson of identical spreads near the int32 limits is 1.
  EXPECT_NEAR(a.PearsonCorrCoeff(&b), 1.0, 1e-9);
}

TYPED_TEST(VectorArith, CorrelatePadsWithZerosForAnyShift) {
  this->Set({1, 2, 3});
  SetValues(this->w, {1, 1, 1});
  EXPECT_EQ(this->v.Correlate(&this->w, 1), 1 + 2);
  EXPECT_EQ(this->v.Correlate(&this->w, -1), 2 + 3);
  EXPECT_EQ(this->v.Correlate(&this->w, 0), 6);
  EXPECT_EQ(this->v.Correlate(&this->w, 3), 0);
  EXPECT_EQ(this->v.Correlate(&this->w, kIntMax), 0);
  EXPECT_EQ(this->v.Correlate(&this->w, kIntMin), 0);
  SetValues(this->w, {10, 20});  // a shorter other vector
  EXPECT_EQ(this->v.Correlate(&this->w, -1), 2 * 10 + 3 * 20);
}

TEST(VectorCorrelate, NonFiniteValuesMeetingThePaddingGiveNan) {
  TVector a, b;
  SetValues(a, {1, std::numeric_limits<double>::infinity()});
  SetValues(b, {1, 1});
  EXPECT_TRUE(std::isnan(a.Correlate(&b, 1)));  // inf * 0
  EXPECT_EQ(a.Correlate(&b, -1), std::numeric_limits<double>::infinity());
}

TYPED_TEST(VectorArith, FindNearestValue) {
  this->Set({1, 2, 3, 2});
  using T = typename TestFixture::T;
  if constexpr (std::is_floating_point_v<T>) {
    EXPECT_EQ(this->v.Find(0, 0, 2.6), 3);
    EXPECT_EQ(this->v.Find(0, 0, 2.5), 2);  // equal distances: the first index
    EXPECT_EQ(this->v.Find(3, 4, 2.5), 3);
  }
  EXPECT_EQ(this->v.Find(0, 0, 2), 2);
  EXPECT_EQ(this->v.Find(3, 4, 2), 4);
  EXPECT_EQ(this->v.Find(0, 0, -100), 1);
}

TEST(FindDistances, NeitherOverflowNorMatchNonFiniteDistances) {
  TIntVector iv;
  SetValues(iv, {kIntMin, 0});
  EXPECT_EQ(iv.Find(0, 0, kIntMax), 2);  // |kIntMax - kIntMin| would wrap to -1
  TVector v;
  SetValues(v, {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()});
  EXPECT_EQ(v.Find(0, 0, 1.0), 0);
}

TYPED_TEST(VectorArith, FindInSortedVector) {
  this->Set({1, 2, 3});
  using T = typename TestFixture::T;
  if constexpr (std::is_floating_point_v<T>) {
    EXPECT_EQ(this->v.FindInSortedVector(true, 2.5), 3);  // tie: the higher index
    EXPECT_EQ(this->v.FindInSortedVector(true, 1.4), 1);
  }
  EXPECT_EQ(this->v.FindInSortedVector(true, 0), 1);
  EXPECT_EQ(this->v.FindInSortedVector(true, 9), 3);
  EXPECT_EQ(this->v.FindInSortedVector(true, 2), 2);
  this->Set({50, 40, 30, 20, 10, 0});
  EXPECT_EQ(this->v.FindInSortedVector(false, 30), 3);
  EXPECT_EQ(this->v.FindInSortedVector(false, 12), 5);
  EXPECT_EQ(this->v.FindInSortedVector(false, 100), 1);
  EXPECT_EQ(this->v.FindInSortedVector(false, -5), 6);
  this->Set({7});
  EXPECT_EQ(this->v.FindInSortedVector(true, 100), 1);
}

// ---- Reordering ------------------------------------------------------------------------

using Exchange = std::tuple<int, int, int, int, int>;

template <class V>
std::vector<Exchange> RecordExchanges(V& v) {
  std::vector<Exchange> log;
  v.SetOnSortExchange([&log, &v](TObject* sender, uint8_t kind, int i, int j, int a, int b) {
    EXPECT_EQ(sender, &v);
    log.emplace_back(kind, i, j, a, b);
  });
  return log;
}

TYPED_TEST(VectorArith, SortElemsReportsEveryExchangeOfItsOwnGapSequence) {
  struct Case {
    std::initializer_list<double> values;
    bool ascending;
    int first, last;
    D sorted;
    std::vector<std::pair<int, int>> exchanges;
  };
  // Hand-run comb sorts. The first gap is trunc((last - first) / 1.3): for four
  // elements 2, so the first exchange is (1, 3), not (1, 4).
  const Case cases[] = {
      {{3, 1, 2}, true, 0, 0, {1, 2, 3}, {{1, 2}, {2, 3}}},
      {{4, 3, 2, 1}, true, 0, 0, {1, 2, 3, 4}, {{1, 3}, {2, 4}, {1, 2}, {3, 4}}},
      {{1, 2, 3}, false, 0, 0, {3, 2, 1}, {{1, 2}, {2, 3}, {1, 2}}},
      {{9, 3, 1, 2, 0}, true, 4, 2, {9, 1, 2, 3, 0}, {{2, 3}, {3, 4}}},
      {{9, 3, 1, 2, 0}, true, -5, 3, {1, 3, 9, 2, 0}, {{1, 2}, {2, 3}, {1, 2}}},
  };
  for (const Case& c : cases) {
    this->Set(c.values);
    std::vector<std::pair<int, int>> seen;
    this->v.SetOnSortExchange([&](TObject*, uint8_t kind, int i, int j, int a, int b) {
      EXPECT_EQ(kind, 0);
      EXPECT_EQ(a, 0);
      EXPECT_EQ(b, 0);
      seen.emplace_back(i, j);
    });
    const double before = ProcStat;
    this->v.SortElems(c.ascending, c.first, c.last);
    EXPECT_EQ(Values(this->v), c.sorted);
    EXPECT_EQ(seen, c.exchanges);
    EXPECT_EQ(this->events, 1);
    EXPECT_EQ(ProcStat, before);  // no progress steps
  }
}

TYPED_TEST(VectorArith, SortElemsEndsWhenAnExchangeHandlerResizesTheVector) {
  this->Set({5, 4, 3, 2, 1, 0});
  int exchanges = 0;
  this->v.SetOnSortExchange([&](TObject*, uint8_t, int, int, int, int) {
    ++exchanges;
    this->v.Resize(100000);  // moves the storage under the sort
  });
  this->v.SortElems(true, 0, 0);
  EXPECT_EQ(exchanges, 1);
  EXPECT_EQ(this->v.NrOfElem(), 100000);
}

TYPED_TEST(VectorArith, SortElemsOfOneElementFiresNothing) {
  this->Set({5, 4, 3});
  int exchanges = 0;
  this->v.SetOnSortExchange([&](TObject*, uint8_t, int, int, int, int) { ++exchanges; });
  this->v.SortElems(true, 2, 2);
  this->v.SortElems(true, 7, 9);  // clamped to 3..3
  TypeParam single;
  single.SetOnChange([this](TObject*) { ++this->events; });
  single.SortElems(true, 0, 0);
  EXPECT_EQ(exchanges + this->events, 0);
}

TYPED_TEST(VectorArith, SortElemsSilentAndReportingPathsAgree) {
  SeedUniformRandom(11);
  const int n = 3000;
  using T = typename TestFixture::T;
  for (bool ascending : {true, false}) {
    TypeParam a, b;
    a.Resize(n);
    for (int i = 1; i <= n; ++i) a.SetVal(i, static_cast<T>(UniformRandomInt(500) - 250));
    b.Clone(&a);
    std::vector<T> replay(a.Storage().begin(), a.Storage().end());
    b.SetOnSortExchange([&](TObject*, uint8_t, int i, int j, int, int) {
      std::swap(replay[static_cast<size_t>(i - 1)], replay[static_cast<size_t>(j - 1)]);
    });
    std::vector<T> expect(replay);
    if (ascending) {
      std::sort(expect.begin(), expect.end());
    } else {
      std::sort(expect.begin(), expect.end(), std::greater<T>());
    }
    a.SortElems(ascending, 0, 0);
    b.SortElems(ascending, 0, 0);
    EXPECT_TRUE(std::equal(expect.begin(), expect.end(), a.Storage().begin()));
    EXPECT_TRUE(std::equal(expect.begin(), expect.end(), b.Storage().begin()));
    EXPECT_EQ(replay, expect);  // the reported exchanges reproduce the sort
  }
}

TYPED_TEST(VectorArith, MirrorReversesWithOneEventShuffleWithNone) {
  this->Set({1, 2, 3, 4});
  this->v.Mirror();
  EXPECT_EQ(Values(this->v), (D{4, 3, 2, 1}));
  EXPECT_EQ(this->events, 1);
  this->Set({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  int exchanges = 0;
  this->v.SetOnSortExchange([&](TObject*, uint8_t, int, int, int, int) { ++exchanges; });
  this->v.ShuffleElems();
  EXPECT_EQ(this->events + exchanges, 0);
  D values = Values(this->v);
  std::sort(values.begin(), values.end());
  EXPECT_EQ(values, (D{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));  // a permutation
}

// ---- Integration (TVector only) -------------------------------------------------------

TEST(VectorIntegrate, CasesOfTheRules) {
  TVector v;
  SetValues(v, {1, 2, 3});
  EXPECT_DOUBLE_EQ(v.Integrate(1, 3, imTrapezoidal), 4.0);
  EXPECT_DOUBLE_EQ(v.Integrate(1, 3, imSimple), 4.0);  // mean 2 times width 2
  EXPECT_DOUBLE_EQ(v.Integrate(5, 1, imTrapezoidal), 4.0);  // exchanged and clamped
  EXPECT_EQ(v.Integrate(1.5, 1.5, imSimple), 0.0);
  EXPECT_EQ(v.Integrate(1, 3, static_cast<TIntegMethod>(7)), 0.0);
  EXPECT_TRUE(std::isnan(v.Integrate(std::numeric_limits<double>::quiet_NaN(), 2, imSimpson)));
  EXPECT_TRUE(std::isnan(v.Integrate(1, std::numeric_limits<double>::quiet_NaN(), imSimple)));
  EXPECT_DOUBLE_EQ(v.Integrate(-std::numeric_limits<double>::infinity(), 1e300, imTrapezoidal), 4.0);
  SetValues(v, {0, 1, 4});
  EXPECT_DOUBLE_EQ(v.Integrate(1, 3, imSimpson), 8.0 / 3.0);
}

TEST(VectorIntegrate, SimpsonFamilyIsExactForCubicsAtEveryCount) {
  // f(x) = x^3 sampled at 1..9; the integral from 1 to b is (b^4 - 1) / 4. The
  // Simpson, three-eighths, Boole and extended rules are all exact for cubics.
  TVector v;
  v.Resize(9);
  for (int i = 1; i <= 9; ++i) v.SetVal(i, static_cast<double>(i) * i * i);
  for (int b = 3; b <= 9; ++b) {
    const double exact = (std::pow(b, 4.0) - 1.0) / 4.0;
    EXPECT_NEAR(v.Integrate(1, b, imSimpson), exact, 1e-10 * exact) << b;
  }
  // Two samples: the trapezoid (1 + 8) / 2; one sample: nothing.
  EXPECT_DOUBLE_EQ(v.Integrate(1, 2, imSimpson), 4.5);
  EXPECT_EQ(v.Integrate(4, 4, imSimpson), 0.0);
}

TEST(VectorIntegrate, FractionalBoundsAreExactForALinearFunction) {
  // f(x) = x: the integral from a to b is (b^2 - a^2) / 2, which the trapezoidal
  // end pieces and every rule reproduce.
  TVector v;
  v.Resize(10);
  for (int i = 1; i <= 10; ++i) v.SetVal(i, i);
  struct Case {
    double a, b;
  };
  const Case cases[] = {{1.5, 4.25}, {1.2, 1.7}, {2.5, 3.0}, {2.0, 9.5}, {1.1, 9.9}, {3.3, 3.9}};
  for (const Case& c : cases) {
    const double exact = (c.b * c.b - c.a * c.a) / 2.0;
    EXPECT_NEAR(v.Integrate(c.a, c.b, imTrapezoidal), exact, 1e-12) << c.a << " " << c.b;
    EXPECT_NEAR(v.Integrate(c.a, c.b, imSimpson), exact, 1e-12) << c.a << " " << c.b;
  }
  // imSimple with no sample inside: the mean of the two neighbours times the width.
  EXPECT_DOUBLE_EQ(v.Integrate(1.2, 1.7, imSimple), 1.5 * 0.5);
  EXPECT_DOUBLE_EQ(v.Integrate(1.5, 4.25, imSimple), 3.0 * 2.75);  // mean of 2, 3, 4
}

}  // namespace
}  // namespace dari
