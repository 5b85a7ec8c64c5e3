#include "dari/math1/interpolation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "dari/platform/exceptions.h"

namespace dari {
namespace {

constexpr double kPi = std::numbers::pi;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

template <typename E, typename F>
void ExpectThrowWithMessage(F f, const char* msg) {
  try {
    f();
    ADD_FAILURE() << "no exception, expected: " << msg;
  } catch (const E& e) {
    EXPECT_STREQ(e.what(), msg);
  }
}

TEST(InterpolTable, InterpolatesAndExtrapolatesInBothDirections) {
  const std::vector<double> t{0, 10, 20, 30, 40, 50};
  const std::vector<int32_t> ti{0, 10, 20, 30, 40, 50};
  struct Case {
    double x, x0, xLast, expected;
  } cases[] = {
      {2.5, 0, 10, 12.5}, {2.5, 10, 0, 37.5},  // reversed abscissae
      {12, 0, 10, 60},    {-2, 0, 10, -10},    // beyond either end
      {4, 0, 10, 20},     {10, 0, 10, 50},     // on a pivot; the last one
      {0, 0, 10, 0},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(InterpolTable(c.x, c.x0, c.xLast, t), c.expected) << c.x << " " << c.x0;
    EXPECT_DOUBLE_EQ(InterpolTable(c.x, c.x0, c.xLast, ti), c.expected) << c.x << " " << c.x0;
  }
}

TEST(InterpolTable, ErrorsAndNaN) {
  const std::vector<double> one{1};
  const std::vector<double> two{1, 2};
  ExpectThrowWithMessage<DARIMath1Error>([&] { InterpolTable(0, 0, 1, one); },
                                         "InterpolTable: pivot array must contain at least 2 values");
  ExpectThrowWithMessage<DARIMath1Error>([&] { InterpolTable(0, 3, 3, two); },
                                         "InterpolTable: specified range of pivot array is zero");
  EXPECT_TRUE(std::isnan(InterpolTable(kNaN, 0, 1, two)));
  EXPECT_EQ(InterpolTable(std::numeric_limits<double>::infinity(), 0, 1, two),
            std::numeric_limits<double>::infinity());
}

TEST(InterpolXYTable, FollowsTheSegments) {
  const TDouble2DArray t{{1, 2, 4}, {10, 20, 40}};
  EXPECT_DOUBLE_EQ(InterpolXYTable(1.5, t), 15);
  EXPECT_DOUBLE_EQ(InterpolXYTable(5, t), 50);  // last segment extended
  EXPECT_DOUBLE_EQ(InterpolXYTable(1, t), 10);
  EXPECT_DOUBLE_EQ(InterpolXYTable(0, t), 0);  // first segment extended
  EXPECT_DOUBLE_EQ(InterpolXYTable(3, t), 30);
  EXPECT_DOUBLE_EQ(InterpolXYTable(4, t), 40);
  EXPECT_TRUE(std::isnan(InterpolXYTable(kNaN, t)));
}

TEST(InterpolXYTable, ShapeIsCheckedBeforeAnyElementIsRead) {
  const char* rows = "InterpolXYTable: pivot array must contain at least 2 rows";
  const char* cols = "InterpolXYTable: pivot array must contain 2 columns";
  struct Case {
    TDouble2DArray table;
    const char* msg;
  } cases[] = {
      {{}, rows},                          // no column 0 at all
      {{{1}, {10}}, rows},                 // one row
      {{{1, 2}, {10}}, rows},              // y column shorter than x column
      {{{1, 2}, {10, 20, 30}}, rows},      // y column longer
      {{{1, 2}}, cols},                    // one column
      {{{1, 2}, {10, 20}, {0, 0}}, cols},  // three columns
      {{{1}}, rows},                       // rows are checked first
  };
  for (const Case& c : cases) {
    ExpectThrowWithMessage<DARIMath1Error>([&] { InterpolXYTable(1.5, c.table); }, c.msg);
  }
}

TEST(InterpolZofXYRect, BlendsTheFourCorners) {
  EXPECT_DOUBLE_EQ(InterpolZofXYRect(1, 2, 3, 4, 0, 0), 1);
  EXPECT_DOUBLE_EQ(InterpolZofXYRect(1, 2, 3, 4, 1, 0), 3);
  EXPECT_DOUBLE_EQ(InterpolZofXYRect(1, 2, 3, 4, 0, 1), 2);
  EXPECT_DOUBLE_EQ(InterpolZofXYRect(1, 2, 3, 4, 1, 1), 4);
  EXPECT_DOUBLE_EQ(InterpolZofXYRect(1, 2, 3, 4, 0.5, 0.5), 2.5);
}

TEST(Polynomial, EvaluatesAndChecksTheOrder) {
  const std::vector<double> c{1, 2, 3};
  EXPECT_DOUBLE_EQ(Polynomial(c, 2, 2), 17);  // 1 + 4 + 12
  EXPECT_DOUBLE_EQ(Polynomial(c, 1, 2), 5);
  EXPECT_DOUBLE_EQ(Polynomial(c, 0, 2), 1);
  EXPECT_DOUBLE_EQ(CenteredPolynomial(c, 2, 5, 3), 17);
  const char* msg = "Polynomial: invalid order of polynomial";
  ExpectThrowWithMessage<DARIMath1Error>([&] { Polynomial(c, 3, 2); }, msg);
  ExpectThrowWithMessage<DARIMath1Error>([&] { Polynomial(c, -1, 2); }, msg);
  ExpectThrowWithMessage<DARIMath1Error>([&] { CenteredPolynomial(c, 3, 2, 0); }, msg);
  ExpectThrowWithMessage<DARIMath1Error>([&] { Polynomial(std::span<const double>(), 0, 2); }, msg);
}

TEST(Intervals, BoundsInEitherOrder) {
  EXPECT_TRUE(WithinBounds(5, 10, 0));
  EXPECT_TRUE(WithinBounds(10, 10, 0));
  EXPECT_FALSE(WithinBounds(10.5, 10, 0));
  EXPECT_FALSE(WithinBounds(kNaN, 0, 10));
  EXPECT_EQ(ConfineValue(int32_t{-3}, 10, 0), 0);
  EXPECT_EQ(ConfineValue(int32_t{13}, 10, 0), 10);
  EXPECT_EQ(ConfineValue(-3.0, 10.0, 0.0), 0.0);
  EXPECT_EQ(ConfineValue(2.5f, 0.0f, 2.0f), 2.0f);
  EXPECT_EQ(ConfineValue(1.5, 2.0, 0.0), 1.5);
}

TEST(Rectangles, WithinAndConfine) {
  const TRectDouble r{10, 5, 0, -5};  // corners in reversed order
  EXPECT_TRUE(WithinRect({0, 5}, r));
  EXPECT_TRUE(WithinRect({3, 0}, r));
  EXPECT_FALSE(WithinRect({3, 6}, r));
  TPointDouble p{3, 0};
  EXPECT_FALSE(ConfinePointToRect(p, r));
  p = {12, -7};
  EXPECT_TRUE(ConfinePointToRect(p, r));
  EXPECT_EQ(p.x, 10);
  EXPECT_EQ(p.y, -5);
}

TEST(DistFromRect, SidesCornersAndInside) {
  const TRect r{10, 0, 20, 10};
  struct Case {
    TPoint p;
    int32_t expected;
  } cases[] = {
      {{10, 5}, 0},  {{15, 5}, 0}, {{15, -3}, 3}, {{15, 14}, 4},
      {{4, 5}, 6},   {{25, 5}, 5}, {{10, 0}, 0},  {{7, -4}, 5},  // corner (10, 0), 3-4-5
      {{21, 12}, 2},                                             // sqrt(5) = 2.24 -> 2
  };
  for (const Case& c : cases) EXPECT_EQ(DistFromRect(c.p, r), c.expected) << c.p.x << "," << c.p.y;
  EXPECT_EQ(DistFromRect({0, 0}, {3, 4, 10, 10}), 5);
}

TEST(DistFromRect, LargeCoordinatesDoNotOverflow) {
  // Corner distances beyond 46341 squared exceed int32; computed in double.
  EXPECT_EQ(DistFromRect({0, 0}, {60000, 80000, 70000, 90000}), 100000);
  // The extreme corner: sqrt(2) * (2^32 - 1) saturates to the int32 maximum.
  EXPECT_EQ(DistFromRect({INT32_MIN, INT32_MIN}, {INT32_MAX - 1, INT32_MAX - 1, INT32_MAX, INT32_MAX}),
            INT32_MAX);
  // A side gap wider than int32 saturates instead of wrapping.
  EXPECT_EQ(DistFromRect({0, INT32_MIN}, {-10, INT32_MAX - 1, 10, INT32_MAX}), INT32_MAX);
}

TEST(EuclideanDistance, BothForms) {
  EXPECT_DOUBLE_EQ(EuclideanDistance(1, 2, 4, 6), 5);
  EXPECT_DOUBLE_EQ(EuclideanDistance(TPointDouble{1, 2}, TPointDouble{4, 6}), 5);
}

TEST(Angles, AngleToXAxis) {
  struct Case {
    double dx, dy, expected;
  } cases[] = {
      {1, 0, 0},           {1, 1, kPi / 4},      {0, 2, kPi / 2},       {-1, 0, kPi}, {0, -2, 3 * kPi / 2},
      {0, 0, 3 * kPi / 2}, {1, -1, 7 * kPi / 4}, {-1, -1, 5 * kPi / 4},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(AngleToXAxis(c.dx, c.dy), c.expected) << c.dx << "," << c.dy;
}

TEST(Angles, CanonicalAngles) {
  EXPECT_DOUBLE_EQ(CanonicalAngleDegrees(540), 180);
  EXPECT_DOUBLE_EQ(CanonicalAngleDegrees(-190), 170);
  EXPECT_DOUBLE_EQ(CanonicalAngleDegrees(-540), -180);
  EXPECT_DOUBLE_EQ(CanonicalAngleDegrees(180), 180);
  EXPECT_DOUBLE_EQ(CanonicalAngleDegrees(-180), -180);
  EXPECT_NEAR(CanonicalAngleDegrees(725), 5, 1e-12);
  EXPECT_NEAR(CanonicalAngleDegrees(-725), -5, 1e-12);
  EXPECT_NEAR(CanonicalAngleRadians(2.5 * kPi), 0.5 * kPi, 1e-15);
  EXPECT_DOUBLE_EQ(CanonicalAngleRadians(1.5 * kPi), -0.5 * kPi);
  EXPECT_NEAR(CanonicalAngleRadians(-4.5 * kPi), -0.5 * kPi, 1e-15);
}

TEST(ElementaryFunctions, ValuesAndPoles) {
  EXPECT_EQ(lg(1000), 3);
  EXPECT_EQ(ld(8), 3);
  EXPECT_DOUBLE_EQ(lg(2), 0.30102999566398120);
  EXPECT_DOUBLE_EQ(tg(kPi / 4), 1);
  EXPECT_DOUBLE_EQ(cot(kPi / 4), 1);
  EXPECT_GT(std::abs(tg(kPi / 2)), 1e15);  // cos of the double nearest pi/2 is tiny, not 0
  for (double x : {0.0, -1.0}) {
    ExpectThrowWithMessage<EMathError>([&] { lg(x); }, "logarithm: invalid argument");
    ExpectThrowWithMessage<EMathError>([&] { ld(x); }, "logarithm: invalid argument");
  }
  ExpectThrowWithMessage<EMathError>([] { cot(0); }, "cotangens overflow");
  EXPECT_DOUBLE_EQ(sinh(1), (std::exp(1.0) - std::exp(-1.0)) / 2);
  EXPECT_DOUBLE_EQ(cosh(1), (std::exp(1.0) + std::exp(-1.0)) / 2);
  EXPECT_DOUBLE_EQ(tgh(1), 0.76159415595576489);
  EXPECT_EQ(tgh(1000), 1);
  EXPECT_EQ(tgh(-1000), -1);
  EXPECT_EQ(sinh(-1000), -std::numeric_limits<double>::infinity());
}

TEST(SmallHelpers, SignumIntPosIntNegMinMax) {
  EXPECT_EQ(Signum(0), 1);
  EXPECT_EQ(Signum(-0.5), -1);
  EXPECT_EQ(Signum(2), 1);
  EXPECT_EQ(IntPos(2.1), 3);
  EXPECT_EQ(IntPos(2), 2);
  EXPECT_EQ(IntPos(-2.1), -2);
  EXPECT_EQ(IntNeg(-2.1), -3);
  EXPECT_EQ(IntNeg(2.9), 2);
  EXPECT_EQ(IntPos(1e300), INT32_MAX);
  EXPECT_EQ(IntNeg(-1e300), INT32_MIN);
  EXPECT_EQ(IntPos(kNaN), 0);
  EXPECT_EQ(Min(1, 2), 1);
  EXPECT_EQ(Max(1, 2), 2);
}

}  // namespace
}  // namespace dari
