// Straight lines in the general form A*x + B*y + C = 0.
#include "dari/sline/sline.h"

#include <cmath>
#include <numbers>

namespace dari {

namespace {

constexpr double kPi = std::numbers::pi;

// The divisor CalcX and CalcY use for a zero coefficient when SubstituteInf is on.
constexpr double kSubstDivisor = 1e-100;

// Switches SubstituteInf on for a scope and restores it on every exit path.
class TSubstInfScope {
 public:
  explicit TSubstInfScope(TSLine& Line) : FLine(Line), FSaved(Line.SubstituteInf()) {
    Line.SetSubstituteInf(true);
  }
  ~TSubstInfScope() { FLine.SetSubstituteInf(FSaved); }
  TSubstInfScope(const TSubstInfScope&) = delete;
  TSubstInfScope& operator=(const TSubstInfScope&) = delete;

 private:
  TSLine& FLine;
  bool FSaved;
};

}  // namespace

TSLine::TSLine(TComponent* AOwner) : TComponent(AOwner) {}

const TSLine& TSLine::Other(const TSLine* OtherLine) const {
  if (OtherLine == nullptr) throw EVOKSLineError("other line not assigned");
  return *OtherLine;
}

void TSLine::SetParA(double Value) {
  if (Value == 0 && FParB == 0) throw EVOKSLineError("parameter A and B must not both be zero");
  FParA = Value;
}

void TSLine::SetParB(double Value) {
  if (Value == 0 && FParA == 0) throw EVOKSLineError("parameter A and B must not both be zero");
  FParB = Value;
}

void TSLine::SetParC(double Value) {
  FParC = Value;
}

double TSLine::Direction() const {
  double a;
  if (FParB != 0) {
    a = std::atan(-FParA / FParB);
  } else {
    a = FParA > 0 ? kPi / 2 : -kPi / 2;
  }
  if (FParB <= 0) {
    a += kPi;
  } else if (FParA > 0) {
    a += 2 * kPi;
    if (a >= 2 * kPi) a = 0.0;  // a tiny negative angle plus 2 pi rounds to 2 pi
  }
  return a + 0.0;  // a negative zero (the x axis) reads as 0
}

double TSLine::Slope() const {
  if (FParB == 0) throw EVOKSLineError("slope is infinite");
  return -FParA / FParB;
}

double TSLine::Intercept() const {
  if (FParB == 0) throw EVOKSLineError("cannot calculate intercept (line is parallel to y axis)");
  return -FParC / FParB;
}

bool TSLine::LineFrom2Points(double P1X, double P1Y, double P2X, double P2Y) {
  if (P1X == P2X && P1Y == P2Y) return false;
  FParA = P1Y - P2Y;
  FParB = P2X - P1X;
  FParC = P1X * P2Y - P1Y * P2X;
  return true;
}

void TSLine::LineThroughPoint(double px, double py, double angle) {
  FParA = -std::sin(angle);
  FParB = std::cos(angle);
  FParC = -FParA * px - FParB * py;
}

void TSLine::LineFromSlopeIcpt(double k, double d) {
  FParA = k;
  FParB = -1;
  FParC = d;
}

void TSLine::NormalLine(double px, double py, const TSLine* OtherLine) {
  // Read the other line's coefficients before writing: it may be this line.
  const TSLine& o = Other(OtherLine);
  const double a = o.FParA;
  const double b = o.FParB;
  FParA = -b;
  FParB = a;
  FParC = -FParA * px - FParB * py;
}

void TSLine::ParallelLine(double px, double py, const TSLine* OtherLine) {
  const TSLine& o = Other(OtherLine);
  const double a = o.FParA;
  const double b = o.FParB;
  FParA = a;
  FParB = b;
  FParC = -FParA * px - FParB * py;
}

bool TSLine::InterSection(const TSLine* OtherLine, double& x, double& y) const {
  const TSLine& o = Other(OtherLine);
  const double det = FParA * o.FParB - o.FParA * FParB;
  if (det == 0) return false;
  x = (FParB * o.FParC - o.FParB * FParC) / det;
  y = (o.FParA * FParC - FParA * o.FParC) / det;
  return true;
}

double TSLine::AngleBetweenLines(const TSLine* OtherLine) const {
  const TSLine& o = Other(OtherLine);
  const double t = FParA * o.FParA + FParB * o.FParB;
  if (t == 0) return kPi / 2;
  return std::fabs(std::atan((FParA * o.FParB - FParB * o.FParA) / t));
}

double TSLine::Distance(double px, double py) const {
  return std::fabs(FParA * px + FParB * py + FParC) / std::sqrt(FParA * FParA + FParB * FParB);
}

void TSLine::CalcKDForm(double& k, double& d) const {
  if (FParB == 0) throw EVOKSLineError("cannot convert to k-d-form if ParB is zero");
  k = -FParA / FParB;
  d = -FParC / FParB;
}

double TSLine::CalcX(double y) const {
  double divisor = FParA;
  if (divisor == 0) {
    if (!FSubstInf) throw EVOKSLineError("cannot calculate x");
    divisor = kSubstDivisor;
  }
  return (-y * FParB - FParC) / divisor;
}

double TSLine::CalcY(double x) const {
  double divisor = FParB;
  if (divisor == 0) {
    if (!FSubstInf) throw EVOKSLineError("cannot calculate y");
    divisor = kSubstDivisor;
  }
  return (-x * FParA - FParC) / divisor;
}

bool TSLine::ClipBox(double bllx, double blly, double burx, double bury, double& x1, double& y1, double& x2,
                     double& y2) {
  TSubstInfScope substInf(*this);
  struct Candidate {
    double x, y;
    bool onBorder;
  };
  const double yLeft = CalcY(bllx);
  const double yRight = CalcY(burx);
  const double xBottom = CalcX(blly);
  const double xTop = CalcX(bury);
  const Candidate candidates[4] = {
      {bllx, yLeft, blly <= yLeft && yLeft <= bury},
      {burx, yRight, blly <= yRight && yRight <= bury},
      {xBottom, blly, bllx <= xBottom && xBottom <= burx},
      {xTop, bury, bllx <= xTop && xTop <= burx},
  };
  int accepted = 0;
  double ax = 0, ay = 0;
  for (const Candidate& c : candidates) {
    if (!c.onBorder) continue;
    if (accepted == 0) {
      ax = c.x;
      ay = c.y;
      accepted = 1;
    } else if (c.x != ax || c.y != ay) {
      // A line through a corner meets two sides there: that corner counts once,
      // so the real second point is not lost.
      x1 = ax;
      y1 = ay;
      x2 = c.x;
      y2 = c.y;
      return true;
    }
  }
  if (accepted == 0) return false;
  x1 = x2 = ax;
  y1 = y2 = ay;
  return true;
}

}  // namespace dari
