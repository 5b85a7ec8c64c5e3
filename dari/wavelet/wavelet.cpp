#include "dari/wavelet/wavelet.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace dari {

namespace {

constexpr int kMaxNumData = 1 << 23;

bool IsValidLength(int n) { return n >= 1 && n <= kMaxNumData && (n & (n - 1)) == 0; }

// Low-pass filters of the orthonormal Daubechies wavelets with 2K taps, from their
// closed forms, evaluated in extended precision.
std::vector<Extended> DaubechiesLowPass(int k) {
  const Extended r2 = std::sqrt(2.0L);
  switch (k) {
    case 1:
      return {1.0L / r2, 1.0L / r2};
    case 2: {
      const Extended r3 = std::sqrt(3.0L);
      const Extended d = 4.0L * r2;
      return {(1 + r3) / d, (3 + r3) / d, (3 - r3) / d, (1 - r3) / d};
    }
    default: {
      const Extended r10 = std::sqrt(10.0L);
      const Extended s = std::sqrt(5.0L + 2.0L * r10);
      const Extended c = r2 / 32.0L;
      return {(1 + r10 + s) * c,          (5 + r10 + 3 * s) * c, (10 - 2 * r10 + 2 * s) * c,
              (10 - 2 * r10 - 2 * s) * c, (5 + r10 - 3 * s) * c, (1 + r10 - s) * c};
    }
  }
}

// Position read for index t < 0 of a level over n = mask + 1 samples; false when
// the term is left out (zero padding).
inline bool ExtendedIndex(int t, int mask, TWLSigExtMode mode, int& i) {
  switch (mode) {
    case wseZeroPad:
      if (t < 0) return false;
      i = t;
      return true;
    case wseSymmetric:
      i = (t < 0 ? -t - 1 : t) & mask;
      return true;
    default:  // wseWrap: t modulo n
      i = t & mask;
      return true;
  }
}

// One forward level, x -> s, with taps = 2K. Output l - 1 takes positions
// t = 2l - 2K + m - 1 (m = 1..2K); only the first K - 1 outputs reach left of the
// signal, so the rest read x directly. The terms are summed in the order of m.
template <int Taps>
void ForwardLevel(const Extended* x, Extended* s, int n, const Extended* h, const Extended* g,
                  TWLSigExtMode mode) {
  const int half = n / 2, mask = n - 1;
  int l = 1;
  // Outputs that reach left of the signal.
  for (; l <= half && 2 * l < Taps; ++l) {
    const int base = 2 * l - Taps;
    Extended a = 0, d = 0;
    for (int m = 0; m < Taps; ++m) {
      int i;
      if (!ExtendedIndex(base + m, mask, mode, i)) continue;
      a += h[m] * x[i];
      d += g[m] * x[i];
    }
    s[l - 1] = a;
    s[half + l - 1] = d;
  }
  // Interior outputs, two at a time: four independent sums keep the
  // floating-point unit busy; each sum still adds its terms in the order of m.
  for (; l + 1 <= half; l += 2) {
    const Extended* xp = x + (2 * l - Taps);
    Extended a0 = 0, d0 = 0, a1 = 0, d1 = 0;
    for (int m = 0; m < Taps; ++m) {
      a0 += h[m] * xp[m];
      d0 += g[m] * xp[m];
      a1 += h[m] * xp[m + 2];
      d1 += g[m] * xp[m + 2];
    }
    s[l - 1] = a0;
    s[half + l - 1] = d0;
    s[l] = a1;
    s[half + l] = d1;
  }
  for (; l <= half; ++l) {
    const Extended* xp = x + (2 * l - Taps);
    Extended a = 0, d = 0;
    for (int m = 0; m < Taps; ++m) {
      a += h[m] * xp[m];
      d += g[m] * xp[m];
    }
    s[l - 1] = a;
    s[half + l - 1] = d;
  }
}

// One inverse level, x -> s (s zeroed by the caller): the transpose of the
// forward level, scattering each pair of coefficients back to the positions it
// was computed from, in the same order of l and m.
template <int Taps>
void InverseLevel(const Extended* x, Extended* s, int n, const Extended* h, const Extended* g,
                  TWLSigExtMode mode) {
  const int half = n / 2, mask = n - 1;
  for (int l = 1; l <= half; ++l) {
    const int base = 2 * l - Taps;
    const Extended a = x[l - 1], d = x[half + l - 1];
    if (base >= 0) {
      Extended* sp = s + base;
      for (int m = 0; m < Taps; ++m) {
        sp[m] += h[m] * a;
        sp[m] += g[m] * d;
      }
    } else {
      for (int m = 0; m < Taps; ++m) {
        int i;
        if (!ExtendedIndex(base + m, mask, mode, i)) continue;
        s[i] += h[m] * a;
        s[i] += g[m] * d;
      }
    }
  }
}

}  // namespace

