// Table interpolation, polynomial evaluation, tests and clamps against
// intervals and rectangles, small plane-geometry measures, angle normalisation
// and elementary functions with defined behaviour at their poles.
#pragma once

#include <cstdint>
#include <span>

#include "dari/base/types.h"
#include "dari/math1/math1_error.h"
#include "dari/platform/int_geometry.h"

namespace dari {

// Linear interpolation in a table of N >= 2 values sampled at equal steps, the
// first at abscissa X0 and the last at XLast (X0 may exceed XLast). Outside the
// table the first or last segment is extended. A NaN x gives NaN.
// Raises DARIMath1Error when the table has fewer than 2 values or XLast == X0.
double InterpolTable(double x, double X0, double XLast, std::span<const double> Table);
double InterpolTable(double x, double X0, double XLast, std::span<const int32_t> Table);

// Piecewise linear interpolation in a table of two columns: Table[0] holds the
// ascending abscissae, Table[1] the ordinates. Outside the abscissae the first
// or last segment is extended; a NaN x gives NaN. Raises DARIMath1Error when the
// table is empty, a column has fewer than 2 rows or the columns differ in length
// ("...at least 2 rows"), or there are not exactly 2 columns ("...2 columns").
double InterpolXYTable(double x, const TDouble2DArray& Table);

// Bilinear blend of the corner values a (0,0), b (0,1), c (1,0), d (1,1) at
// (u, v): p = a + (c - a) u, q = b + (d - b) u, result p + (q - p) v.
double InterpolZofXYRect(double a, double b, double c, double d, double u, double v);

// Sum of Coeff[k] * x^k for k = 0..Order, the powers built by repeated
// multiplication. Raises DARIMath1Error when Order < 0 or Order > Coeff.size() - 1.
double Polynomial(std::span<const double> Coeff, int Order, double x);
// The same polynomial in (x - Centre).
double CenteredPolynomial(std::span<const double> Coeff, int Order, double x, double Centre);

// True when x lies in the closed interval between the two bounds (either order).
bool WithinBounds(double x, double Bound1, double Bound2);

// x clamped into the closed interval between the two bounds (either order).
double ConfineValue(double x, double Bound1, double Bound2);
float ConfineValue(float x, float Bound1, float Bound2);
int32_t ConfineValue(int32_t x, int32_t Bound1, int32_t Bound2);

// True when P lies in the closed rectangle R (corners in either order).
bool WithinRect(const TPointDouble& P, const TRectDouble& R);

// Clamps P into the closed rectangle R; true when P moved.
bool ConfinePointToRect(TPointDouble& P, const TRectDouble& R);

// Distance in whole pixels of P from the rectangle R (Left < Right, Top <
// Bottom): the gap to the nearer side when P lies beside or above/below the
// rectangle, else the distance to the nearest corner rounded to the nearest
// integer; 0 on the border or inside. Results beyond int32 saturate.
int32_t DistFromRect(const TPoint& P, const TRect& R);

// sqrt((x2 - x1)^2 + (y2 - y1)^2).
double EuclideanDistance(const TPointDouble& P1, const TPointDouble& P2);
double EuclideanDistance(double x1, double y1, double x2, double y2);

// Direction of the vector (dx, dy) in radians, in [0, 2 pi]; (0, 0) gives 3 pi / 2.
double AngleToXAxis(double dx, double dy);

// The angle brought into [-pi, pi] (degrees: [-180, 180]) by whole turns; +-pi
// stay as they are.
double CanonicalAngleRadians(double Angle);
double CanonicalAngleDegrees(double Angle);

// Decimal and binary logarithm; x <= 0 raises EMathError "logarithm: invalid argument".
double lg(double x);
double ld(double x);
// Tangent; raises EMathError "tangens overflow" when cos x is exactly 0.
double tg(double x);
// Cotangent; raises EMathError "cotangens overflow" when sin x is exactly 0 (x = 0).
double cot(double x);
// Hyperbolic functions; sinh and cosh are formed from one exponential.
double sinh(double x);
double cosh(double x);
double tgh(double x);

double Min(double a, double b);
double Max(double a, double b);

// -1 for x < 0, otherwise +1 (zero gives +1).
int32_t Signum(double x);

// The smallest integer >= x and the largest integer <= x, saturated to int32
// (NaN gives 0).
int32_t IntPos(double x);
int32_t IntNeg(double x);

}  // namespace dari
