// Interpolation, polynomials, interval and rectangle helpers, angles and
// elementary functions.
#include "dari/math1/interpolation.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <numbers>

#include "dari/platform/exceptions.h"
#include "dari/platform/extended.h"
#include "dari/platform/numeric.h"

namespace dari {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

template <typename T>
double InterpolEquidistant(double x, double X0, double XLast, std::span<const T> Table) {
  if (Table.size() < 2) throw DARIMath1Error("InterpolTable: pivot array must contain at least 2 values");
  if (XLast - X0 == 0) throw DARIMath1Error("InterpolTable: specified range of pivot array is zero");
  const std::size_t m = Table.size() - 1;
  const double mm = static_cast<double>(m);
  const double t = mm * (x - X0) / (XLast - X0);
  if (std::isnan(t)) return std::numeric_limits<double>::quiet_NaN();
  auto at = [&](std::size_t i) { return static_cast<double>(Table[i]); };
  if (t < 0) return at(0) + (at(1) - at(0)) * t;
  if (t > mm) return at(m) + (at(m) - at(m - 1)) * (t - mm);
  // 0 <= t <= m: t converts to an index inside the table.
  const std::size_t i = static_cast<std::size_t>(t);
  const double frac = t - static_cast<double>(i);
  if (i >= m || frac == 0) return at(std::min(i, m));
  return at(i) + (at(i + 1) - at(i)) * frac;
}

// Shared by Polynomial and CenteredPolynomial: the powers are built up by
// repeated multiplication, starting from x^0 = 1.
double EvalPowers(std::span<const double> Coeff, int Order, double x) {
  if (Order < 0 || static_cast<std::size_t>(Order) >= Coeff.size())
    throw DARIMath1Error("Polynomial: invalid order of polynomial");
  double sum = 0;
  double power = 1;
  for (std::size_t k = 0; k <= static_cast<std::size_t>(Order); ++k) {
    sum += Coeff[k] * power;
    power *= x;
  }
  return sum;
}

template <typename T>
T Confine(T x, T Bound1, T Bound2) {
  const T lo = Bound1 < Bound2 ? Bound1 : Bound2;
  const T hi = Bound1 < Bound2 ? Bound2 : Bound1;
  if (x < lo) return lo;
  if (x > hi) return hi;
  return x;
}

double CanonicalAngle(double a, double FullTurn) {
  const double half = FullTurn / 2;
  if (a > FullTurn) {
    a = Frac(a / FullTurn) * FullTurn;
  } else if (a < -FullTurn) {
    a = -Frac(-a / FullTurn) * FullTurn;
  }
  if (a > half) {
    a -= FullTurn;
  } else if (a < -half) {
    a += FullTurn;
  }
  return a;
}

}  // namespace

double InterpolTable(double x, double X0, double XLast, std::span<const double> Table) {
  return InterpolEquidistant(x, X0, XLast, Table);
}

double InterpolTable(double x, double X0, double XLast, std::span<const int32_t> Table) {
  return InterpolEquidistant(x, X0, XLast, Table);
}

double InterpolXYTable(double x, const TDouble2DArray& Table) {
  // Shape checks come before any element is read: an empty table has no column
  // 0, and a y column shorter than the x column must not be read past its end.
  static const char* const kRowsMsg = "InterpolXYTable: pivot array must contain at least 2 rows";
  if (Table.empty() || Table[0].size() < 2) throw DARIMath1Error(kRowsMsg);
  if (Table.size() != 2) throw DARIMath1Error("InterpolXYTable: pivot array must contain 2 columns");
  if (Table[1].size() != Table[0].size()) throw DARIMath1Error(kRowsMsg);
  if (std::isnan(x)) return std::numeric_limits<double>::quiet_NaN();

  const std::vector<double>& X = Table[0];
  const std::vector<double>& Y = Table[1];
  const std::size_t n = X.size();
  std::size_t i;
  if (x < X[0]) {
    i = 1;  // extend the first segment
  } else if (x > X[n - 1]) {
    i = n - 1;  // extend the last segment
  } else {
    i = 0;
    while (x > X[i]) ++i;  // stops at n - 1 at the latest, since x <= X[n - 1]
    if (i == 0) return Y[0];
  }
  return Y[i] + (x - X[i]) / (X[i] - X[i - 1]) * (Y[i] - Y[i - 1]);
}

double InterpolZofXYRect(double a, double b, double c, double d, double u, double v) {
  const double p = a + (c - a) * u;
  const double q = b + (d - b) * u;
  return p + (q - p) * v;
}

double Polynomial(std::span<const double> Coeff, int Order, double x) {
  return EvalPowers(Coeff, Order, x);
}

double CenteredPolynomial(std::span<const double> Coeff, int Order, double x, double Centre) {
  return EvalPowers(Coeff, Order, x - Centre);
}

bool WithinBounds(double x, double Bound1, double Bound2) {
  const double lo = std::min(Bound1, Bound2);
  const double hi = std::max(Bound1, Bound2);
  return lo <= x && x <= hi;
}