TWavelet1D::TWavelet1D(TComponent* AOwner)
    : TComponent(AOwner), FNumData(256), FData(256, 0.0L) {
  SetOrder(2);
}

TWavelet1D::~TWavelet1D() = default;

void TWavelet1D::Fail(const char* Text) const {
  throw DARIWaveletError(ComponentMessage(Name(), Text));
}

void TWavelet1D::SetOrder(int k) {
  if (k < 1 || k > 3) Fail("invalid order of Daubechies wavelet family");
  std::vector<Extended> h = DaubechiesLowPass(k);
  std::vector<Extended> g(h.size());
  const int taps = 2 * k;
  for (int j = 0; j < taps; ++j) g[taps - 1 - j] = (j % 2 == 1) ? h[j] : -h[j];
  FOrder = k;
  FCoeffsLP.swap(h);
  FCoeffsHP.swap(g);
}

void TWavelet1D::SetNumData(int n) {
  if (!IsValidLength(n)) Fail("data length must be power of 2");
  std::vector<Extended> data;
  try {
    data.assign(static_cast<size_t>(n), 0.0L);
  } catch (const std::bad_alloc&) {
    Fail("not enough memory on heap");
  }
  FData.swap(data);
  FNumData = n;
}

double TWavelet1D::Data(int ix) const {
  return ix >= 1 && ix <= FNumData ? static_cast<double>(FData[static_cast<size_t>(ix - 1)]) : 0.0;
}

void TWavelet1D::SetData(int ix, Extended v) {
  if (ix >= 1 && ix <= FNumData) FData[static_cast<size_t>(ix - 1)] = v;
}

void TWavelet1D::Clear() { std::fill(FData.begin(), FData.end(), 0.0L); }

void TWavelet1D::RunLevel(Extended* x, Extended* s, int n, bool Inverse) const {
  const Extended* h = FCoeffsLP.data();
  const Extended* g = FCoeffsHP.data();
  if (Inverse) {
    std::fill(s, s + n, 0.0L);
    switch (FOrder) {
      case 1: InverseLevel<2>(x, s, n, h, g, FWLSigExtMode); break;
      case 2: InverseLevel<4>(x, s, n, h, g, FWLSigExtMode); break;
      default: InverseLevel<6>(x, s, n, h, g, FWLSigExtMode); break;
    }
  } else {
    switch (FOrder) {
      case 1: ForwardLevel<2>(x, s, n, h, g, FWLSigExtMode); break;
      case 2: ForwardLevel<4>(x, s, n, h, g, FWLSigExtMode); break;
      default: ForwardLevel<6>(x, s, n, h, g, FWLSigExtMode); break;
    }
  }
  std::copy(s, s + n, x);
}

void TWavelet1D::PartialWLT(int n, int Offset, bool Inverse) {
  if (n <= 1 || (n & (n - 1)) != 0 || Offset < 0) return;
  if (static_cast<int64_t>(Offset) + n > FNumData) return;
  std::vector<Extended> scratch;
  try {
    scratch.resize(static_cast<size_t>(n));
  } catch (const std::bad_alloc&) {
    Fail("not enough memory on heap");
  }
  RunLevel(FData.data() + Offset, scratch.data(), n, Inverse);
}

void TWavelet1D::SingleStep(bool Inverse) { PartialWLT(FNumData, 0, Inverse); }

void TWavelet1D::Transform(int Level) { DoWLT(Level, false); }

void TWavelet1D::InverseTransform(int Level) { DoWLT(Level, true); }

void TWavelet1D::DoWLT(int Levels, bool Inverse) {
  if (Levels <= 0) Levels = 1;
  if (FNumData <= 1) return;
  // One scratch array, sized for the largest level, serves every level.
  std::vector<Extended> scratch;
  try {
    scratch.resize(static_cast<size_t>(FNumData));
  } catch (const std::bad_alloc&) {
    Fail("not enough memory on heap");
  }
  int done = 0;
  if (Inverse) {
    for (int n = 2; n <= FNumData && done < Levels; n *= 2, ++done)
      RunLevel(FData.data(), scratch.data(), n, true);
  } else {
    for (int n = FNumData; n > 1 && done < Levels; n /= 2, ++done)
      RunLevel(FData.data(), scratch.data(), n, false);
  }
}

}  // namespace dari
