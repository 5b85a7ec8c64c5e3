#include "dari/wavelet/wavelet.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

namespace dari {
namespace {

// Published orthonormal Daubechies low-pass filters (2, 4 and 6 taps).
const std::vector<double> kH[4] = {
    {},
    {0.70710678118654752, 0.70710678118654752},
    {0.48296291314453414, 0.83651630373780791, 0.22414386804201339, -0.12940952255126038},
    {0.33267055295008262, 0.80689150931109258, 0.45987750211849154, -0.13501102001025458,
     -0.08544127388202666, 0.03522629188570953}};

struct Lcg {
  uint64_t s;
  double Next() {
    s = s * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(s >> 11) / 4503599627370496.0 - 1.0;
  }
};

std::vector<double> Read(const TWavelet1D& w) {
  std::vector<double> v(w.Size());
  for (int i = 0; i < w.Size(); ++i) v[i] = w.Data(i + 1);
  return v;
}

void Write(TWavelet1D& w, const std::vector<double>& v) {
  for (size_t i = 0; i < v.size(); ++i) w.SetData(static_cast<int>(i) + 1, v[i]);
}

std::vector<double> RandomSignal(int n, uint64_t seed) {
  Lcg g{seed};
  std::vector<double> v(n);
  for (double& x : v) x = g.Next();
  return v;
}

TEST(Wavelet1D, CreateDefaults) {
  TWavelet1D w;
  EXPECT_EQ(w.Size(), 256);
  EXPECT_EQ(w.Order(), 2);
  EXPECT_EQ(w.SignalExtMode(), wseWrap);
  EXPECT_EQ(w.WaveletFamily(), wlfDaubechies);
  EXPECT_EQ(w.Data(1), 0.0);
  EXPECT_EQ(w.ClassName(), "TWavelet1D");
}

TEST(Wavelet1D, HaarStepsByHand) {
  TWavelet1D w;
  w.SetOrder(1);
  w.SetSize(4);
  Write(w, {1, 1, 1, 1});
  w.SingleStep(false);
  EXPECT_NEAR(w.Data(1), std::sqrt(2.0), 1e-16);
  EXPECT_NEAR(w.Data(2), std::sqrt(2.0), 1e-16);
  EXPECT_EQ(w.Data(3), 0.0);
  EXPECT_EQ(w.Data(4), 0.0);
  // Full depth on (4, 2, 5, 1): mean * 2 first, then the scaled differences.
  Write(w, {4, 2, 5, 1});
  w.Transform(2);
  EXPECT_NEAR(w.Data(1), 6.0, 1e-15);
  EXPECT_NEAR(w.Data(2), 0.0, 1e-15);
  EXPECT_NEAR(w.Data(3), std::sqrt(2.0), 1e-15);
  EXPECT_NEAR(w.Data(4), 2 * std::sqrt(2.0), 1e-15);
}

// A unit impulse at position p away from the edge comes out as filter taps:
// approximation l - 1 holds h(p + 2K - 2l), detail l - 1 holds g of the same
// index, with g(i) = (-1)^i h(2K - 1 - i).
TEST(Wavelet1D, ImpulseResponseIsTheFilters) {
  const std::vector<double>& h2 = kH[2];
  const std::vector<double>& h3 = kH[3];
  struct Case {
    int order, p;
    std::vector<std::pair<int, double>> nonzero;  // 0-based position, value
  };
  const Case cases[] = {
      {2, 4, {{2, h2[2]}, {3, h2[0]}, {10, h2[1]}, {11, h2[3]}}},
      {3, 5, {{2, h3[5]}, {3, h3[3]}, {4, h3[1]}, {10, -h3[0]}, {11, -h3[2]}, {12, -h3[4]}}},
      {3, 4, {{2, h3[4]}, {3, h3[2]}, {4, h3[0]}, {10, h3[1]}, {11, h3[3]}, {12, h3[5]}}},
  };
  for (const Case& c : cases) {
    TWavelet1D w;
    w.SetOrder(c.order);
    w.SetSize(16);
    w.SetData(c.p + 1, 1.0L);
    w.SingleStep(false);
    std::vector<double> expect(16, 0.0);
    for (auto [i, v] : c.nonzero) expect[i] = v;
    const std::vector<double> got = Read(w);
    for (int i = 0; i < 16; ++i)
      EXPECT_NEAR(got[i], expect[i], 2e-17) << "order " << c.order << " p " << c.p << " i " << i;
  }
}

// Polynomials of degree < K have no interior detail (K vanishing moments), and
// for K = 1 a constant has none at all; a constant has none in any order in wrap
// and symmetric mode. Approximations of a constant c are sqrt(2) c.
TEST(Wavelet1D, VanishingMomentsAndConstants) {
  for (int order = 1; order <= 3; ++order) {
    TWavelet1D w;
    w.SetOrder(order);
    w.SetSize(32);
    for (int i = 0; i < 32; ++i) w.SetData(i + 1, std::pow(static_cast<long double>(i), order - 1));
    w.SingleStep(false);
    for (int l = order; l <= 16; ++l)  // outputs that read no extended sample
      EXPECT_NEAR(w.Data(16 + l), 0.0, 1e-13) << "order " << order << " l " << l;

    for (TWLSigExtMode mode : {wseWrap, wseSymmetric}) {
      w.SetSignalExtMode(mode);
      for (int i = 1; i <= 32; ++i) w.SetData(i, 3.0L);
      w.SingleStep(false);
      for (int i = 1; i <= 16; ++i) {
        EXPECT_NEAR(w.Data(i), 3 * std::sqrt(2.0), 1e-15) << order << " " << i;
        EXPECT_NEAR(w.Data(16 + i), 0.0, 1e-16) << order << " " << i;
      }
    }
  }
}

// The first outputs of order 2 on x = (1, 2, 0, 0, 0, 0, 0, 3), by hand, in
// each extension mode: positions -2 and -1 read x6, x7 (wrap), nothing (zero
// padding) or x1, x0 (symmetric).
TEST(Wavelet1D, EdgeExtensionModes) {
  const std::vector<double>& h = kH[2];
  const double g[4] = {h[3], -h[2], h[1], -h[0]};
  struct Case {
    TWLSigExtMode mode;
    double a0, d0;
  };
  const Case cases[] = {
      {wseWrap, 3 * h[1] + h[2] + 2 * h[3], 3 * g[1] + g[2] + 2 * g[3]},
      {wseZeroPad, h[2] + 2 * h[3], g[2] + 2 * g[3]},
      {wseSymmetric, 2 * h[0] + h[1] + h[2] + 2 * h[3], 2 * g[0] + g[1] + g[2] + 2 * g[3]},
  };
  for (const Case& c : cases) {
    TWavelet1D w;
    w.SetSize(8);
    w.SetSigExtMode(c.mode);
    Write(w, {1, 2, 0, 0, 0, 0, 0, 3});
    w.SingleStep(false);
    EXPECT_NEAR(w.Data(1), c.a0, 1e-15) << int(c.mode);
    EXPECT_NEAR(w.Data(5), c.d0, 1e-15) << int(c.mode);
    // The last output reads x4..x7 in every mode.
    EXPECT_NEAR(w.Data(4), 3 * h[3], 1e-15) << int(c.mode);
  }
}

TEST(Wavelet1D, FullDepthRoundTripRestoresSignalInWrapMode) {
  for (int order = 1; order <= 3; ++order)
    for (int n : {2, 4, 8, 64, 1024}) {
      TWavelet1D w;
      w.SetOrder(order);
      w.SetSize(n);
      const std::vector<double> x = RandomSignal(n, 7 * n + order);
      Write(w, x);
      const int depth = static_cast<int>(std::log2(n));
      w.Transform(depth);
      // Orthonormal: the energy is kept.
      double e0 = 0, e1 = 0;
      for (int i = 0; i < n; ++i) {
        e0 += x[i] * x[i];
        e1 += w.Data(i + 1) * w.Data(i + 1);
      }
      EXPECT_NEAR(e1, e0, 1e-12 * e0) << order << " " << n;
      w.InverseTransform(depth);
      for (int i = 0; i < n; ++i) EXPECT_NEAR(w.Data(i + 1), x[i], 1e-15) << order << " " << n;
    }
}

TEST(Wavelet1D, ZeroPaddingLosesTheFirstSamples) {
  TWavelet1D w;
  w.SetSize(64);
  w.SetSigExtMode(wseZeroPad);
  const std::vector<double> x = RandomSignal(64, 3);
  Write(w, x);
  w.Transform(6);
  w.InverseTransform(6);
  EXPECT_GT(std::fabs(w.Data(1) - x[0]), 1e-6);
}

TEST(Wavelet1D, LevelCounting) {
  const std::vector<double> x = RandomSignal(256, 11);
  auto run = [&x](int levels) {
    TWavelet1D w;
    Write(w, x);
    w.Transform(levels);
    return Read(w);
  };
  TWavelet1D one;
  Write(one, x);
  one.SingleStep(false);
  EXPECT_EQ(run(0), Read(one));
  EXPECT_EQ(run(-3), Read(one));
  EXPECT_EQ(run(1), Read(one));
  EXPECT_EQ(run(20), run(8));  // stops at a single coefficient
  EXPECT_NE(run(8), run(7));

  // The inverse starts at the two-sample scale, whatever the forward depth was.
  TWavelet1D a, b;
  Write(a, x);
  Write(b, x);
  a.InverseTransform(2);
  b.PartialWLT(2, 0, true);
  b.PartialWLT(4, 0, true);
  EXPECT_EQ(Read(a), Read(b));
}

TEST(Wavelet1D, PartialStepWorksOnItsRangeOnly) {
  TWavelet1D w;
  w.SetOrder(1);
  w.SetSize(8);
  Write(w, {1, 2, 3, 4, 5, 5, 7, 9});
  w.PartialWLT(4, 4, false);
  const double r = std::sqrt(0.5);
  const std::vector<double> expect = {1, 2, 3, 4, 10 * r, 16 * r, 0, -2 * r};
  const std::vector<double> got = Read(w);
  for (int i = 0; i < 8; ++i) EXPECT_NEAR(got[i], expect[i], 1e-15) << i;
}

// A range that does not fit the signal, or a length that is not a power of two,
// is refused: the data stay as they were.
TEST(Wavelet1D, PartialStepRefusesBadRanges) {
  struct Case {
    int n, offset;
  };
  const Case cases[] = {{3, 0},  {6, 0},       {16, 0},      {8, 1},       {4, 5},      {2, -1},
                        {4, -4}, {2, INT_MAX}, {INT_MAX, 0}, {INT_MIN, 0}, {0, 0},      {1, 3},
                        {-2, 0}, {1 << 30, 0}, {2, 7},       {8, INT_MIN}, {2, INT_MIN}};
  const std::vector<double> x = RandomSignal(8, 1);
  for (const Case& c : cases) {
    for (bool inverse : {false, true}) {
      TWavelet1D w;
      w.SetSize(8);
      Write(w, x);
      w.PartialWLT(c.n, c.offset, inverse);
      EXPECT_EQ(Read(w), x) << c.n << " " << c.offset;
    }
  }
}

// Tiny signals in every mode and order, full depth both ways: no access
// outside the signal (checked by the sanitizers) and finite results.
TEST(Wavelet1D, TinySignalsInEveryMode) {
  for (int order = 1; order <= 3; ++order)
    for (TWLSigExtMode mode : {wseWrap, wseZeroPad, wseSymmetric})
      for (int n : {1, 2, 4}) {
        TWavelet1D w;
        w.SetOrder(order);
        w.SetSigExtMode(mode);
        w.SetSize(n);
        const std::vector<double> x = RandomSignal(n, 5);
        Write(w, x);
        w.Transform(5);
        w.InverseTransform(5);
        for (int i = 1; i <= n; ++i) EXPECT_TRUE(std::isfinite(w.Data(i)));
        if (mode == wseWrap) {
          for (int i = 0; i < n; ++i) EXPECT_NEAR(w.Data(i + 1), x[i], 1e-15);
        }
      }
}

TEST(Wavelet1D, ErrorsLeaveStateUnchanged) {
  TWavelet1D w;
  w.SetName("WL");
  w.SetData(3, 1.5L);
  for (int k : {0, 4, -1, INT_MIN, INT_MAX}) {
    try {
      w.SetOrder(k);
      ADD_FAILURE() << "accepted order " << k;
    } catch (const DARIWaveletError& e) {
      EXPECT_STREQ(e.what(), "Component \"WL\": invalid order of Daubechies wavelet family");
    }
    EXPECT_EQ(w.Order(), 2);
  }
  for (int n : {0, -1, 300, 3, 1 << 24, (1 << 24) + 1, -(1 << 23), INT_MIN, INT_MAX}) {
    try {
      w.SetSize(n);
      ADD_FAILURE() << "accepted size " << n;
    } catch (const DARIWaveletError& e) {
      EXPECT_STREQ(e.what(), "Component \"WL\": data length must be power of 2");
    }
    EXPECT_EQ(w.Size(), 256);
    EXPECT_EQ(w.Data(3), 1.5);
  }
  w.SetSize(64);
  EXPECT_EQ(w.Size(), 64);
  EXPECT_EQ(w.Data(3), 0.0);
  w.SetNumData(1);
  EXPECT_EQ(w.Size(), 1);
}

TEST(Wavelet1D, DataOutsideRange) {
  TWavelet1D w;
  w.SetSize(8);
  for (int ix : {0, 9, -1, INT_MIN, INT_MAX}) {
    w.SetData(ix, 5.0L);
    EXPECT_EQ(w.Data(ix), 0.0);
  }
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(w.Data(i), 0.0);
  w.SetData(8, 2.0L);
  EXPECT_EQ(w.Data(8), 2.0);
  w.Clear();
  EXPECT_EQ(w.Data(8), 0.0);
}

// The signal and the arithmetic are in extended precision: with x = (1 + 2^-60, -1)
// the Haar approximation is 2^-60 / sqrt(2), which double storage would lose.
TEST(Wavelet1D, ExtendedPrecisionStorage) {
  TWavelet1D w;
  w.SetOrder(1);
  w.SetSize(2);
  const long double tiny = std::ldexp(1.0L, -60);
  w.SetData(1, 1.0L + tiny);
  w.SetData(2, -1.0L);
  w.SingleStep(false);
  EXPECT_NEAR(w.Data(1), std::ldexp(1.0, -60) * std::sqrt(0.5), 5e-20);  // a few extended ulps of 1
  EXPECT_NEAR(w.Data(2), std::sqrt(2.0), 1e-15);
}

}  // namespace
}  // namespace dari