double ConfineValue(double x, double Bound1, double Bound2) {
  return Confine(x, Bound1, Bound2);
}
float ConfineValue(float x, float Bound1, float Bound2) {
  return Confine(x, Bound1, Bound2);
}
int32_t ConfineValue(int32_t x, int32_t Bound1, int32_t Bound2) {
  return Confine(x, Bound1, Bound2);
}

bool WithinRect(const TPointDouble& P, const TRectDouble& R) {
  return WithinBounds(P.x, R.Left, R.Right) && WithinBounds(P.y, R.Top, R.Bottom);
}

bool ConfinePointToRect(TPointDouble& P, const TRectDouble& R) {
  const double x = Confine(P.x, R.Left, R.Right);
  const double y = Confine(P.y, R.Top, R.Bottom);
  const bool moved = x != P.x || y != P.y;
  P.x = x;
  P.y = y;
  return moved;
}

int32_t DistFromRect(const TPoint& P, const TRect& R) {
  // Differences of two int32 values need 33 bits; squares of them need double.
  const int64_t px = P.x, py = P.y;
  int64_t d;
  if (R.Left < px && px < R.Right) {
    if (py < R.Top) {
      d = R.Top - py;
    } else if (py > R.Bottom) {
      d = py - R.Bottom;
    } else {
      d = 0;
    }
  } else if (R.Top < py && py < R.Bottom) {
    d = px <= R.Left ? R.Left - px : px - R.Right;
  } else {
    double best = std::numeric_limits<double>::infinity();
    const int32_t cx[2] = {R.Left, R.Right};
    const int32_t cy[2] = {R.Top, R.Bottom};
    for (int32_t x : cx) {
      for (int32_t y : cy) {
        const double dx = static_cast<double>(x - px);
        const double dy = static_cast<double>(y - py);
        best = std::min(best, Round(std::sqrt(dx * dx + dy * dy)));
      }
    }
    return RoundToIntSaturated(best);
  }
  return static_cast<int32_t>(
      std::clamp<int64_t>(d, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

double EuclideanDistance(const TPointDouble& P1, const TPointDouble& P2) {
  return EuclideanDistance(P1.x, P1.y, P2.x, P2.y);
}

double EuclideanDistance(double x1, double y1, double x2, double y2) {
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  return std::sqrt(dx * dx + dy * dy);
}

double AngleToXAxis(double dx, double dy) {
  double a;
  if (dx == 0) {
    a = dy > 0 ? kPi / 2 : 3 * kPi / 2;
  } else if (dx > 0) {
    a = std::atan(dy / dx);
  } else {
    a = std::atan(dy / dx) + kPi;
  }
  if (a < 0) {
    a += kTwoPi;
  } else if (a > kTwoPi) {
    a -= kTwoPi;
  }
  return a;
}

double CanonicalAngleRadians(double Angle) {
  return CanonicalAngle(Angle, kTwoPi);
}
double CanonicalAngleDegrees(double Angle) {
  return CanonicalAngle(Angle, 360.0);
}

// The logarithms and the trigonometric quotients are formed in extended
// precision, so that lg(1000) is 3 and ld(8) is 3 after rounding to double.
double lg(double x) {
  if (x <= 0) throw EMathError("logarithm: invalid argument");
  return static_cast<double>(std::log(static_cast<Extended>(x)) / std::log(10.0L));
}

double ld(double x) {
  if (x <= 0) throw EMathError("logarithm: invalid argument");
  return static_cast<double>(std::log(static_cast<Extended>(x)) / std::log(2.0L));
}

double tg(double x) {
  const Extended c = std::cos(static_cast<Extended>(x));
  if (c == 0) throw EMathError("tangens overflow");
  return static_cast<double>(std::sin(static_cast<Extended>(x)) / c);
}

double cot(double x) {
  const Extended s = std::sin(static_cast<Extended>(x));
  if (s == 0) throw EMathError("cotangens overflow");
  return static_cast<double>(std::cos(static_cast<Extended>(x)) / s);
}

double sinh(double x) {
  const Extended e = std::exp(static_cast<Extended>(x));
  return static_cast<double>((e - 1 / e) / 2);
}

double cosh(double x) {
  const Extended e = std::exp(static_cast<Extended>(x));
  return static_cast<double>((e + 1 / e) / 2);
}

double tgh(double x) {
  const Extended e2 = std::exp(2 * static_cast<Extended>(x));
  return static_cast<double>(1 - 2 / (e2 + 1));
}

double Min(double a, double b) {
  return a < b ? a : b;
}
double Max(double a, double b) {
  return a > b ? a : b;
}

int32_t Signum(double x) {
  return x < 0 ? -1 : 1;
}

int32_t IntPos(double x) {
  return TruncToIntSaturated(std::ceil(x));
}
int32_t IntNeg(double x) {
  return TruncToIntSaturated(std::floor(x));
}

}  // namespace dari
