// Complex arithmetic in extended precision.
#include "dari/complex/complex.h"

#include <cmath>
#include <numbers>

namespace dari {

TComplex Cpx(Extended re, Extended im) {
  return TComplex{re, im};
}

Extended CpxAbs(const TComplex& a) {
  return std::sqrt(a.re * a.re + a.im * a.im);
}

Extended CpxAbsSqr(const TComplex& a) {
  return a.re * a.re + a.im * a.im;
}

TComplex CpxAdd(const TComplex& a, const TComplex& b) {
  return {a.re + b.re, a.im + b.im};
}

TComplex CpxSub(const TComplex& a, const TComplex& b) {
  return {a.re - b.re, a.im - b.im};
}

TComplex CpxMult(const TComplex& a, const TComplex& b) {
  return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

TComplex CpxDiv(const TComplex& a, const TComplex& b) {
  const Extended d = b.re * b.re + b.im * b.im;
  return {(a.re * b.re + a.im * b.im) / d, (a.im * b.re - a.re * b.im) / d};
}

TComplex CpxNeg(const TComplex& a) {
  return {-a.re, -a.im};
}

TComplex CpxConj(const TComplex& a) {
  return {a.re, -a.im};
}

bool CpxIsEqual(const TComplex& a, const TComplex& b) {
  return a.re == b.re && a.im == b.im;
}

bool CpxIsNearEqual(const TComplex& a, const TComplex& b) {
  return std::fabs(a.re - b.re) < CpxNearZero && std::fabs(a.im - b.im) < CpxNearZero;
}

bool CpxIsZero(const TComplex& a) {
  const bool reZero = a.re == 0 || std::fabs(a.re) < CpxNearZero;
  const bool imZero = a.im == 0 || std::fabs(a.im) < CpxNearZero;
  return reZero && imZero;
}

TComplexPolar ConvertRectToPolar(const TComplex& a) {
  constexpr Extended kPi = std::numbers::pi_v<Extended>;
  Extended phi = std::atan2(a.im, a.re);
  // atan2 answers -pi for a negative zero imaginary part on the negative real
  // axis; the argument's range is (-pi, pi].
  if (phi == -kPi) phi = kPi;
  return {CpxAbs(a), phi};
}

TComplex ConvertPolarToRect(const TComplexPolar& p) {
  return {p.r * std::cos(p.phi), p.r * std::sin(p.phi)};
}

}  // namespace dari
