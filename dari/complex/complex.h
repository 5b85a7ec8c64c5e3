// Complex numbers in rectangular (TComplex) and polar (TComplexPolar) form,
// with arithmetic, comparison and conversion in 80-bit extended precision.
// Every function returns a new record; nothing is changed in place.
#pragma once

#include "dari/base/error.h"
#include "dari/platform/extended.h"

namespace dari {

// The module's exception class; no function of the module raises it.
class DARIComplexError : public DARIError {
 public:
  using DARIError::DARIError;
};

struct TComplex {
  Extended re = 0;  // real part
  Extended im = 0;  // imaginary part
};

struct TComplexPolar {
  Extended r = 0;    // modulus
  Extended phi = 0;  // argument in radians
};

inline constexpr TComplex COMPLEX_0{0, 0};
inline constexpr TComplex COMPLEX_1{1, 0};

// Tolerance of CpxIsNearEqual and CpxIsZero. Process-wide and unguarded; starts
// at 1e-15.
inline Extended CpxNearZero = 1e-15L;

TComplex Cpx(Extended re, Extended im);

// Modulus sqrt(re^2 + im^2) and its square, formed without scaling: parts
// beyond about 1e2466 overflow the squares to infinity.
Extended CpxAbs(const TComplex& a);
Extended CpxAbsSqr(const TComplex& a);

TComplex CpxAdd(const TComplex& a, const TComplex& b);
TComplex CpxSub(const TComplex& a, const TComplex& b);
TComplex CpxMult(const TComplex& a, const TComplex& b);
// a / b by the textbook formula with d = b.re^2 + b.im^2, without scaling.
// Dividing by (0, 0) gives the IEEE result of that formula: for a finite a both
// parts are 0/0, that is NaN; no exception is raised.
TComplex CpxDiv(const TComplex& a, const TComplex& b);
TComplex CpxNeg(const TComplex& a);
TComplex CpxConj(const TComplex& a);

// Both parts exactly equal.
bool CpxIsEqual(const TComplex& a, const TComplex& b);
// Both parts differ by less than CpxNearZero (strictly).
bool CpxIsNearEqual(const TComplex& a, const TComplex& b);
// True when each part is 0 or below CpxNearZero in absolute value.
bool CpxIsZero(const TComplex& a);

// Modulus and argument; the argument lies in (-pi, pi], so a negative real
// number (also with a negative zero imaginary part) gives +pi.
TComplexPolar ConvertRectToPolar(const TComplex& a);
// (r cos phi, r sin phi).
TComplex ConvertPolarToRect(const TComplexPolar& p);

}  // namespace dari
