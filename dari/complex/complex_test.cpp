#include "dari/complex/complex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace dari {
namespace {

constexpr Extended kPi = std::numbers::pi_v<Extended>;

// Restores the process-wide tolerance after a test that changes it.
class CpxNearZeroGuard {
 public:
  CpxNearZeroGuard() : saved_(CpxNearZero) {}
  ~CpxNearZeroGuard() { CpxNearZero = saved_; }

 private:
  Extended saved_;
};

void ExpectCpx(const TComplex& c, Extended re, Extended im) {
  EXPECT_EQ(c.re, re);
  EXPECT_EQ(c.im, im);
}

TEST(Complex, ConstantsAndStartValue) {
  ExpectCpx(COMPLEX_0, 0, 0);
  ExpectCpx(COMPLEX_1, 1, 0);
  EXPECT_EQ(CpxNearZero, 1e-15L);
  ExpectCpx(Cpx(3, -4), 3, -4);
}

TEST(Complex, Arithmetic) {
  const TComplex a = Cpx(1, 2), b = Cpx(3, 4);
  ExpectCpx(CpxAdd(a, b), 4, 6);
  ExpectCpx(CpxSub(a, b), -2, -2);
  ExpectCpx(CpxMult(a, b), -5, 10);
  ExpectCpx(CpxDiv(Cpx(-5, 10), b), 1, 2);
  ExpectCpx(CpxNeg(a), -1, -2);
  ExpectCpx(CpxConj(a), 1, -2);
  EXPECT_TRUE(CpxIsEqual(CpxConj(COMPLEX_1), COMPLEX_1));
  EXPECT_EQ(CpxAbs(b), 5);
  EXPECT_EQ(CpxAbsSqr(b), 25);
}

TEST(Complex, WorksInExtendedPrecision) {
  // 1 + 2^-60 is representable in 64 mantissa bits but not in a double.
  const Extended tiny = std::ldexp(1.0L, -60);
  const TComplex s = CpxAdd(COMPLEX_1, Cpx(tiny, 0));
  EXPECT_EQ(s.re - 1, tiny);
}

TEST(Complex, DivisionByZeroGivesNaN) {
  const TComplex q = CpxDiv(Cpx(1, 2), COMPLEX_0);
  EXPECT_TRUE(std::isnan(q.re));
  EXPECT_TRUE(std::isnan(q.im));
}

TEST(Complex, NearEqualAndZeroFollowTheTolerance) {
  CpxNearZeroGuard guard;
  const TComplex one = COMPLEX_1;
  const TComplex close = Cpx(1 + 1e-16L, 0);
  EXPECT_TRUE(CpxIsNearEqual(one, close));
  EXPECT_FALSE(CpxIsEqual(one, close));
  EXPECT_FALSE(CpxIsNearEqual(one, Cpx(1, 2e-15L)));
  EXPECT_TRUE(CpxIsZero(Cpx(1e-16L, -1e-16L)));
  EXPECT_FALSE(CpxIsZero(Cpx(1e-16L, 1e-14L)));
  CpxNearZero = 0;
  EXPECT_FALSE(CpxIsNearEqual(one, close));
  EXPECT_FALSE(CpxIsNearEqual(one, one));  // strict: |0| < 0 is false
  EXPECT_TRUE(CpxIsZero(COMPLEX_0));
  EXPECT_FALSE(CpxIsZero(Cpx(1e-300L, 0)));
}

TEST(Complex, PolarConversion) {
  struct Case {
    TComplex z;
    Extended r, phi;
  } cases[] = {
      {{0, -1}, 1, -kPi / 2},
      {{-1, 0}, 1, kPi},
      {{-1, -0.0L}, 1, kPi},  // atan2 gives -pi here; the argument's range excludes it
      {{1, 1}, std::sqrt(2.0L), kPi / 4},
      {{0, 0}, 0, 0},
  };
  for (const Case& c : cases) {
    const TComplexPolar p = ConvertRectToPolar(c.z);
    EXPECT_NEAR(static_cast<double>(p.r), static_cast<double>(c.r), 1e-18);
    EXPECT_NEAR(static_cast<double>(p.phi - c.phi), 0, 1e-18)
        << static_cast<double>(c.z.re) << "," << static_cast<double>(c.z.im);
  }
  const TComplex z = ConvertPolarToRect({2, kPi / 6});
  EXPECT_NEAR(static_cast<double>(z.re), std::sqrt(3.0), 1e-15);
  EXPECT_NEAR(static_cast<double>(z.im), 1.0, 1e-15);
  const TComplex back = ConvertPolarToRect(ConvertRectToPolar(Cpx(-3, 4)));
  EXPECT_NEAR(static_cast<double>(back.re), -3, 1e-15);
  EXPECT_NEAR(static_cast<double>(back.im), 4, 1e-15);
}

}  // namespace
}  // namespace dari
