#include "dari/fourier/fourier.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <vector>

namespace dari {
namespace {

constexpr double kPi = std::numbers::pi;

// Deterministic values in [-1, 1), independent of the library's generator.
struct Lcg {
  uint64_t s;
  double Next() {
    s = s * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(s >> 11) / 4503599627370496.0 - 1.0;
  }
};

void Fill(TFastFourier& f, uint64_t seed) {
  Lcg g{seed};
  for (int k = 1; k <= f.SpectrumSize(); ++k) {
    f.SetRealSpec(k, g.Next());
    f.SetImagSpec(k, g.Next());
  }
}

// Direct evaluation of sum_k x(k) e^(sign 2 pi i k n / N) in extended precision.
void DirectDFT(const std::vector<long double>& re, const std::vector<long double>& im, int sign,
               std::vector<long double>& outRe, std::vector<long double>& outIm) {
  const size_t n = re.size();
  std::vector<long double> c(n), s(n);
  for (size_t k = 0; k < n; ++k) {
    const long double t = 2.0L * std::numbers::pi_v<long double> * k / n;
    c[k] = std::cos(t);
    s[k] = sign * std::sin(t);
  }
  outRe.assign(n, 0.0L);
  outIm.assign(n, 0.0L);
  for (size_t m = 0; m < n; ++m)
    for (size_t k = 0; k < n; ++k) {
      const size_t e = (k * m) % n;
      outRe[m] += re[k] * c[e] - im[k] * s[e];
      outIm[m] += re[k] * s[e] + im[k] * c[e];
    }
}

TEST(FastFourier, CreateAndResize) {
  TFastFourier f;
  EXPECT_EQ(f.SpectrumSize(), 256);
  EXPECT_EQ(f.WeightingWindow(), fwRectangle);
  EXPECT_EQ(f.WgtFunction(1), 1.0);
  EXPECT_EQ(f.WgtFunction(256), 1.0);
  EXPECT_EQ(f.RealSpec(1), 0.0);
  f.SetRealSpec(3, 7.0);
  f.SetSpectrumSize(512);
  EXPECT_EQ(f.SpectrumSize(), 512);
  EXPECT_EQ(f.WgtFunction(1), 0.0);  // not 1.0 as after construction
  EXPECT_EQ(f.RealSpec(3), 0.0);
  f.SetNumData(1);
  EXPECT_EQ(f.SpectrumSize(), 1);
}

// Only 1 <= n <= 2^23 with n a power of two is a valid length. Among the rejected
// values are some that have exactly one of the low 24 bits set (2^24 + 1,
// -2^23, INT_MIN + 1) and would otherwise be taken as lengths.
TEST(FastFourier, RejectsInvalidLengthAndKeepsData) {
  const int bad[] = {0,        -1,       3,           100,    (1 << 23) + 1, 1 << 24, (1 << 24) + 1,
                     -(1 << 23), INT_MIN, INT_MIN + 1, INT_MAX, 1 << 30};
  for (int n : bad) {
    TFastFourier f;
    f.SetName("FFT1");
    f.SetRealSpec(2, 3.5);
    f.SetWgtFunction(5, 0.25);
    try {
      f.SetSpectrumSize(n);
      ADD_FAILURE() << "accepted " << n;
    } catch (const DARIFourierError& e) {
      EXPECT_STREQ(e.what(), "Component \"FFT1\": data length must be power of 2");
    }
    EXPECT_EQ(f.SpectrumSize(), 256) << n;
    EXPECT_EQ(f.RealSpec(2), 3.5) << n;
    EXPECT_EQ(f.WgtFunction(5), 0.25) << n;
  }
  TFastFourier f;
  EXPECT_NO_THROW(f.SetNumData(1 << 23));
  EXPECT_EQ(f.SpectrumSize(), 1 << 23);
}

TEST(FastFourier, OutOfRangeIndicesReadZeroAndIgnoreWrites) {
  TFastFourier f;
  f.SetSpectrumSize(8);
  for (int ix : {0, -1, 9, INT_MIN, INT_MAX}) {
    f.SetRealSpec(ix, 1.0);
    f.SetImagSpec(ix, 1.0);
    f.SetWgtFunction(ix, 1.0);
    EXPECT_EQ(f.RealSpec(ix), 0.0);
    EXPECT_EQ(f.ImagSpec(ix), 0.0);
    EXPECT_EQ(f.WgtFunction(ix), 0.0);
  }
  EXPECT_EQ(f.RealMax(), 0.0);
  EXPECT_EQ(f.RealMin(), 0.0);
  EXPECT_EQ(f.ImagMax(), 0.0);
  f.SetRealSpec(1, 2.0);
  for (int line : {-1, 5, INT_MIN, INT_MAX}) {
    EXPECT_EQ(f.PowerSpec(line), 0.0);
    EXPECT_EQ(f.Magnitude(line), 0.0);
    EXPECT_EQ(f.Phase(line), 0.0);
    EXPECT_EQ(f.FourSerCosCoeff(line), 0.0);
    EXPECT_EQ(f.FourSerSinCoeff(line), 0.0);
  }
  EXPECT_EQ(f.FourSerSinCoeff(0), 0.0);
}

// Forward and inverse against the direct O(N^2) sums, on sizes that take every
// path of the implementation (tiny blocks, single and paired stages, the
// cache-blocked stages beyond 1024 samples, the tiled bit reversal from 4096
// samples on).
TEST(FastFourier, MatchesDirectSums) {
  for (int n : {1, 2, 4, 8, 16, 32, 512, 2048, 4096}) {
    for (int sign : {+1, -1}) {
      TFastFourier f;
      f.SetSpectrumSize(n);
      Fill(f, 17 + n);
      std::vector<long double> re(n), im(n), xr, xi;
      for (int k = 0; k < n; ++k) {
        re[k] = f.RealSpec(k + 1);
        im[k] = f.ImagSpec(k + 1);
      }
      DirectDFT(re, im, sign, xr, xi);
      if (sign > 0)
        f.Transform();
      else
        f.InverseTransform();
      const long double scale = sign > 0 ? 1.0L : 1.0L / n;
      const double tol = 1e-15 * std::sqrt(static_cast<double>(n)) * (1 + std::log2(n)) * 4;
      double worst = 0;
      for (int k = 0; k < n; ++k) {
        worst = std::max(worst, static_cast<double>(std::fabs(f.RealSpec(k + 1) - xr[k] * scale)));
        worst = std::max(worst, static_cast<double>(std::fabs(f.ImagSpec(k + 1) - xi[k] * scale)));
      }
      EXPECT_LT(worst, tol * (sign > 0 ? 1.0 : 1.0 / n)) << "n=" << n << " sign=" << sign;
    }
  }
}

TEST(FastFourier, ImpulseGivesFlatSpectrum) {
  TFastFourier f;
  f.SetSpectrumSize(64);
  f.SetRealSpec(1, 1.0);
  f.Transform();
  for (int k = 1; k <= 64; ++k) {
    EXPECT_EQ(f.RealSpec(k), 1.0) << k;
    EXPECT_EQ(f.ImagSpec(k), 0.0) << k;
  }
  EXPECT_DOUBLE_EQ(f.PowerSpec(0), 1.0 / 64);
  EXPECT_DOUBLE_EQ(f.PowerSpec(32), 2.0 / 64);  // line N/2 counts its sample twice
  EXPECT_DOUBLE_EQ(f.PowerSpec(5), 2.0 / 64);
}

// X(n) = sum x(k) e^(+2 pi i k n / N): an impulse at sample 1 gives e^(+2 pi i n / N).
TEST(FastFourier, ForwardSignIsPositive) {
  TFastFourier f;
  f.SetSpectrumSize(16);
  f.SetRealSpec(2, 1.0);
  f.Transform();
  for (int n = 0; n < 16; ++n) {
    EXPECT_NEAR(f.RealSpec(n + 1), std::cos(2 * kPi * n / 16), 1e-15);
    EXPECT_NEAR(f.ImagSpec(n + 1), std::sin(2 * kPi * n / 16), 1e-15);
  }
}

TEST(FastFourier, PureTonesGiveFourierSeriesCoefficients) {
  const int n = 128;
  const double a = 2.5, b = -1.25, dc = 0.75;
  TFastFourier f;
  f.SetSpectrumSize(n);
  for (int k = 0; k < n; ++k)
    f.SetRealSpec(k + 1, dc + a * std::cos(2 * kPi * 4 * k / n) + b * std::sin(2 * kPi * 9 * k / n));
  f.Transform();
  EXPECT_NEAR(f.FourSerCosCoeff(0), dc, 1e-14);
  EXPECT_NEAR(f.FourSerCosCoeff(4), a, 1e-14);
  EXPECT_NEAR(f.FourSerSinCoeff(9), b, 1e-14);
  EXPECT_NEAR(f.FourSerSinCoeff(4), 0.0, 1e-14);
  EXPECT_NEAR(f.FourSerCosCoeff(9), 0.0, 1e-14);
  EXPECT_NEAR(f.Magnitude(4), a, 1e-14);
  EXPECT_NEAR(f.Magnitude(9), std::fabs(b), 1e-14);
  EXPECT_NEAR(f.Magnitude(0), dc, 1e-14);
  // Power of a real tone of amplitude A: 2 (A N / 2)^2 / N = A^2 N / 2.
  EXPECT_NEAR(f.PowerSpec(4), a * a * n / 2, 1e-10);
  EXPECT_NEAR(f.PowerMax(), a * a * n / 2, 1e-10);
  EXPECT_NEAR(f.MagniMax(), a, 1e-14);
  EXPECT_DOUBLE_EQ(f.FreqOfLine(4, 0.001), 4000.0 / n);
  EXPECT_EQ(f.LineOfFreq(4000.0 / n, 0.001), 4);
  // The band RMS of the two tones: sqrt(2 (AN/2)^2 + 2 (BN/2)^2) / N.
  EXPECT_NEAR(f.RMS(1, 63), std::sqrt((a * a + b * b) / 2), 1e-14);
}

TEST(FastFourier, RoundTripRestoresSamples) {
  for (int n : {2, 256, 8192}) {
    TFastFourier f;
    f.SetSpectrumSize(n);
    Fill(f, 99);
    std::vector<double> before(2 * n);
    for (int k = 1; k <= n; ++k) {
      before[2 * k - 2] = f.RealSpec(k);
      before[2 * k - 1] = f.ImagSpec(k);
    }
    f.Transform();
    f.InverseTransform();
    for (int k = 1; k <= n; ++k) {
      EXPECT_NEAR(f.RealSpec(k), before[2 * k - 2], 1e-14) << k;
      EXPECT_NEAR(f.ImagSpec(k), before[2 * k - 1], 1e-14) << k;
    }
  }
}

TEST(FastFourier, SingleSampleBlock) {
  TFastFourier f;
  f.SetSpectrumSize(1);
  f.SetRealSpec(1, 3.0);
  f.SetImagSpec(1, -4.0);
  f.Transform();
  EXPECT_EQ(f.RealSpec(1), 3.0);
  EXPECT_EQ(f.ImagSpec(1), -4.0);
  EXPECT_EQ(f.PowerSpec(0), 25.0);
  EXPECT_EQ(f.Magnitude(0), 5.0);
  EXPECT_EQ(f.RMS(0, 10), 5.0);
  EXPECT_EQ(f.PowerMax(), 0.0);
  EXPECT_EQ(f.MagniMax(), 0.0);
  EXPECT_EQ(f.FreqOfLine(1, 0.1), 0.0);
  EXPECT_EQ(f.LineOfFreq(1.0, 1.0), 0);
}

// Hand-computed block of four samples: re = (3, -1, 2, 5), im = (0, -4, 1, 2).
TEST(FastFourier, SpectrumPropertiesAndExtremesOfSmallBlock) {
  TFastFourier f;
  f.SetSpectrumSize(4);
  const double re[] = {3, -1, 2, 5}, im[] = {0, -4, 1, 2};
  for (int k = 0; k < 4; ++k) {
    f.SetRealSpec(k + 1, re[k]);
    f.SetImagSpec(k + 1, im[k]);
  }
  EXPECT_EQ(f.PowerSpec(0), 9.0 / 4);
  EXPECT_EQ(f.PowerSpec(1), (1 + 16 + 25 + 4) / 4.0);
  EXPECT_EQ(f.PowerSpec(2), (4 + 1 + 4 + 1) / 4.0);
  EXPECT_EQ(f.Magnitude(0), 3.0 / 4);
  EXPECT_EQ(f.Magnitude(1), std::sqrt(16.0 + 36.0) / 4);
  EXPECT_EQ(f.Magnitude(2), 4.0 / 4);
  EXPECT_EQ(f.FourSerCosCoeff(0), 3.0 / 4);
  EXPECT_EQ(f.FourSerCosCoeff(1), 1.0);
  EXPECT_EQ(f.FourSerSinCoeff(1), -1.5);
  EXPECT_EQ(f.FourSerSinCoeff(2), 0.0);
  EXPECT_DOUBLE_EQ(f.Phase(1), std::atan(4.0));
  EXPECT_DOUBLE_EQ(f.Phase(2), std::atan(0.5));
  EXPECT_EQ(f.RealMax(), 5.0);
  EXPECT_EQ(f.RealMin(), -1.0);
  EXPECT_EQ(f.ImagMax(), 2.0);
  EXPECT_EQ(f.ImagMin(), -4.0);
  EXPECT_EQ(f.PowerMax(), 46.0 / 4);  // line 1 only: lines 0 and N/2 are left out
  EXPECT_EQ(f.MagniMax(), std::sqrt(52.0) / 4);

  // Each kind of write makes the extremes current again on the next read.
  f.SetRealSpec(4, 10.0);
  EXPECT_EQ(f.RealMax(), 10.0);
  f.SetImagSpec(2, -9.0);
  EXPECT_EQ(f.ImagMin(), -9.0);
  f.ClearReal();
  EXPECT_EQ(f.RealMax(), 0.0);
  EXPECT_EQ(f.ImagMin(), -9.0);
  f.ClearImag();
  EXPECT_EQ(f.ImagMin(), 0.0);
  f.SetRealSpec(1, 1.0);
  EXPECT_EQ(f.RealMax(), 1.0);
  f.Transform();  // impulse: every line re = 1
  EXPECT_EQ(f.RealMin(), 1.0);
  f.Clear();
  EXPECT_EQ(f.RealMax(), 0.0);
  EXPECT_EQ(f.RealMin(), 0.0);
}

TEST(FastFourier, PhaseConventions) {
  TFastFourier f;
  f.SetSpectrumSize(8);
  f.SetImagSpec(3, -2.0);  // sample 2: purely imaginary, negative
  f.SetImagSpec(4, 2.0);   // sample 3: purely imaginary, positive
  f.SetRealSpec(2, -1.0);  // sample 1: -1 + 1i
  f.SetImagSpec(2, 1.0);
  f.SetRealSpec(1, 5.0);
  EXPECT_EQ(f.Phase(0), 0.0);
  EXPECT_EQ(f.Phase(2), -kPi / 2);
  EXPECT_EQ(f.Phase(3), kPi / 2);
  EXPECT_EQ(f.Phase(4), -kPi / 2);  // 0 + 0i counts as im <= 0
  EXPECT_DOUBLE_EQ(f.Phase(1), -kPi / 4);  // arctan(im/re), not the full angle
}

TEST(FastFourier, RmsClampsAndOrdersItsBounds) {
  TFastFourier f;
  f.SetSpectrumSize(32);
  Fill(f, 5);
  f.Transform();
  EXPECT_EQ(f.RMS(10, 3), f.RMS(3, 10));
  const double r0 = f.RealSpec(1), i0 = f.ImagSpec(1);
  EXPECT_DOUBLE_EQ(f.RMS(-5, 0), std::sqrt(r0 * r0 + i0 * i0) / 32);
  EXPECT_EQ(f.RMS(-100, 100), f.RMS(0, 16));
  EXPECT_EQ(f.RMS(INT_MIN, INT_MAX), f.RMS(0, 16));
  // One line: the square root of its power times N, divided by N.
  EXPECT_DOUBLE_EQ(f.RMS(7, 7), std::sqrt(f.PowerSpec(7) * 32) / 32);
}

TEST(FastFourier, FrequencyLineConversions) {
  TFastFourier f;
  f.SetSpectrumSize(1024);
  EXPECT_DOUBLE_EQ(f.FreqOfLine(512, 0.5), 1.0);
  EXPECT_EQ(f.FreqOfLine(0, 0.5), 0.0);
  EXPECT_EQ(f.FreqOfLine(513, 0.5), 0.0);
  EXPECT_EQ(f.FreqOfLine(10, 0.0), 0.0);  // no division by zero
  EXPECT_EQ(f.FreqOfLine(10, -0.0), 0.0);
  EXPECT_EQ(f.LineOfFreq(1.0, 0.5), 512);
  EXPECT_EQ(f.LineOfFreq(1.001, 0.5), 0);  // above Nyquist
  EXPECT_EQ(f.LineOfFreq(-0.1, 0.5), 0);
  EXPECT_EQ(f.LineOfFreq(2.5 / 1024, 1.0), 2);  // halves to even
  EXPECT_EQ(f.LineOfFreq(3.5 / 1024, 1.0), 4);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(f.LineOfFreq(nan, 1.0), 0);
  EXPECT_EQ(f.LineOfFreq(1.0, nan), 0);
  EXPECT_EQ(f.LineOfFreq(inf, 1.0), 0);
  EXPECT_EQ(f.LineOfFreq(inf, 0.0), 0);  // inf * 0 is NaN
  EXPECT_EQ(f.LineOfFreq(1e300, 1e300), 0);
  EXPECT_EQ(f.LineOfFreq(-1e300, 1e300), 0);
}

// Window weights read back through Transform + InverseTransform, checked against
// values of the window formulas at points where they are easy to evaluate by hand.
TEST(FastFourier, WindowsWeighBothParts) {
  struct Case {
    TFastFourierWgtWin win;
    int a;  // 1-based sample position in a block of 16
    double w;
  };
  const double h = 0.543478261, g = 0.456521739;
  const Case cases[] = {
      {fwRectangle, 1, 1.0},
      {fwRectangle, 9, 1.0},
      {fwTriangle, 1, 2.0 / 16},
      {fwTriangle, 8, 1.0},
      {fwTriangle, 9, 1.0},
      {fwTriangle, 16, 2.0 / 16},
      {fwTriangle, 13, 8.0 / 16},  // mirror of b = 4
      {fwCos2, 8, 1.0},            // u = 0
      {fwCos2, 4, 0.5},            // u = -1/4
      {fwCos2, 12, 0.5},
      {fwCos2, 16, 0.0},  // u = 1/2
      {fwGauss, 8, 1.0},
      {fwGauss, 16, std::exp(-4.5)},  // (6 * 1/2)^2 / 2
      {fwHamming, 8, h + g},
      {fwHamming, 16, h - g},
      {fwHamming, 4, h},  // cos(-pi/2) = 0
      {fwBlackman, 8, 0.42659 + 0.49656 + 0.076848},
      {fwBlackman, 16, 0.42659 - 0.49656 + 0.076848},
      {fwBlackman, 4, 0.42659 - 0.076848},
      {fwBlkmHarris, 8, 1.0},
      {fwBlkmHarris, 16, 0.35875 - 0.48829 + 0.14128 - 0.01168},
      {fwBlkmNuttall, 8, 1.0},
      {fwBlkmNuttall, 16, 0.3635819 - 0.4891775 + 0.1365995 - 0.0106411},
  };
  for (const Case& c : cases) {
    TFastFourier f;
    f.SetSpectrumSize(16);
    f.SetWeightingWindow(c.win);
    for (int k = 1; k <= 16; ++k) {
      f.SetRealSpec(k, 1.0);
      f.SetImagSpec(k, -2.0);
    }
    f.Transform();
    f.InverseTransform();
    EXPECT_NEAR(f.RealSpec(c.a), c.w, 1e-14) << int(c.win) << " a=" << c.a;
    EXPECT_NEAR(f.ImagSpec(c.a), -2.0 * c.w, 1e-14) << int(c.win) << " a=" << c.a;
  }
}

TEST(FastFourier, UserWindowAndOddTriangle) {
  TFastFourier f;
  f.SetSpectrumSize(4);
  f.SetWgtWin(fwUserDef);
  const double w[] = {0.5, 2.0, -1.0, 0.0};
  for (int k = 1; k <= 4; ++k) {
    f.SetWgtFunction(k, w[k - 1]);
    f.SetRealSpec(k, 3.0);
  }
  f.Transform();
  f.InverseTransform();
  for (int k = 1; k <= 4; ++k) EXPECT_NEAR(f.RealSpec(k), 3.0 * w[k - 1], 1e-15);
  // A triangle over one sample leaves it unchanged (N div 2 = 0 pairs).
  f.SetSpectrumSize(1);
  f.SetWgtWin(fwTriangle);
  f.SetRealSpec(1, 4.0);
  f.Transform();
  EXPECT_EQ(f.RealSpec(1), 4.0);
}

TEST(FastFourier, OwnerDestroysComponent) {
  auto* owner = new TComponent(nullptr);
  auto* f = new TFastFourier(owner);
  EXPECT_EQ(owner->ComponentCount(), 1);
  EXPECT_EQ(f->ClassName(), "TFastFourier");
  delete owner;  // frees f too; ASan reports a leak otherwise
}

}  // namespace
}  // namespace dari
