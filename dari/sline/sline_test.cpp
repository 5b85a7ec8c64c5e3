#include "dari/sline/sline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <type_traits>

#include "dari/base/error.h"

namespace dari {
namespace {

constexpr double kPi = std::numbers::pi;

template <typename F>
void ExpectLineError(F f, const char* msg) {
  try {
    f();
    ADD_FAILURE() << "no exception, expected: " << msg;
  } catch (const EVOKSLineError& e) {
    EXPECT_STREQ(e.what(), msg);
  }
}

TEST(TSLine, NewLineIsTheXAxis) {
  TSLine l;
  EXPECT_EQ(l.ParA(), 0);
  EXPECT_EQ(l.ParB(), 1);
  EXPECT_EQ(l.ParC(), 0);
  EXPECT_FALSE(l.SubstituteInf());
  EXPECT_EQ(l.Slope(), 0);
  EXPECT_EQ(l.Intercept(), 0);
  EXPECT_EQ(l.Direction(), 0);
  EXPECT_FALSE(std::signbit(l.Direction()));
  EXPECT_EQ(l.ClassName(), "TSLine");
}

TEST(TSLine, ErrorClassDerivesFromTheGeneralException) {
  static_assert(std::is_base_of_v<Exception, EVOKSLineError>);
  static_assert(!std::is_base_of_v<DARIError, EVOKSLineError>);
}

TEST(TSLine, SettersRefuseBothCoefficientsZero) {
  TSLine l;
  l.SetParA(2);
  l.SetParB(0);  // A = 2, B = 0 is a vertical line
  ExpectLineError([&] { l.SetParA(0); }, "parameter A and B must not both be zero");
  EXPECT_EQ(l.ParA(), 2);
  l.SetParB(3);
  l.SetParA(0);
  ExpectLineError([&] { l.SetParB(0); }, "parameter A and B must not both be zero");
  EXPECT_EQ(l.ParB(), 3);
  l.SetParC(-7);
  EXPECT_EQ(l.ParC(), -7);
}

TEST(TSLine, LineFrom2Points) {
  TSLine l;
  ASSERT_TRUE(l.LineFrom2Points(0, 0, 1, 1));
  EXPECT_EQ(l.ParA(), -1);
  EXPECT_EQ(l.ParB(), 1);
  EXPECT_EQ(l.ParC(), 0);
  EXPECT_DOUBLE_EQ(l.Direction(), kPi / 4);
  EXPECT_DOUBLE_EQ(l.Distance(1, 0), std::sqrt(2.0) / 2);
  EXPECT_FALSE(l.LineFrom2Points(2, 3, 2, 3));
  EXPECT_EQ(l.ParA(), -1);
  EXPECT_EQ(l.ParB(), 1);
  EXPECT_EQ(l.ParC(), 0);
}

TEST(TSLine, DirectionOfATinyNegativeAngleStaysBelowAFullTurn) {
  TSLine l;
  l.SetParB(1);
  l.SetParA(1e-300);  // atan(-1e-300) + 2 pi rounds to 2 pi
  EXPECT_GE(l.Direction(), 0.0);
  EXPECT_LT(l.Direction(), 2 * kPi);
}

TEST(TSLine, DirectionCoversTheFullTurn) {
  // Direction of the line through (0, 0) and (dx, dy) is the angle of (dx, dy).
  struct Case {
    double dx, dy, expected;
  } cases[] = {
      {1, 0, 0},    {1, 1, kPi / 4},       {0, 1, kPi / 2},      {-1, 1, 3 * kPi / 4},
      {-1, 0, kPi}, {-1, -1, 5 * kPi / 4}, {0, -1, 3 * kPi / 2}, {1, -1, 7 * kPi / 4},
  };
  for (const Case& c : cases) {
    TSLine l;
    ASSERT_TRUE(l.LineFrom2Points(0, 0, c.dx, c.dy));
    EXPECT_DOUBLE_EQ(l.Direction(), c.expected) << c.dx << "," << c.dy;
  }
}

TEST(TSLine, ThroughPointAndSlopeIntercept) {
  TSLine l;
  l.LineThroughPoint(1, 2, kPi / 4);  // y = x + 1
  EXPECT_NEAR(l.ParA() * l.ParA() + l.ParB() * l.ParB(), 1, 1e-15);
  EXPECT_NEAR(l.Slope(), 1, 1e-15);
  EXPECT_NEAR(l.Intercept(), 1, 1e-15);
  EXPECT_NEAR(l.Distance(1, 2), 0, 1e-15);
  l.LineFromSlopeIcpt(2, 3);
  EXPECT_EQ(l.ParA(), 2);
  EXPECT_EQ(l.ParB(), -1);
  EXPECT_EQ(l.ParC(), 3);
  double k = 0, d = 0;
  l.CalcKDForm(k, d);
  EXPECT_EQ(k, 2);
  EXPECT_EQ(d, 3);
  EXPECT_EQ(l.CalcY(1), 5);
  EXPECT_EQ(l.CalcX(5), 1);
}

TEST(TSLine, IntersectionAndAngle) {
  TSLine a, b, c;
  a.SetParA(1);
  a.SetParB(-1);  // x - y = 0
  b.SetParA(1);
  b.SetParB(1);
  b.SetParC(-2);  // x + y - 2 = 0
  double x = 9, y = 9;
  ASSERT_TRUE(a.InterSection(&b, x, y));
  EXPECT_DOUBLE_EQ(x, 1);
  EXPECT_DOUBLE_EQ(y, 1);
  EXPECT_DOUBLE_EQ(a.AngleBetweenLines(&b), kPi / 2);
  c.ParallelLine(5, 0, &a);
  x = y = 9;
  EXPECT_FALSE(a.InterSection(&c, x, y));
  EXPECT_EQ(x, 9);
  EXPECT_EQ(y, 9);
  EXPECT_EQ(a.AngleBetweenLines(&c), 0);
  TSLine xAxis;
  EXPECT_DOUBLE_EQ(a.AngleBetweenLines(&xAxis), kPi / 4);
}

TEST(TSLine, NormalAndParallelThroughAPoint) {
  TSLine l, n, p;
  l.LineFromSlopeIcpt(2, 1);
  n.NormalLine(1, 1, &l);
  EXPECT_EQ(l.ParA() * n.ParA() + l.ParB() * n.ParB(), 0);  // perpendicular
  EXPECT_EQ(n.Distance(1, 1), 0);
  p.ParallelLine(1, 1, &l);
  EXPECT_DOUBLE_EQ(p.Slope(), 2);
  EXPECT_EQ(p.Distance(1, 1), 0);
}

TEST(TSLine, NormalAndParallelOfItself) {
  // The line is its own OtherLine: its coefficients must be read before they
  // are overwritten.
  TSLine l;
  l.LineFromSlopeIcpt(2, 1);  // A = 2, B = -1
  l.NormalLine(1, 1, &l);     // expect A = 1, B = 2, C = -3
  EXPECT_EQ(l.ParA(), 1);
  EXPECT_EQ(l.ParB(), 2);
  EXPECT_EQ(l.ParC(), -3);
  l.ParallelLine(0, 0, &l);
  EXPECT_EQ(l.ParA(), 1);
  EXPECT_EQ(l.ParB(), 2);
  EXPECT_EQ(l.ParC(), 0);
}

TEST(TSLine, NullOtherLineRaises) {
  TSLine l;
  double x, y;
  const char* msg = "other line not assigned";
  ExpectLineError([&] { l.NormalLine(0, 0, nullptr); }, msg);
  ExpectLineError([&] { l.ParallelLine(0, 0, nullptr); }, msg);
  ExpectLineError([&] { l.InterSection(nullptr, x, y); }, msg);
  ExpectLineError([&] { l.AngleBetweenLines(nullptr); }, msg);
}

TEST(TSLine, VerticalLineErrorsAndSubstitution) {
  TSLine v;
  ASSERT_TRUE(v.LineFrom2Points(3, 0, 3, 1));  // x = 3: B = 0
  double k, d;
  ExpectLineError([&] { v.CalcKDForm(k, d); }, "cannot convert to k-d-form if ParB is zero");
  ExpectLineError([&] { v.CalcY(1); }, "cannot calculate y");
  ExpectLineError([&] { v.Slope(); }, "slope is infinite");
  ExpectLineError([&] { v.Intercept(); }, "cannot calculate intercept (line is parallel to y axis)");
  EXPECT_DOUBLE_EQ(v.CalcX(42), 3);

  TSLine h;  // the x axis: A = 0
  ExpectLineError([&] { h.CalcX(5); }, "cannot calculate x");
  h.SetSubstituteInf(true);
  EXPECT_NEAR(std::fabs(h.CalcX(5)), 5e100, 1e86);
}

TEST(TSLine, ClipBox) {
  struct Case {
    double k, d;  // y = k x + d
    bool found;
    double x1, y1, x2, y2;
  } cases[] = {
      {1, 0, true, 0, 0, 10, 10},      // diagonal through two corners
      {2, 0, true, 0, 0, 5, 10},       // through a corner and the top side
      {0, 5, true, 0, 5, 10, 5},       // horizontal, through the middle
      {0, 0, true, 0, 0, 10, 0},       // along the bottom side
      {0.5, 2, true, 0, 2, 10, 7},     // left and right sides
      {-1, 20, true, 10, 10, 10, 10},  // touches the top-right corner only
      {0, 20, false, -1, -1, -1, -1},  // above the box
  };
  for (const Case& c : cases) {
    TSLine l;
    l.LineFromSlopeIcpt(c.k, c.d);
    double x1 = -1, y1 = -1, x2 = -1, y2 = -1;
    EXPECT_EQ(l.ClipBox(0, 0, 10, 10, x1, y1, x2, y2), c.found) << c.k << " " << c.d;
    EXPECT_DOUBLE_EQ(x1, c.x1) << c.k << " " << c.d;
    EXPECT_DOUBLE_EQ(y1, c.y1) << c.k << " " << c.d;
    EXPECT_DOUBLE_EQ(x2, c.x2) << c.k << " " << c.d;
    EXPECT_DOUBLE_EQ(y2, c.y2) << c.k << " " << c.d;
    EXPECT_FALSE(l.SubstituteInf());  // restored
  }
}

TEST(TSLine, ClipBoxVerticalLineAndRestoredFlag) {
  TSLine v;
  ASSERT_TRUE(v.LineFrom2Points(4, 0, 4, 1));  // x = 4
  v.SetSubstituteInf(true);
  double x1, y1, x2, y2;
  ASSERT_TRUE(v.ClipBox(0, 0, 10, 10, x1, y1, x2, y2));
  EXPECT_DOUBLE_EQ(x1, 4);
  EXPECT_DOUBLE_EQ(y1, 0);
  EXPECT_DOUBLE_EQ(x2, 4);
  EXPECT_DOUBLE_EQ(y2, 10);
  EXPECT_TRUE(v.SubstituteInf());
}

}  // namespace
}  // namespace dari
