// TSLine: one straight line of the plane in the general form
// A*x + B*y + C = 0, with constructions (two points, point and angle, slope and
// intercept, normals and parallels), measures (intersection, angle, distance,
// coordinates on the line) and clipping against an axis-parallel box.
#pragma once

#include <string>

#include "dari/platform/component.h"
#include "dari/platform/exceptions.h"

namespace dari {

// Every error of TSLine. Derives from the platform's general exception.
class EVOKSLineError : public Exception {
 public:
  using Exception::Exception;
};

class TSLine : public TComponent {
 public:
  // A new line is the x axis: A = 0, B = 1, C = 0, SubstituteInf false.
  explicit TSLine(TComponent* AOwner = nullptr);

  std::string ClassName() const override { return "TSLine"; }

  // When true, CalcX and CalcY divide by 1e-100 instead of raising on a zero
  // coefficient, giving a huge finite coordinate.
  bool SubstituteInf() const { return FSubstInf; }
  void SetSubstituteInf(bool Value) { FSubstInf = Value; }

  // The coefficients. Setting A or B to 0 while the other is 0 raises
  // EVOKSLineError "parameter A and B must not both be zero" and keeps the old
  // value; C is stored without checks.
  double ParA() const { return FParA; }
  void SetParA(double Value);
  double ParB() const { return FParB; }
  void SetParB(double Value);
  double ParC() const { return FParC; }
  void SetParC(double Value);

  // Angle of the direction vector (B, -A) in [0, 2 pi).
  double Direction() const;
  // -A/B and -C/B (y = Slope*x + Intercept); B = 0 raises EVOKSLineError.
  double Slope() const;
  double Intercept() const;

  // The line through two points; two equal points return false and change nothing.
  bool LineFrom2Points(double P1X, double P1Y, double P2X, double P2Y);
  // The line through (px, py) at angle (radians) against the x axis, with A^2 + B^2 = 1.
  void LineThroughPoint(double px, double py, double angle);
  // The line y = k*x + d.
  void LineFromSlopeIcpt(double k, double d);
  // The methods below that take OtherLine raise EVOKSLineError "other line not
  // assigned" when it is null.
  // The perpendicular to OtherLine through (px, py). OtherLine may be this line.
  void NormalLine(double px, double py, const TSLine* OtherLine);
  // The parallel to OtherLine through (px, py). OtherLine may be this line.
  void ParallelLine(double px, double py, const TSLine* OtherLine);

  // Intersection with OtherLine; parallel or equal lines return false and leave
  // x and y unchanged.
  bool InterSection(const TSLine* OtherLine, double& x, double& y) const;
  // The angle between the two lines in [0, pi/2].
  double AngleBetweenLines(const TSLine* OtherLine) const;
  // Distance of the point (px, py) from the line.
  double Distance(double px, double py) const;
  // k and d of y = k*x + d; B = 0 raises EVOKSLineError.
  void CalcKDForm(double& k, double& d) const;
  // The x of the line at y, and the y at x. A zero divisor (A for CalcX, B for
  // CalcY) raises EVOKSLineError unless SubstituteInf is true.
  double CalcX(double y) const;
  double CalcY(double x) const;

  // The part of the line inside the box with lower-left corner (bllx, blly) and
  // upper-right corner (burx, bury): the crossings with the left, right, bottom
  // and top sides are tried in this order and the first two distinct points on
  // the border (bounds included) go to (x1, y1) and (x2, y2). Returns true when
  // at least one point was found. With exactly one point (the line touches a
  // corner) (x2, y2) repeats (x1, y1); with none, all four outputs are left as
  // they were. SubstituteInf is on during the call and restored afterwards.
  bool ClipBox(double bllx, double blly, double burx, double bury, double& x1, double& y1, double& x2,
               double& y2);

 private:
  // OtherLine itself; a null pointer raises EVOKSLineError "other line not assigned".
  const TSLine& Other(const TSLine* OtherLine) const;

  double FParA = 0;
  double FParB = 1;
  double FParC = 0;
  bool FSubstInf = false;
};

}  // namespace dari
