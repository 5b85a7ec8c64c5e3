#include "dari/fourier/fourier.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <numbers>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "dari/base/constants.h"
#include "dari/platform/extended.h"
#include "dari/platform/numeric.h"

namespace dari {

namespace {

constexpr int kMaxNumData = 1 << 23;
constexpr double kPi = std::numbers::pi;

bool IsValidLength(int n) { return n >= 1 && n <= kMaxNumData && (n & (n - 1)) == 0; }

// cos and sin of 2 pi k / n for k = 0..n/2-1, interleaved. Computed in extended
// precision on one octant and mirrored, so every entry is the correctly rounded
// (or nearly so) value and 1, 0 and the quarter turn are exact.
std::vector<double> MakeTwiddles(int n) {
  const int half = n / 2;
  std::vector<double> tw(2 * static_cast<size_t>(half));
  auto put = [&tw](int k, double c, double s) {
    tw[2 * static_cast<size_t>(k)] = c;
    tw[2 * static_cast<size_t>(k) + 1] = s;
  };
  if (n < 8) {
    if (half >= 1) put(0, 1.0, 0.0);
    if (half >= 2) put(1, 0.0, 1.0);
    return tw;
  }
  const Extended step = 2.0L * std::numbers::pi_v<Extended> / static_cast<Extended>(n);
  const int quarter = n / 4;
  for (int k = 0; k <= n / 8; ++k) {
    const Extended theta = step * static_cast<Extended>(k);
    const double c = static_cast<double>(std::cos(theta));
    const double s = k == 0 ? 0.0 : static_cast<double>(std::sin(theta));
    put(k, c, s);
    put(quarter - k, s, c);
    if (k > 0) {
      put(quarter + k, -s, c);
      put(half - k, -c, s);
    }
  }
  return tw;
}

// Bit-reversal permutation of n complex samples (interleaved doubles). The same
// permutation as the classic j-counter sweep; for large blocks it is done tile
// by tile: with i = (a, b, c) split into high, middle and low bits, the partner
// of i is (rev c, rev b, rev a), so the 2^q x 2^q samples sharing a middle part b
// are exchanged with those sharing rev b while both tiles sit in the cache.
void BitReverse(double* x, int n) {
  auto swapComplex = [x](size_t i, size_t j) {
    std::swap(x[2 * i], x[2 * j]);
    std::swap(x[2 * i + 1], x[2 * j + 1]);
  };
  int bits = 0;
  while ((1 << bits) < n) ++bits;
  constexpr int q = 4;
  if (bits < 12) {
    size_t j = 0;
    const size_t un = static_cast<size_t>(n);
    for (size_t i = 0; i < un; ++i) {
      if (j > i) swapComplex(i, j);
      size_t m = un / 2;
      while (m >= 1 && j >= m) {
        j -= m;
        m /= 2;
      }
      j += m;
    }
    return;
  }
  auto reverse = [](size_t v, int width) {
    size_t r = 0;
    for (int b = 0; b < width; ++b) r = (r << 1) | ((v >> b) & 1u);
    return r;
  };
  const int midBits = bits - 2 * q;
  const size_t side = size_t{1} << q;
  size_t revLow[side];
  for (size_t v = 0; v < side; ++v) revLow[v] = reverse(v, q);
  const int highShift = bits - q;
  for (size_t b = 0; b < (size_t{1} << midBits); ++b) {
    const size_t rb = reverse(b, midBits);
    if (rb < b) continue;
    for (size_t a = 0; a < side; ++a) {
      const size_t iBase = (a << highShift) | (b << q);
      const size_t jLow = (rb << q) | revLow[a];
      for (size_t c = 0; c < side; ++c) {
        const size_t i = iBase | c;
        const size_t j = (revLow[c] << highShift) | jLow;
        if (b < rb || i < j) swapComplex(i, j);
      }
    }
  }
}

// The butterflies. A butterfly of span L with twiddle w maps the samples a, b
// (L apart) to a + w b and a - w b, with w b = (wr br - wi bi, wr bi + wi br) and
// w = e^(sign i pi k / L) for the k-th pair of a block of 2L samples. Two stages
// (L and 2L) are done per pass over the data on groups of four samples
// k, k + L, k + 2L, k + 3L: the same butterflies with the same operands and
// twiddles as one stage at a time, only with half the loads and stores.
// The SSE2 kernels keep one complex number per register; negating lanes with
// a sign mask is exact, so wr br + (-(wi bi)) is exactly wr br - wi bi.
#if defined(__SSE2__)
using Cpx = __m128d;
inline Cpx Load(const double* p) { return _mm_loadu_pd(p); }
inline void Store(double* p, Cpx v) { _mm_storeu_pd(p, v); }
inline Cpx Add(Cpx a, Cpx b) { return _mm_add_pd(a, b); }
inline Cpx Sub(Cpx a, Cpx b) { return _mm_sub_pd(a, b); }
// Twiddle from a table entry (cos, sin): (c, c) and the signed (-wi, wi).
struct Twiddle {
  Cpx re, im;
};
inline Twiddle MakeTwiddle(const double* cs, Cpx signMask) {
  const Cpx v = _mm_loadu_pd(cs);
  return {_mm_unpacklo_pd(v, v), _mm_xor_pd(_mm_unpackhi_pd(v, v), signMask)};
}
inline Cpx Mul(const Twiddle& w, Cpx b) {
  return _mm_add_pd(_mm_mul_pd(w.re, b), _mm_mul_pd(w.im, _mm_shuffle_pd(b, b, 1)));
}
// sign * i * b = (-sign bi, sign br).
inline Cpx MulSignI(Cpx b, Cpx signMask) {
  return _mm_xor_pd(_mm_shuffle_pd(b, b, 1), signMask);
}
// Lane 0 negated for the forward direction, lane 1 for the inverse.
inline Cpx SignMask(double sign) { return sign > 0 ? _mm_set_pd(0.0, -0.0) : _mm_set_pd(-0.0, 0.0); }
#else
struct Cpx {
  double r, i;
};
inline Cpx Load(const double* p) { return {p[0], p[1]}; }
inline void Store(double* p, Cpx v) {
  p[0] = v.r;
  p[1] = v.i;
}
inline Cpx Add(Cpx a, Cpx b) { return {a.r + b.r, a.i + b.i}; }
inline Cpx Sub(Cpx a, Cpx b) { return {a.r - b.r, a.i - b.i}; }
struct Twiddle {
  double r, i;
};
inline Twiddle MakeTwiddle(const double* cs, double sign) { return {cs[0], sign * cs[1]}; }
inline Cpx Mul(const Twiddle& w, Cpx b) { return {w.r * b.r - w.i * b.i, w.r * b.i + w.i * b.r}; }
inline Cpx MulSignI(Cpx b, double sign) { return {-sign * b.i, sign * b.r}; }
inline double SignMask(double sign) { return sign; }
#endif
using SignT = decltype(SignMask(1.0));

struct FFTPlan {
  double* x;         // interleaved samples
  const double* tw;  // cos, sin of 2 pi k / n, k < n/2
  int n;             // block length in complex samples
  SignT sign;        // direction, as the kernels want it
};

// The stage of span half on the 2*half samples at block.
void Stage(const FFTPlan& p, size_t block, size_t half) {
  double* a = p.x + 2 * block;
  double* b = a + 2 * half;
  const double* tw = p.tw;
  const size_t step = 2 * (static_cast<size_t>(p.n) / (2 * half));  // doubles per k
  {
    const Cpx av = Load(a), t = Load(b);  // k = 0: w = 1
    Store(b, Sub(av, t));
    Store(a, Add(av, t));
  }
  for (size_t k = 1; k < half; ++k) {
    const Cpx av = Load(a + 2 * k);
    const Cpx t = Mul(MakeTwiddle(tw + k * step, p.sign), Load(b + 2 * k));
    Store(b + 2 * k, Sub(av, t));
    Store(a + 2 * k, Add(av, t));
  }
}

// The stages of span half and 2*half on the 4*half samples at block. Pair k
// of span half has twiddle entry k * step1; pairs k and k + half of span 2*half
// have entries k * step2 and (k + half) * step2, with step1 = 2 * step2.
void StagePair(const FFTPlan& p, size_t block, size_t half) {
  double* x0 = p.x + 2 * block;
  double* x1 = x0 + 2 * half;
  double* x2 = x1 + 2 * half;
  double* x3 = x2 + 2 * half;
  const size_t step2 = 2 * (static_cast<size_t>(p.n) / (4 * half));  // doubles per k
  const size_t step1 = 2 * step2;
  const double* tw = p.tw;
  const double* twHalf = tw + half * step2;
  auto finish = [&](size_t o, Cpx b1, Cpx b3, Cpx c0, Cpx c2, const Twiddle& w3) {
    const Cpx t = Mul(w3, b3);
    Store(x0 + o, c0);
    Store(x1 + o, Add(b1, t));
    Store(x2 + o, c2);
    Store(x3 + o, Sub(b1, t));
  };
  {
    // k = 0: the span-half and first span-2*half twiddles are 1.
    const Cpx a0 = Load(x0), a1 = Load(x1), a2 = Load(x2), a3 = Load(x3);
    const Cpx b0 = Add(a0, a1), b1 = Sub(a0, a1), b2 = Add(a2, a3), b3 = Sub(a2, a3);
    finish(0, b1, b3, Add(b0, b2), Sub(b0, b2), MakeTwiddle(twHalf, p.sign));
  }
  for (size_t k = 1; k < half; ++k) {
    const size_t o = 2 * k;
    const Cpx a0 = Load(x0 + o), a1 = Load(x1 + o), a2 = Load(x2 + o), a3 = Load(x3 + o);
    const Twiddle w1 = MakeTwiddle(tw + k * step1, p.sign);
    Cpx t = Mul(w1, a1);
    const Cpx b0 = Add(a0, t), b1 = Sub(a0, t);
    t = Mul(w1, a3);
    const Cpx b2 = Add(a2, t), b3 = Sub(a2, t);
    t = Mul(MakeTwiddle(tw + k * step2, p.sign), b2);
    finish(o, b1, b3, Add(b0, t), Sub(b0, t), MakeTwiddle(twHalf + k * step2, p.sign));
  }
}

// Every stage of span < len on the len samples at block, in cache-sized pieces:
// a block first completes all its smaller stages (depth first), then the
// stages spanning it. Each butterfly sees exactly the operands it sees in the
// stage-by-stage order, so the results are the same bit for bit.
constexpr size_t kLeafLen = 1024;
void Blocks(const FFTPlan& p, size_t block, size_t len) {
  if (len > kLeafLen) {
    if (len / 2 <= kLeafLen) {
      Blocks(p, block, len / 2);
      Blocks(p, block + len / 2, len / 2);
      Stage(p, block, len / 2);
    } else {
      const size_t q = len / 4;
      for (size_t i = 0; i < 4; ++i) Blocks(p, block + i * q, q);
      StagePair(p, block, q);
    }
    return;
  }
  double* x = p.x + 2 * block;
  if (len == 2) {
    const Cpx a = Load(x), b = Load(x + 2);
    Store(x, Add(a, b));
    Store(x + 2, Sub(a, b));
    return;
  }
  if (len < 4) return;
  // Spans 1 and 2 together; their twiddles are 1 and sign * i.
  for (size_t g = 0; g < len; g += 4) {
    double* y = x + 2 * g;
    const Cpx a0 = Load(y), a1 = Load(y + 2), a2 = Load(y + 4), a3 = Load(y + 6);
    const Cpx b0 = Add(a0, a1), b1 = Sub(a0, a1), b2 = Add(a2, a3), b3 = Sub(a2, a3);
    const Cpx t = MulSignI(b3, p.sign);
    Store(y, Add(b0, b2));
    Store(y + 4, Sub(b0, b2));
    Store(y + 2, Add(b1, t));
    Store(y + 6, Sub(b1, t));
  }
  size_t half = 4;
  for (; 4 * half <= len; half *= 4)
    for (size_t g = 0; g < len; g += 4 * half) StagePair(p, block + g, half);
  if (half < len)
    for (size_t g = 0; g < len; g += 2 * half) Stage(p, block + g, half);
}

}  // namespace

TFastFourier::TFastFourier(TComponent* AOwner)
    : TComponent(AOwner),
      FNumData(256),
      FUserWgt(256, 1.0),
      FData(512, 0.0),
      FTwiddle(MakeTwiddles(256)) {}

TFastFourier::~TFastFourier() = default;

void TFastFourier::Fail(const char* Text) const {
  throw DARIFourierError(ComponentMessage(Name(), Text));
}

void TFastFourier::SetNumData(int n) {
  if (!IsValidLength(n)) Fail("data length must be power of 2");
  std::vector<double> data, wgt, tw;
  try {
    data.assign(2 * static_cast<size_t>(n), 0.0);
    wgt.assign(static_cast<size_t>(n), 0.0);
    tw = MakeTwiddles(n);
  } catch (const std::bad_alloc&) {
    Fail("not enough memory on heap");
  }
  FData.swap(data);
  FUserWgt.swap(wgt);
  FTwiddle.swap(tw);
  FNumData = n;
  MaxValuesValid = false;
}

double TFastFourier::GetRealVal(int ix) const {
  return ix >= 1 && ix <= FNumData ? Re(ix - 1) : 0.0;
}

void TFastFourier::SetRealVal(int ix, double v) {
  if (ix < 1 || ix > FNumData) return;
  FData[2 * static_cast<size_t>(ix - 1)] = v;
  MaxValuesValid = false;
}

double TFastFourier::GetImagVal(int ix) const {
  return ix >= 1 && ix <= FNumData ? Im(ix - 1) : 0.0;
}

void TFastFourier::SetImagVal(int ix, double v) {
  if (ix < 1 || ix > FNumData) return;
  FData[2 * static_cast<size_t>(ix - 1) + 1] = v;
  MaxValuesValid = false;
}

double TFastFourier::GetWgtVal(int ix) const {
  return ix >= 1 && ix <= FNumData ? FUserWgt[static_cast<size_t>(ix - 1)] : 0.0;
}

void TFastFourier::SetWgtVal(int ix, double v) {
  if (ix >= 1 && ix <= FNumData) FUserWgt[static_cast<size_t>(ix - 1)] = v;
}

void TFastFourier::Clear() {
  std::fill(FData.begin(), FData.end(), 0.0);
  MaxValuesValid = false;
}

void TFastFourier::ClearReal() {
  for (size_t i = 0; i < FData.size(); i += 2) FData[i] = 0.0;
  MaxValuesValid = false;
}

void TFastFourier::ClearImag() {
  for (size_t i = 1; i < FData.size(); i += 2) FData[i] = 0.0;
  MaxValuesValid = false;
}

void TFastFourier::ApplyWindow() {
  const int n = FNumData;
  double* x = FData.data();
  auto scale = [x](int k, double w) {
    x[2 * static_cast<size_t>(k)] *= w;
    x[2 * static_cast<size_t>(k) + 1] *= w;
  };
  if (FWgtWin == fwRectangle) return;
  if (FWgtWin == fwTriangle) {
    for (int b = 1; b <= n / 2; ++b) {
      const double w = 2.0 * b / n;
      scale(b - 1, w);
      scale(n - b, w);
    }
    return;
  }
  const double halfN = n / 2.0;
  for (int a = 1; a <= n; ++a) {
    const double u = (a - halfN) / n;
    double w = 1.0;
    switch (FWgtWin) {
      case fwCos2: {
        const double c = std::cos(kPi * u);
        w = c * c;
        break;
      }
      case fwGauss: {
        const double e = 6.0 * u;
        w = std::exp(-0.5 * (e * e));
        break;
      }
      case fwHamming:
        w = 0.543478261 + 0.456521739 * std::cos(2 * kPi * u);
        break;
      case fwBlackman:
        w = 0.42659 + 0.49656 * std::cos(2 * kPi * u) + 0.076848 * std::cos(4 * kPi * u);
        break;
      case fwBlkmHarris:
        w = 0.35875 + 0.48829 * std::cos(2 * kPi * u) + 0.14128 * std::cos(4 * kPi * u) +
            0.01168 * std::cos(6 * kPi * u);
        break;
      case fwBlkmNuttall:
        w = 0.3635819 + 0.4891775 * std::cos(2 * kPi * u) + 0.1365995 * std::cos(4 * kPi * u) +
            0.0106411 * std::cos(6 * kPi * u);
        break;
      case fwUserDef:
        w = FUserWgt[static_cast<size_t>(a - 1)];
        break;
      default:
        break;
    }
    scale(a - 1, w);
  }
}

void TFastFourier::DoFFT(int sign) {
  const int n = FNumData;
  BitReverse(FData.data(), n);
  const FFTPlan plan{FData.data(), FTwiddle.data(), n, SignMask(static_cast<double>(sign))};
  Blocks(plan, 0, static_cast<size_t>(n));
  if (sign < 0) {
    // 1/N is exact for a power of two, so this equals dividing by N.
    const double scale = 1.0 / n;
    for (double& v : FData) v *= scale;
  }
  MaxValuesValid = false;
}

void TFastFourier::Transform() {
  ApplyWindow();
  DoFFT(+1);
}

void TFastFourier::InverseTransform() { DoFFT(-1); }

double TFastFourier::FreqOfLine(int ix, double SampleTime) const {
  if (ix < 1 || ix > FNumData / 2 || SampleTime == 0.0) return 0.0;
  return ix / (SampleTime * FNumData);
}

int TFastFourier::LineOfFreq(double f, double SampleTime) const {
  const int r = RoundToIntSaturated(FNumData * f * SampleTime, 0);
  return r >= 1 && r <= FNumData / 2 ? r : 0;
}

double TFastFourier::LinePowerSum(int l) const {
  if (l == 0) return Re(0) * Re(0) + Im(0) * Im(0);
  const int m = FNumData - l;
  return Re(l) * Re(l) + Im(l) * Im(l) + Re(m) * Re(m) + Im(m) * Im(m);
}

double TFastFourier::RMS(int FirstIx, int LastIx) const {
  const int top = FNumData / 2;
  FirstIx = std::clamp(FirstIx, 0, top);
  LastIx = std::clamp(LastIx, 0, top);
  if (FirstIx > LastIx) std::swap(FirstIx, LastIx);
  double s = 0.0;
  for (int l = FirstIx; l <= LastIx; ++l) s += LinePowerSum(l);
  return std::sqrt(s) / FNumData;
}

double TFastFourier::GetPowerSpec(int ix) const {
  if (ix < 0 || ix > FNumData / 2) return 0.0;
  return LinePowerSum(ix) / FNumData;
}

double TFastFourier::GetMagnitude(int ix) const {
  if (ix == 0) return std::sqrt(Re(0) * Re(0) + Im(0) * Im(0)) / FNumData;
  if (ix < 1 || ix > FNumData / 2) return 0.0;
  const double r = Re(ix) + Re(FNumData - ix);
  const double i = Im(ix) - Im(FNumData - ix);
  return std::sqrt(r * r + i * i) / FNumData;
}

double TFastFourier::GetPhase(int ix) const {
  if (ix < 1 || ix > FNumData / 2) return 0.0;
  const double r = Re(ix), i = Im(ix);
  if (r != 0.0) return std::atan(i / r);
  return i <= 0.0 ? -kPi / 2 : kPi / 2;
}

double TFastFourier::GetFSerCos(int n) const {
  if (n == 0) return Re(0) / FNumData;
  if (n < 1 || n > FNumData / 2) return 0.0;
  return (Re(n) + Re(FNumData - n)) / FNumData;
}

double TFastFourier::GetFSerSin(int n) const {
  if (n < 1 || n > FNumData / 2) return 0.0;
  return (Im(n) - Im(FNumData - n)) / FNumData;
}

void TFastFourier::CalcMaxValues() const {
  const double big = static_cast<double>(uc_MaxDouble);
  FMaxReal = -big;
  FMaxImag = -big;
  FMinReal = big;
  FMinImag = big;
  for (int k = 0; k < FNumData; ++k) {
    const double r = Re(k), i = Im(k);
    if (r > FMaxReal) FMaxReal = r;
    if (r < FMinReal) FMinReal = r;
    if (i > FMaxImag) FMaxImag = i;
    if (i < FMinImag) FMinImag = i;
  }
  double maxPower = 0.0, maxMagni = 0.0;
  for (int l = 1; l <= FNumData / 2; ++l) {
    if (l < FNumData / 2) {
      const double p = LinePowerSum(l);
      if (p > maxPower) maxPower = p;
    }
    const double r = Re(l) + Re(FNumData - l);
    const double i = Im(l) - Im(FNumData - l);
    const double m = std::sqrt(r * r + i * i);
    if (m > maxMagni) maxMagni = m;
  }
  FMaxPower = maxPower / FNumData;
  FMaxMagni = maxMagni / FNumData;
  MaxValuesValid = true;
}

double TFastFourier::PowerMax() const {
  EnsureMaxValues();
  return FMaxPower;
}
double TFastFourier::MagniMax() const {
  EnsureMaxValues();
  return FMaxMagni;
}
double TFastFourier::RealMax() const {
  EnsureMaxValues();
  return FMaxReal;
}
double TFastFourier::ImagMax() const {
  EnsureMaxValues();
  return FMaxImag;
}
double TFastFourier::RealMin() const {
  EnsureMaxValues();
  return FMinReal;
}
double TFastFourier::ImagMin() const {
  EnsureMaxValues();
  return FMinImag;
}

}  // namespace dari
